// SPDX-License-Identifier: MIT
#pragma once

// The zoom group of the preview's toolbar: a zoom-out button, a box that
// shows the zoom in percent whatever set it (a button, a key, the wheel, a
// resize that fits the page again) and takes a typed one, and a zoom-in
// button. The buttons, and the up and down arrows in the box, climb the
// zoom ladder; a typed zoom outside the preview's bounds is refused with a
// note and the box shows the zoom that stays. The box is a plain line, not a
// list: it opens with every preview and must not slow the print command.

#include <QWidget>

#include <optional>

class QLineEdit;
class QToolButton;

namespace dw {

class TVpPreview;

class TVpZoomBox : public QWidget {
    Q_OBJECT

public:
    TVpZoomBox(TVpPreview& preview, QWidget* parent);

    QToolButton* ZoomOutButton() const noexcept { return m_zoomOut; }
    QToolButton* ZoomInButton() const noexcept { return m_zoomIn; }
    QLineEdit* Box() const noexcept { return m_box; }

    // A zoom as the box shows it, "150%" in English.
    static QString ZoomText(int zoom);
    // The percentage in what a user typed ("150", "150%", " 150 % "); none
    // for anything else. Not checked against the bounds.
    static std::optional<int> ParseZoomText(const QString& text);

    // Shows the preview's zoom again, dropping what was being typed.
    void ShowZoom();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyTyped();

    TVpPreview& m_preview;
    QToolButton* m_zoomOut = nullptr;
    QLineEdit* m_box = nullptr;
    QToolButton* m_zoomIn = nullptr;
};

}  // namespace dw
