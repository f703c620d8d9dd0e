#include "app/form2.h"

namespace dw {

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}

}  // namespace dw
