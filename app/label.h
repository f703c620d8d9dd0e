// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QSize>
#include <QString>
#include <QTextLayout>

namespace dw {

// A caption on the form: plain text on explicit lines, sized to fit. The text
// is laid out once per caption and font and that layout both sizes and paints
// the label; a stock label shapes the same words again for every measurement
// and every paint, which dominated the form's start-up.
//
// Looks and measures exactly like a plain-text QLabel without word wrap, so
// everything that works with a QLabel (text(), setText(), adjustSize(), the
// stored "Caption") keeps working.
class TLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLabel(const QString& text, QWidget* parent = nullptr);
    explicit TLabel(QWidget* parent = nullptr) : TLabel(QString(), parent) {}

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Lays the caption out again when its text or font changed.
    void EnsureLayout() const;

    mutable QTextLayout m_layout;
    mutable QString m_laidOutText;
    mutable bool m_laidOut = false;
    mutable qreal m_textHeight = 0;
    mutable QSize m_textSize;
};

}  // namespace dw
