// SPDX-License-Identifier: MIT
// Renders the transparent button in its looks to PNG files, for a check by eye:
//   decor_gallery [output directory, default /tmp/decor_gallery]
// Each look is one file; sheet.png puts them all together, labelled, at 3x.

#include "decor/transparent_button.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFont>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointingDevice>

#include <functional>
#include <utility>
#include <vector>

namespace {

using dw::TFrameStyle;
using dw::TTextAlign;
using dw::TTransparentButton;

enum class Look { Idle, Hover, Pressed, PressedOutside, Disabled };

void Send(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, target->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held, Qt::NoModifier, QPointingDevice::primaryPointingDevice());
    QApplication::sendEvent(target, &event);
}

void Bring(TTransparentButton* button, Look look)
{
    const QPoint centre = button->rect().center();
    if (look == Look::Disabled) {
        button->setEnabled(false);
        return;
    }
    if (look == Look::Idle)
        return;
    QEnterEvent enter(centre, button->mapTo(button->window(), centre), button->mapToGlobal(centre));
    QApplication::sendEvent(button, &enter);
    if (look == Look::Hover)
        return;
    Send(button, QEvent::MouseButtonPress, centre, Qt::LeftButton);
    if (look == Look::PressedOutside)
        Send(button, QEvent::MouseMove, QPoint(-20, -20), Qt::LeftButton);
}

QImage MakeGlyph(int n)
{
    const QColor colours[] = {QColor(200, 30, 30), QColor(30, 150, 30), QColor(30, 30, 200), QColor(220, 180, 0)};
    QImage image(16 * n, 16, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < n; ++i) {
        painter.setBrush(colours[i]);
        painter.setPen(Qt::black);
        painter.drawEllipse(QRect(16 * i + 2, 2, 11, 11));
    }
    return image;
}

struct Shot {
    QString name;
    QImage image;
};

Shot Render(const QString& name, Look look, const std::function<void(TTransparentButton*)>& setUp)
{
    QWidget window;
    QPalette pal;
    // The classic system colours; the window background is the button face.
    pal.setColor(QPalette::Window, QColor(212, 208, 200));
    pal.setColor(QPalette::Button, QColor(212, 208, 200));
    pal.setColor(QPalette::Light, Qt::white);
    pal.setColor(QPalette::Dark, QColor(128, 128, 128));
    pal.setColor(QPalette::Shadow, QColor(64, 64, 64));
    pal.setColor(QPalette::WindowText, Qt::black);
    window.setPalette(pal);
    window.setAutoFillBackground(true);
    window.resize(109, 68);
    auto* button = new TTransparentButton(&window);
    button->setGeometry(10, 10, 89, 48);
    QFont font("MS Sans Serif");
    font.setPixelSize(19);
    font.setBold(true);
    button->setFont(font);
    button->SetFontColor(QColor(0, 0, 255));
    button->SetCaption(QString::fromUtf8("ПЕЧАТЬ"));
    setUp(button);
    window.show();
    Bring(button, look);
    QApplication::processEvents();
    return Shot{name, window.grab().toImage()};
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/decor_gallery");
    QDir().mkpath(dir);

    const auto none = [](TTransparentButton*) {};
    std::vector<Shot> shots;
    shots.push_back(Render("print-idle", Look::Idle, none));
    shots.push_back(Render("print-hover", Look::Hover, none));
    shots.push_back(Render("print-pressed", Look::Pressed, none));
    shots.push_back(Render("print-pressed-out", Look::PressedOutside, none));
    shots.push_back(Render("print-disabled", Look::Disabled, none));
    shots.push_back(Render("print-down", Look::Idle, [](TTransparentButton* b) { b->SetDown(true); }));

    const std::pair<const char*, TFrameStyle> styles[] = {
        {"regular", TFrameStyle::fsRegular}, {"indent", TFrameStyle::fsIndent}, {"none", TFrameStyle::fsNone},
        {"light", TFrameStyle::fsLight},     {"dark", TFrameStyle::fsDark},     {"mono", TFrameStyle::fsMono}};
    for (const auto& [styleName, style] : styles) {
        const auto setStyle = [style = style](TTransparentButton* b) { b->SetFrameStyle(style); };
        shots.push_back(Render(QString("%1-idle").arg(styleName), Look::Idle, setStyle));
        shots.push_back(Render(QString("%1-pressed").arg(styleName), Look::Pressed, setStyle));
    }

    const auto withGlyph = [](TTextAlign align, int n) {
        return [align, n](TTransparentButton* b) {
            QFont small("MS Sans Serif");
            small.setPixelSize(11);
            b->setFont(small);
            b->SetCaption("&Print");
            b->SetGlyph(MakeGlyph(n));
            b->SetTextAlign(align);
        };
    };
    shots.push_back(Render("glyph-right-idle-grey", Look::Idle, withGlyph(TTextAlign::ttaRight, 1)));
    shots.push_back(Render("glyph-right-hover", Look::Hover, withGlyph(TTextAlign::ttaRight, 1)));
    shots.push_back(Render("glyph-bottom-hover", Look::Hover, withGlyph(TTextAlign::ttaBottom, 1)));
    shots.push_back(Render("glyph-disabled", Look::Disabled, withGlyph(TTextAlign::ttaLeft, 1)));
    shots.push_back(Render("glyph4-pressed", Look::Pressed, withGlyph(TTextAlign::ttaRight, 4)));
    shots.push_back(Render("opaque-wrap", Look::Idle, [](TTransparentButton* b) {
        b->SetTransparent(false);
        b->SetFrameStyle(TFrameStyle::fsLight);
        QFont small("MS Sans Serif");
        small.setPixelSize(11);
        b->setFont(small);
        b->SetWordWrap(true);
        b->SetCaption("Print the report now");
    }));

    for (const Shot& shot : shots) shot.image.save(dir + "/" + shot.name + ".png");

    // All looks on one sheet, four to a row, magnified without smoothing.
    constexpr int kScale = 3;
    constexpr int kPerRow = 4;
    const QSize cell(109 * kScale, 68 * kScale + 18);
    const int rows = static_cast<int>((shots.size() + kPerRow - 1) / kPerRow);
    QImage sheet(cell.width() * kPerRow, cell.height() * rows, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (size_t i = 0; i < shots.size(); ++i) {
        const QPoint at(static_cast<int>(i % kPerRow) * cell.width(), static_cast<int>(i / kPerRow) * cell.height());
        painter.drawText(QRect(at, QSize(cell.width(), 16)), Qt::AlignCenter, shots[i].name);
        painter.drawImage(at + QPoint(0, 18), shots[i].image.scaled(shots[i].image.size() * kScale));
    }
    painter.end();
    sheet.save(dir + "/sheet.png");
    return 0;
}
