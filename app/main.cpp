#include <QApplication>
#include <QWidget>

#include <clocale>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // QApplication switched the C library to the user's locale; numbers the
    // program reads and writes must never depend on it.
    std::setlocale(LC_NUMERIC, "C");

    QWidget window;
    window.setWindowTitle(QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"));
    window.setGeometry(192, 109, 445, 365);
    window.show();
    return QApplication::exec();
}
