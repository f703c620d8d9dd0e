#pragma once

#include <QWidget>

namespace dw {

// The hidden holder of the printed report sheet. It is created at start-up,
// never shown, and lives until the program ends; the print command reaches
// the report through it.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;
};

extern TForm2* Form2;

}  // namespace dw
