// SPDX-License-Identifier: MIT
#pragma once

// The designed window drawn larger for a rig: every control of the client
// area at its designed place, size and font, multiplied. Text is laid out
// again at the larger pixel size, so it stays crisp; at 100 % every control
// is back exactly where it was designed.

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

namespace dw {

class TWindowZoom {
public:
    static constexpr int kMinimum = 100;
    static constexpr int kMaximum = 250;
    static constexpr int kStep = 25;
    static constexpr std::array<int, 7> kSteps{100, 125, 150, 175, 200, 225, 250};

    // The area whose controls scale; its own size scales too.
    explicit TWindowZoom(QWidget* clientArea);

    int Percent() const { return m_percent; }
    // Scales to percent (kept within 100 ... 250 and on a step of 25).
    void Apply(int percent);

    // The client area's size for its designed size at the current percent.
    QSize ClientSize(QSize designed) const;

    // Runs a change of the design itself (another language's captions and
    // places) on the window as designed, then draws the window at its
    // percent again from the changed design.
    void Redesign(const std::function<void()>& change);

    // A percent read from anywhere, put on the nearest step in range.
    static int Normalized(int percent);

private:
    struct TDesigned {
        QPointer<QWidget> Widget;
        QRect Geometry;
        QFont Font;
        bool OwnFont;
    };
    void RecordDesign();

    QPointer<QWidget> m_clientArea;
    std::vector<TDesigned> m_designed;
    int m_percent = 100;
};

}  // namespace dw
