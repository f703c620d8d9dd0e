// SPDX-License-Identifier: MIT
#pragma once

#include <QGroupBox>

namespace dw {

// A group box drawn the way the window was designed: an etched frame whose
// top edge runs through the middle of the caption, the caption set into it
// eight pixels from the left. The toolkit's own style puts the caption above
// the frame, which would not fit the column boxes' 187-pixel height.
class TGroupBox : public QGroupBox {
    Q_OBJECT

public:
    explicit TGroupBox(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace dw
