// SPDX-License-Identifier: MIT
// Opens the preview window on an A3 page with some text, for a look by eye
// and screenshots; not a test.
//   preview_gallery [--zoom width|100|fit|<percent>] [--pages N] [--seconds N]
//                   [--glyphs file.png] [--grab file.png] [--grab-screen file.png]
//                   [--type ZOOM-TEXT] [--older] [--focus ObjectName]
// --older shows the window as after a print command that failed: its sheet
// marked older than the main window's inputs.
// Without a window manager nothing maximizes a window, so the window is
// given the screen's available area itself.
#include "design/design_fonts.h"
#include "report/emf/canvas.h"
#include "report/preview/preview.h"
#include "report/preview/preview_glyphs.h"
#include "report/preview/standard_preview.h"
#include "report/preview/zoom_box.h"
#include "tests/support/preview_test_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QToolButton>

#include <clocale>

using namespace dw;

namespace {

void Text(TVpPrinter& vp, int x, int y, const QString& text, int size = 10, bool bold = false)
{
    TVpCanvas* canvas = vp.Canvas();
    TCanvasFont font{QStringLiteral("Arial"), size, {}, Qt::black};
    font.Style.Bold = bold;
    canvas->SetFont(font, vp.CanvasPixelsPerInch());
    canvas->TextOut(vp.XPos(x), vp.YPos(y), text);
}

void DrawSheet(TVpPrinter& vp, int n)
{
    TVpCanvas* canvas = vp.Canvas();
    Text(vp, 300, 250, QStringLiteral("ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА"), 16, true);
    Text(vp, 300, 420, QStringLiteral("Лист %1 — дата расчета 12.03.2024 14:05").arg(n), 10);
    canvas->SetPen(Qt::black, 1, TPenStyle::psSolid);
    canvas->SetBrush(TBrushStyle::bsClear, Qt::white);
    const char* rows[][2] = {
        {"Вес ведущей трубы", "11,100 т."},      {"Вес талевого блока", "43,640 т."},
        {"Вес талевого каната", "36,970 т."},    {"Вес крюка", "48,070 т."},
        {"Длина колонны", "1 150,0 м."},         {"Удельный вес раствора", "1,200 г/см3"},
        {"Удельный вес металла", "7,850 г/см3"}, {"Вес инструмента в растворе", "94,300 т."},
    };
    int y = 600;
    for (const auto& row : rows) {
        canvas->Rectangle(TRect{vp.XPos(300), vp.YPos(y), vp.XPos(2000), vp.YPos(y + 80)});
        canvas->Rectangle(TRect{vp.XPos(2000), vp.YPos(y), vp.XPos(2670), vp.YPos(y + 80)});
        Text(vp, 340, y + 15, QString::fromUtf8(row[0]));
        Text(vp, 2040, y + 15, QString::fromUtf8(row[1]), 10, true);
        y += 80;
    }
    Text(vp, 300, 3900, QStringLiteral("Small print at 8 pt: the quick brown fox jumps over the lazy dog 0123456789"),
         8);
}

void SaveGlyphSheet(const QString& fileName)
{
    // Every glyph at ratio 1 and 2, magnified so single pixels can be seen.
    const int count = static_cast<int>(TVpGlyph::ZoomOut) + 1;
    const int cell = 18 * 8 + 8;
    QImage sheet(cell * count, cell * 3, QImage::Format_ARGB32);
    sheet.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter painter(&sheet);
    for (int i = 0; i < count; ++i) {
        const auto glyph = static_cast<TVpGlyph>(i);
        painter.drawImage(QRect(i * cell, 0, 144, 144), GlyphPixmap(glyph, 1).toImage());
        painter.drawImage(QRect(i * cell, cell, 144, 144), GlyphPixmap(glyph, 2).toImage());
        painter.drawImage(QRect(i * cell, 2 * cell, 144, 144), GlyphPixmap(glyph, 2, true).toImage());
    }
    painter.end();
    sheet.save(fileName);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    // As the program sets itself up: the classic style and the form's font.
    app.setFont(DesignFont(QStringLiteral("MS Sans Serif"), 11));
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        app.setStyle(classic);
    }
    const QStringList args = app.arguments();
    auto option = [&](const char* name, const QString& fallback) {
        const qsizetype at = args.indexOf(QString::fromLatin1(name));
        return at > 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
    };
    if (const QString glyphs = option("--glyphs", {}); !glyphs.isEmpty()) {
        SaveGlyphSheet(glyphs);
        return 0;
    }
    const QString zoom = option("--zoom", QStringLiteral("width"));
    const int pages = option("--pages", QStringLiteral("1")).toInt();
    const int seconds = option("--seconds", QStringLiteral("8")).toInt();
    const QString grab = option("--grab", {});
    const QString typed = option("--type", {});
    const QString grabScreen = option("--grab-screen", {});

    std::unique_ptr<TVpPrinter> printer = test::MakeA3Printer();
    printer->SetTitle("Drilling tool weight");
    TVpStandardPreview* window = ShowStandardPreview(*printer);
    if (QScreen* screen = window->screen()) {
        window->setGeometry(screen->availableGeometry().adjusted(0, 0, 0, 0));
    }
    printer->BeginDoc();
    for (int n = 1; n <= pages; ++n) {
        printer->NewPage();
        DrawSheet(*printer, n);
    }
    printer->EndDoc();

    QTimer::singleShot(800, window, [&] {
        if (zoom == QLatin1String("100")) {
            window->ZoomTo100()->click();
        } else if (zoom == QLatin1String("fit")) {
            window->ZoomToFit()->click();
        } else if (zoom != QLatin1String("width")) {
            window->VpPreview()->SetZoom(zoom.toInt());
        }
        if (const QString focus = option("--focus", {}); !focus.isEmpty()) {
            if (auto* widget = window->findChild<QWidget*>(focus)) {
                window->activateWindow();
                widget->setFocus(Qt::TabFocusReason);
            }
        }
        if (args.contains(QStringLiteral("--older"))) {
            window->MarkSheetOutdated();
        }
        // Keys typed into the zoom box and Enter, as a person would, for a
        // look at what the box says to them.
        if (!typed.isEmpty()) {
            QLineEdit* box = window->ZoomBox()->Box();
            box->setFocus();
            box->selectAll();
            for (const QChar c : typed) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QCoreApplication::sendEvent(box, &press);
            }
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &enter);
        }
        if (!grab.isEmpty()) {
            QTimer::singleShot(300, window, [&] { window->grab().save(grab); });
        }
        // The whole screen, tooltips and message boxes included.
        if (!grabScreen.isEmpty()) {
            QTimer::singleShot(300, window, [&] { window->screen()->grabWindow(0).save(grabScreen); });
        }
    });
    QPointer<TVpStandardPreview> open(window);
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    const int result = app.exec();
    // The window goes before the printer it shows.
    delete open.data();
    return result;
}
