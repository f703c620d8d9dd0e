// SPDX-License-Identifier: MIT
#include "decor/transparent_button.h"

#include "common/error_display.h"
#include "common/errors.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dw {
namespace {

// A palette whose system colours are all told apart from each other and
// from the window background, so a pixel says which one was painted.
constexpr QRgb kBackground = qRgb(200, 230, 200);
constexpr QRgb kFace = qRgb(192, 192, 192);
constexpr QRgb kHighlight = qRgb(255, 255, 255);
constexpr QRgb kShadow = qRgb(128, 128, 128);
constexpr QRgb kDarkShadow = qRgb(64, 64, 64);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);

bool Near(QRgb a, QRgb b, int tolerance = 8)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

std::string Hex(QRgb c)
{
    return QString::asprintf("#%02x%02x%02x", qRed(c), qGreen(c), qBlue(c)).toStdString();
}

QFont CaptionFont()
{
    QFont font("MS Sans Serif");
    font.setPixelSize(19);
    font.setBold(true);
    return font;
}

// Pixels for which the predicate holds: their bounding box and number.
struct Ink {
    QRect box;
    int count = 0;
};

Ink FindInk(const QImage& image, const std::function<bool(QRgb)>& isInk)
{
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isInk(image.pixel(x, y))) {
                ink.box = ink.box.united(QRect(x, y, 1, 1));
                ++ink.count;
            }
        }
    }
    return ink;
}

bool IsBlueInk(QRgb p)
{
    return qBlue(p) > qRed(p) + 80 && qBlue(p) > qGreen(p) + 80;
}

class PaintCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// A window with the button and an edit field, driven by mouse events sent to
// the window as the platform would send them.
class Scene {
public:
    explicit Scene(QRect geometry = QRect(100, 60, 89, 48))
    {
        QPalette pal;
        pal.setColor(QPalette::Window, kBackground);
        pal.setColor(QPalette::Button, kFace);
        pal.setColor(QPalette::Light, kHighlight);
        pal.setColor(QPalette::Dark, kShadow);
        pal.setColor(QPalette::Shadow, kDarkShadow);
        pal.setColor(QPalette::WindowText, kBlack);
        window.setPalette(pal);
        window.setAutoFillBackground(true);
        window.setGeometry(50, 50, 320, 200);
        button = new TTransparentButton(&window);
        button->setGeometry(geometry);
        edit = new QLineEdit(&window);
        edit->setGeometry(10, 10, 80, 21);
        QObject::connect(button, &TTransparentButton::OnClick, [this](QObject* sender) {
            ++clicks;
            EXPECT_EQ(sender, button);
        });
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        // The pointer starts on the window beside the button, so that moving
        // onto the button is an entry. Two steps: a move to where the pointer
        // already is counts for nothing.
        Move(QPoint(5, 190));
        Move(Outside());
    }

    ~Scene()
    {
        // The test library remembers held buttons across windows.
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
            if (m_held & b)
                QTest::mouseRelease(handle(), b, {}, Outside());
        }
    }

    QWindow* handle() { return window.windowHandle(); }
    QPoint Inside() const { return button->geometry().center(); }
    QPoint Outside() const { return QPoint(300, 190); }

    void Press(QPoint at, Qt::MouseButton b = Qt::LeftButton)
    {
        m_held |= b;
        QTest::mousePress(handle(), b, {}, at);
    }
    void Release(QPoint at, Qt::MouseButton b = Qt::LeftButton)
    {
        m_held &= ~Qt::MouseButtons(b);
        QTest::mouseRelease(handle(), b, {}, at);
    }
    void Move(QPoint at) { QTest::mouseMove(handle(), at); }
    void Click(QPoint at, Qt::MouseButton b = Qt::LeftButton)
    {
        Press(at, b);
        Release(at, b);
    }

    // The button as it shows on the window, background included.
    QImage Shot() { return window.grab(button->geometry()).toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget window;
    TTransparentButton* button;
    QLineEdit* edit;
    int clicks = 0;

private:
    Qt::MouseButtons m_held;
};

// ---------------------------------------------------------------- frames

enum class Role { Background, Face, Highlight, Shadow, DarkShadow, Black };

QRgb ColourOf(Role role)
{
    switch (role) {
        case Role::Background:
            return kBackground;
        case Role::Face:
            return kFace;
        case Role::Highlight:
            return kHighlight;
        case Role::Shadow:
            return kShadow;
        case Role::DarkShadow:
            return kDarkShadow;
        case Role::Black:
            return kBlack;
    }
    return 0;
}

// Negative coordinates count from the right or bottom edge; kMid is the middle.
constexpr int kMid = 10000;

int Resolve(int v, int size)
{
    return v == kMid ? size / 2 : (v < 0 ? size + v : v);
}

struct Probe {
    int x;
    int y;
    Role role;
};

enum class Look { Idle, Hover, Pressed };

struct FrameRow {
    const char* name;
    TFrameStyle style;
    Look look;
    std::vector<Probe> probes;
    unsigned borderWidth = 1;
    bool showPressed = true;
    bool transparent = true;
};

using R = Role;
using S = TFrameStyle;

// clang-format off
const std::vector<FrameRow> kFrameRows = {
    {"regular idle: raised, black outer edge", S::fsRegular, Look::Idle,
     {{0, 0, R::Highlight}, {-1, 0, R::Black}, {-1, -1, R::Black}, {0, -1, R::Black},
      {1, 1, R::Face}, {-2, -2, R::Shadow}, {2, 2, R::Background}, {kMid, kMid, R::Background}}},
    {"regular pressed: sunken", S::fsRegular, Look::Pressed,
     {{0, 0, R::Black}, {-1, -1, R::Highlight}, {1, 1, R::Shadow}, {-2, -2, R::Face}, {kMid, kMid, R::Background}}},
    {"regular pressed without ShowPressed stays raised", S::fsRegular, Look::Pressed,
     {{0, 0, R::Highlight}, {-1, -1, R::Black}, {1, 1, R::Face}, {-2, -2, R::Shadow}}, 1, false},
    {"regular border 2: two lines of each", S::fsRegular, Look::Idle,
     {{0, 0, R::Highlight}, {1, 1, R::Highlight}, {2, 2, R::Face}, {3, 3, R::Face}, {4, 4, R::Background},
      {-1, -1, R::Black}, {-2, -2, R::Black}, {-3, -3, R::Shadow}, {-4, -4, R::Shadow}}, 2},
    {"regular opaque: filled with face", S::fsRegular, Look::Idle,
     {{kMid, kMid, R::Face}, {0, 0, R::Highlight}}, 1, true, false},
    {"indent idle: etched", S::fsIndent, Look::Idle,
     {{0, 0, R::Shadow}, {-1, -1, R::Highlight}, {1, 1, R::Highlight}, {-2, -2, R::Shadow},
      {kMid, kMid, R::Background}}},
    {"indent pressed: as regular pressed", S::fsIndent, Look::Pressed,
     {{0, 0, R::Black}, {-1, -1, R::Highlight}, {1, 1, R::Shadow}, {-2, -2, R::Face}}},
    {"explorer idle: flat", S::fsExplorer, Look::Idle,
     {{0, 0, R::Background}, {-1, -1, R::Background}, {kMid, kMid, R::Background}}},
    {"explorer hover: raised", S::fsExplorer, Look::Hover,
     {{0, 0, R::Highlight}, {-1, -1, R::Shadow}, {1, 1, R::Background}}},
    {"explorer hover border 2", S::fsExplorer, Look::Hover,
     {{1, 1, R::Highlight}, {-2, -2, R::Shadow}, {2, 2, R::Background}}, 2},
    {"explorer pressed: sunken", S::fsExplorer, Look::Pressed,
     {{0, 0, R::Shadow}, {-1, -1, R::Highlight}, {1, 1, R::Background}}},
    {"explorer pressed without ShowPressed: raised", S::fsExplorer, Look::Pressed,
     {{0, 0, R::Highlight}, {-1, -1, R::Shadow}}, 1, false},
    {"explorer opaque: face without a frame", S::fsExplorer, Look::Idle,
     {{0, 0, R::Face}, {kMid, kMid, R::Face}}, 1, true, false},
    {"none idle", S::fsNone, Look::Idle, {{0, 0, R::Background}, {-1, -1, R::Background}}},
    {"none hover", S::fsNone, Look::Hover, {{0, 0, R::Background}, {-1, -1, R::Background}}},
    {"none pressed", S::fsNone, Look::Pressed, {{0, 0, R::Background}, {-1, -1, R::Background}}},
    {"none opaque", S::fsNone, Look::Idle, {{0, 0, R::Face}}, 1, true, false},
    {"light idle", S::fsLight, Look::Idle,
     {{0, 0, R::Highlight}, {-1, -1, R::Shadow}, {-1, 0, R::Shadow}, {0, -1, R::Shadow}, {1, 1, R::Background}}},
    {"light pressed", S::fsLight, Look::Pressed, {{0, 0, R::Shadow}, {-1, -1, R::Highlight}}},
    {"light ignores border width", S::fsLight, Look::Idle, {{0, 0, R::Highlight}, {1, 1, R::Background}}, 3},
    {"dark idle", S::fsDark, Look::Idle, {{0, 0, R::Face}, {-1, -1, R::DarkShadow}, {1, 1, R::Background}}},
    {"dark pressed", S::fsDark, Look::Pressed, {{0, 0, R::DarkShadow}, {-1, -1, R::Face}}},
    {"mono idle", S::fsMono, Look::Idle, {{0, 0, R::Highlight}, {-1, -1, R::DarkShadow}}},
    {"mono pressed", S::fsMono, Look::Pressed, {{0, 0, R::DarkShadow}, {-1, -1, R::Highlight}}},
};
// clang-format on

TEST(TTransparentButtonPaint, FrameOfEachStyleAndLook)
{
    for (const FrameRow& row : kFrameRows) {
        SCOPED_TRACE(row.name);
        Scene scene;
        scene.button->SetFrameStyle(row.style);
        scene.button->SetBorderWidth(row.borderWidth);
        scene.button->SetShowPressed(row.showPressed);
        scene.button->SetTransparent(row.transparent);
        if (row.look != Look::Idle)
            scene.Move(scene.Inside());
        if (row.look == Look::Pressed)
            scene.Press(scene.Inside());
        const QImage shot = scene.Shot();
        for (const Probe& probe : row.probes) {
            const int x = Resolve(probe.x, shot.width());
            const int y = Resolve(probe.y, shot.height());
            const QRgb got = shot.pixel(x, y);
            EXPECT_TRUE(Near(got, ColourOf(probe.role), 0))
                << "at (" << x << ", " << y << ") got " << Hex(got) << " want " << Hex(ColourOf(probe.role));
        }
    }
}

// ---------------------------------------------------------------- caption

void SetPrintCaption(TTransparentButton* button)
{
    button->SetCaption(QString::fromUtf8("ПЕЧАТЬ"));
    button->SetFontColor(QColor(kBlue));
    button->setFont(CaptionFont());
}

TEST(TTransparentButtonPaint, CaptionCentredInFontColour)
{
    Scene scene;
    SetPrintCaption(scene.button);
    const Ink ink = FindInk(scene.Shot(), IsBlueInk);
    ASSERT_GT(ink.count, 100);
    EXPECT_GT(ink.box.width(), 40);
    EXPECT_NEAR(ink.box.center().x(), 44, 3);
    EXPECT_NEAR(ink.box.center().y(), 24, 3);
}

TEST(TTransparentButtonPaint, PressedLookMovesCaptionOnePixelRightAndDown)
{
    Scene scene;
    SetPrintCaption(scene.button);
    scene.Move(scene.Inside());
    const Ink flat = FindInk(scene.Shot(), IsBlueInk);
    scene.Press(scene.Inside());
    const Ink pressed = FindInk(scene.Shot(), IsBlueInk);
    EXPECT_EQ(pressed.box, flat.box.translated(1, 1));

    scene.button->SetShowPressed(false);
    EXPECT_EQ(FindInk(scene.Shot(), IsBlueInk).box, flat.box);
}

TEST(TTransparentButtonPaint, DisabledCaptionIsEmbossed)
{
    Scene scene;
    SetPrintCaption(scene.button);
    const Ink enabled = FindInk(scene.Shot(), IsBlueInk);
    scene.button->setEnabled(false);
    const QImage shot = scene.Shot();
    EXPECT_EQ(FindInk(shot, IsBlueInk).count, 0);
    const Ink shadow = FindInk(shot, [](QRgb p) { return Near(p, kShadow, 24); });
    const Ink highlight = FindInk(shot, [](QRgb p) { return Near(p, kHighlight, 24); });
    ASSERT_GT(shadow.count, 50);
    ASSERT_GT(highlight.count, 10);
    // The shadow sits where the enabled text was, the highlight peeks out one
    // pixel to the right and below it.
    EXPECT_NEAR(shadow.box.left(), enabled.box.left(), 1);
    EXPECT_NEAR(shadow.box.top(), enabled.box.top(), 1);
    EXPECT_EQ(highlight.box.right(), shadow.box.right() + 1);
    EXPECT_EQ(highlight.box.bottom(), shadow.box.bottom() + 1);
}

TEST(TTransparentButtonPaint, CaptionFollowsTextAlignAcross)
{
    struct Row {
        const char* name;
        TTextAlign align;
        int wantLeft;   // -1: not checked
        int wantRight;  // -1: not checked
    };
    // 160 wide, Spacing 2: left text starts at 2, right text ends at 157.
    const Row rows[] = {
        {"left", TTextAlign::ttaLeft, 2, -1},
        {"top left", TTextAlign::ttaTopLeft, 2, -1},
        {"right", TTextAlign::ttaRight, -1, 157},
        {"bottom right", TTextAlign::ttaBottomRight, -1, 157},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scene scene(QRect(20, 40, 160, 60));
        SetPrintCaption(scene.button);
        scene.button->SetTextAlign(row.align);
        const Ink ink = FindInk(scene.Shot(), IsBlueInk);
        ASSERT_GT(ink.count, 100);
        // Glyph side bearings are a pixel or two.
        if (row.wantLeft >= 0) {
            EXPECT_GE(ink.box.left(), row.wantLeft);
            EXPECT_LE(ink.box.left(), row.wantLeft + 3);
        }
        if (row.wantRight >= 0) {
            EXPECT_LE(ink.box.right(), row.wantRight);
            EXPECT_GE(ink.box.right(), row.wantRight - 3);
        }
    }
}

TEST(TTransparentButtonPaint, WordWrapBreaksTheCaptionWithinTheWidth)
{
    Scene scene(QRect(100, 40, 70, 80));
    SetPrintCaption(scene.button);
    scene.button->SetCaption(QString::fromUtf8("ПЕЧАТЬ ПЕЧАТЬ"));
    const Ink oneLine = FindInk(scene.Shot(), IsBlueInk);
    scene.button->SetWordWrap(true);
    const Ink wrapped = FindInk(scene.Shot(), IsBlueInk);
    // One line runs over both edges (the button still bounds it)...
    EXPECT_EQ(oneLine.box.left(), 0);
    EXPECT_EQ(oneLine.box.right(), 69);
    EXPECT_GT(wrapped.box.height(), oneLine.box.height() * 3 / 2);  // ...or two lines
}

TEST(TTransparentButtonPaint, AmpersandUnderlinesInsteadOfShowing)
{
    Scene scene(QRect(100, 40, 89, 48));
    SetPrintCaption(scene.button);
    const Ink plain = FindInk(scene.Shot(), IsBlueInk);
    scene.button->SetCaption(QString::fromUtf8("&ПЕЧАТЬ"));
    const Ink marked = FindInk(scene.Shot(), IsBlueInk);
    // The same width: the ampersand is not drawn (the underline may reach a
    // pixel further).
    EXPECT_NEAR(marked.box.left(), plain.box.left(), 1);
    EXPECT_NEAR(marked.box.right(), plain.box.right(), 1);
    EXPECT_GT(marked.count, plain.count);  // the underline
}

// ---------------------------------------------------------------- glyphs

constexpr QRgb kKey = qRgb(255, 0, 255);
const QRgb kGlyphColours[] = {qRgb(255, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 200), qRgb(230, 200, 0)};

// n images of 16 x 16 side by side, each a solid square in a one-pixel
// border of the key colour (which the bottom-left pixel makes transparent).
QImage MakeGlyph(int n, int cell = 16)
{
    QImage image(cell * n, 16, QImage::Format_RGB32);
    image.fill(kKey);
    QPainter painter(&image);
    for (int i = 0; i < n; ++i) painter.fillRect(i * cell + 1, 1, cell - 2, 14, QColor(kGlyphColours[i % 4]));
    return image;
}

TEST(TTransparentButtonGlyph, NumGlyphsFollowsTheShapeOfTheGlyph)
{
    struct Row {
        const char* name;
        int before;
        QImage glyph;
        int want;
    };
    const Row rows[] = {
        {"square: one", 3, MakeGlyph(1), 1},
        {"two squares", 1, MakeGlyph(2), 2},
        {"four squares", 1, MakeGlyph(4), 4},
        {"five squares are one picture", 2, MakeGlyph(5), 1},
        {"not a multiple: kept", 2, MakeGlyph(2, 12), 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TTransparentButton button;
        button.SetNumGlyphs(row.before);
        button.SetGlyph(row.glyph);
        EXPECT_EQ(button.NumGlyphs(), row.want);
        // the images, then grey and disabled
        ASSERT_EQ(button.GlyphImages().size(), static_cast<size_t>(row.want + 2));
        EXPECT_EQ(button.GlyphImages()[0].width(), row.glyph.width() / row.want);
    }
    TTransparentButton button;
    button.SetNumGlyphs(9);
    EXPECT_EQ(button.NumGlyphs(), 4);
    button.SetNumGlyphs(0);
    EXPECT_EQ(button.NumGlyphs(), 1);
}

TEST(TTransparentButtonGlyph, ImageChosenByState)
{
    const QRgb red = kGlyphColours[0];
    const QRgb greyRed = qRgb(qGray(red), qGray(red), qGray(red));
    struct Row {
        const char* name;
        int numGlyphs;
        TFrameStyle style;
        Look look;
        bool enabled;
        QRgb want;
        bool autoGray = true;
    };
    const Row rows[] = {
        {"one, idle", 1, S::fsLight, Look::Idle, true, red},
        {"one, disabled: etched picture", 1, S::fsLight, Look::Idle, false, kShadow},
        {"one, pressed", 1, S::fsLight, Look::Pressed, true, red},
        {"explorer away: grey", 1, S::fsExplorer, Look::Idle, true, greyRed},
        {"explorer hovered: colour", 1, S::fsExplorer, Look::Hover, true, red},
        {"explorer away without AutoGray", 1, S::fsExplorer, Look::Idle, true, red, false},
        {"two, disabled: second", 2, S::fsLight, Look::Idle, false, kGlyphColours[1]},
        {"two, pressed: first", 2, S::fsLight, Look::Pressed, true, red},
        {"three, pressed: third", 3, S::fsLight, Look::Pressed, true, kGlyphColours[2]},
        {"three, disabled: second", 3, S::fsLight, Look::Idle, false, kGlyphColours[1]},
        {"four, idle: first", 4, S::fsLight, Look::Idle, true, red},
        {"four, pressed: third", 4, S::fsLight, Look::Pressed, true, kGlyphColours[2]},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scene scene;
        scene.button->SetFrameStyle(row.style);
        scene.button->SetAutoGray(row.autoGray);
        scene.button->SetGlyph(MakeGlyph(row.numGlyphs));
        scene.button->setEnabled(row.enabled);
        if (row.look != Look::Idle)
            scene.Move(scene.Inside());
        if (row.look == Look::Pressed)
            scene.Press(scene.Inside());
        // 89 x 48 with a 16 x 16 picture: it sits at (36, 16).
        const QRgb got = scene.Shot().pixel(44, 24);
        EXPECT_TRUE(Near(got, row.want, 2)) << Hex(got) << " want " << Hex(row.want);
    }
}

TEST(TTransparentButtonGlyph, KeyColourShowsWhatLiesBehind)
{
    struct Row {
        const char* name;
        bool transparent;
        QRgb want;
    };
    const Row rows[] = {{"transparent: window background", true, kBackground}, {"opaque: button face", false, kFace}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scene scene;
        scene.button->SetFrameStyle(TFrameStyle::fsNone);
        scene.button->SetTransparent(row.transparent);
        scene.button->SetGlyph(MakeGlyph(1));
        const QImage shot = scene.Shot();
        EXPECT_TRUE(Near(shot.pixel(36, 16), row.want, 0)) << Hex(shot.pixel(36, 16));
        EXPECT_TRUE(Near(shot.pixel(37, 17), kGlyphColours[0], 0));
    }
}

TEST(TTransparentButtonGlyph, GlyphAndCaptionTakeOppositeSides)
{
    struct Row {
        const char* name;
        TTextAlign align;
        QPoint glyphCentre;  // 160 x 80, Spacing 2, 16 x 16 picture
        std::function<bool(QRect text)> textPlaced;
    };
    const Row rows[] = {
        {"text left, glyph right", TTextAlign::ttaLeft, QPoint(150, 40), [](QRect t) { return t.right() < 142; }},
        {"text right, glyph left", TTextAlign::ttaRight, QPoint(10, 40), [](QRect t) { return t.left() > 18; }},
        {"text on top, glyph below", TTextAlign::ttaTop, QPoint(80, 70), [](QRect t) { return t.bottom() < 62; }},
        {"text below, glyph on top", TTextAlign::ttaBottom, QPoint(80, 10), [](QRect t) { return t.top() >= 20; }},
        {"centre: glyph in the middle", TTextAlign::ttaCenter, QPoint(80, 40),
         [](QRect t) { return std::abs(t.center().x() - 80) <= 3; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scene scene(QRect(20, 40, 160, 80));
        SetPrintCaption(scene.button);
        scene.button->SetFrameStyle(TFrameStyle::fsNone);
        scene.button->SetGlyph(MakeGlyph(1));
        scene.button->SetTextAlign(row.align);
        const QImage shot = scene.Shot();
        EXPECT_TRUE(Near(shot.pixel(row.glyphCentre), kGlyphColours[0], 2)) << Hex(shot.pixel(row.glyphCentre));
        const Ink text = FindInk(shot, IsBlueInk);
        ASSERT_GT(text.count, 100);
        EXPECT_TRUE(row.textPlaced(text.box))
            << "text at " << text.box.x() << "," << text.box.y() << " " << text.box.width() << "x" << text.box.height();
    }
}

// ---------------------------------------------------------------- mouse

TEST(TTransparentButtonMouse, ClickOnlyWhenReleasedInsideAfterPressInside)
{
    enum Step { PressIn, MoveOut, MoveIn, ReleaseIn, ReleaseOut, DoubleClick, RightClick };
    struct Row {
        const char* name;
        std::vector<Step> steps;
        int wantClicks;
    };
    const Row rows[] = {
        {"press and release inside", {MoveIn, PressIn, ReleaseIn}, 1},
        {"released outside", {MoveIn, PressIn, MoveOut, ReleaseOut}, 0},
        {"out and back before release", {MoveIn, PressIn, MoveOut, MoveIn, ReleaseIn}, 1},
        {"double click is two clicks", {MoveIn, DoubleClick}, 2},
        {"right button does not click", {MoveIn, RightClick}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scene scene;
        for (Step step : row.steps) {
            switch (step) {
                case PressIn:
                    scene.Press(scene.Inside());
                    break;
                case MoveOut:
                    scene.Move(scene.Outside());
                    break;
                case MoveIn:
                    scene.Move(scene.Inside());
                    break;
                case ReleaseIn:
                    scene.Release(scene.Inside());
                    break;
                case ReleaseOut:
                    scene.Release(scene.Outside());
                    break;
                case DoubleClick:
                    QTest::mouseDClick(scene.handle(), Qt::LeftButton, {}, scene.Inside());
                    break;
                case RightClick:
                    scene.Click(scene.Inside(), Qt::RightButton);
                    break;
            }
        }
        EXPECT_EQ(scene.clicks, row.wantClicks);
        EXPECT_FALSE(scene.button->IsPressedLook());
    }
}

TEST(TTransparentButtonMouse, PressedLookFollowsThePointerWhileHeld)
{
    Scene scene;
    int enters = 0;
    int exits = 0;
    QObject::connect(scene.button, &TTransparentButton::OnMouseEnter, [&](QObject*) { ++enters; });
    QObject::connect(scene.button, &TTransparentButton::OnMouseExit, [&](QObject*) { ++exits; });
    scene.Move(scene.Inside());
    scene.Press(scene.Inside());
    EXPECT_TRUE(scene.button->IsPressedLook());
    EXPECT_TRUE(Near(scene.Shot().pixel(0, 0), kShadow, 0));
    // Out: flat, as if the pointer had never been there.
    scene.Move(scene.Outside());
    EXPECT_FALSE(scene.button->IsPressedLook());
    EXPECT_FALSE(scene.button->IsMouseOver());
    EXPECT_TRUE(Near(scene.Shot().pixel(0, 0), kBackground, 0)) << Hex(scene.Shot().pixel(0, 0));
    // Back in: sunken again.
    scene.Move(scene.Inside() + QPoint(10, 5));
    EXPECT_TRUE(scene.button->IsPressedLook());
    EXPECT_TRUE(Near(scene.Shot().pixel(0, 0), kShadow, 0));
    scene.Move(scene.Outside());
    scene.Release(scene.Outside());
    EXPECT_FALSE(scene.button->IsPressedLook());
    EXPECT_TRUE(Near(scene.Shot().pixel(0, 0), kBackground, 0)) << Hex(scene.Shot().pixel(0, 0));
    // Each crossing reported once, none twice when the toolkit catches up.
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(exits, 2);
}

TEST(TTransparentButtonMouse, PressRepaintsAtOnce)
{
    Scene scene;
    PaintCounter counter;
    scene.button->installEventFilter(&counter);
    QApplication::processEvents();
    counter.count = 0;
    // Delivered straight to the button: no event loop runs in between.
    QTest::mousePress(scene.button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_GE(counter.count, 1);
    counter.count = 0;
    QTest::mouseRelease(scene.button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_GE(counter.count, 1);
    EXPECT_EQ(scene.clicks, 1);
}

TEST(TTransparentButtonMouse, DisabledButtonIgnoresTheMouse)
{
    Scene scene;
    int downs = 0;
    QObject::connect(scene.button, &TTransparentButton::OnMouseDown, [&](QObject*, auto, auto, auto) { ++downs; });
    scene.button->setEnabled(false);
    scene.Move(scene.Inside());
    EXPECT_FALSE(scene.button->IsMouseOver());
    scene.Press(scene.Inside());
    EXPECT_FALSE(scene.button->IsPressedLook());
    scene.Release(scene.Inside());
    EXPECT_EQ(scene.clicks, 0);
    EXPECT_EQ(downs, 0);
}

TEST(TTransparentButtonMouse, DisablingEndsPressAndHover)
{
    Scene scene;
    scene.Move(scene.Inside());
    scene.Press(scene.Inside());
    ASSERT_TRUE(scene.button->IsPressedLook());
    ASSERT_TRUE(scene.button->IsMouseOver());
    scene.button->setEnabled(false);
    EXPECT_FALSE(scene.button->IsPressedLook());
    EXPECT_FALSE(scene.button->IsMouseOver());
    scene.button->setEnabled(true);
    scene.Release(scene.Inside());
    EXPECT_EQ(scene.clicks, 0);
    scene.Click(scene.Inside());
    EXPECT_EQ(scene.clicks, 1);
}

TEST(TTransparentButtonMouse, DownLatchesThePressedLook)
{
    Scene scene;
    int ups = 0;
    QObject::connect(scene.button, &TTransparentButton::OnMouseUp, [&](QObject*, auto, auto, auto) { ++ups; });
    scene.button->SetDown(true);
    scene.Move(scene.Inside());
    scene.Click(scene.Inside());
    EXPECT_EQ(scene.clicks, 1);
    EXPECT_EQ(ups, 0);
    EXPECT_TRUE(scene.button->IsPressedLook());
    // Away from the pointer the latched explorer button still shows sunken.
    scene.Move(scene.Outside());
    EXPECT_FALSE(scene.button->IsMouseOver());
    EXPECT_TRUE(Near(scene.Shot().pixel(0, 0), kShadow, 0)) << Hex(scene.Shot().pixel(0, 0));
    // Releasing the latch lets the button up.
    scene.button->SetDown(false);
    EXPECT_FALSE(scene.button->IsPressedLook());
    EXPECT_TRUE(Near(scene.Shot().pixel(0, 0), kBackground, 0));
    scene.Move(scene.Inside());
    scene.Click(scene.Inside());
    EXPECT_EQ(scene.clicks, 2);
    EXPECT_EQ(ups, 1);
    EXPECT_FALSE(scene.button->IsPressedLook());
}

TEST(TTransparentButtonMouse, MovableButtonFollowsTheDrag)
{
    struct Row {
        const char* name;
        bool movable;
        QPoint wantTopLeft;
    };
    const Row rows[] = {{"movable", true, QPoint(120, 75)}, {"fixed", false, QPoint(100, 60)}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scene scene;
        scene.button->SetMovable(row.movable);
        const QPoint start = scene.Inside();
        scene.Move(start);
        scene.Press(start);
        scene.Move(start + QPoint(8, 5));
        scene.Move(start + QPoint(20, 15));
        EXPECT_EQ(scene.button->pos(), row.wantTopLeft);
        EXPECT_TRUE(scene.button->IsPressedLook());
        scene.Release(start + QPoint(20, 15));
        EXPECT_EQ(scene.button->pos(), row.wantTopLeft);
        // Hovering over it afterwards carries nothing along.
        scene.Move(start + QPoint(25, 17));
        EXPECT_EQ(scene.button->pos(), row.wantTopLeft);
    }
}

TEST(TTransparentButtonMouse, PopUpMenuDropsBelowAndEndsThePress)
{
    struct Row {
        const char* name;
        Qt::MouseButton button;
    };
    const Row rows[] = {{"right press", Qt::RightButton}, {"left press", Qt::LeftButton}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scene scene;
        QMenu menu;
        menu.addAction(QStringLiteral("Item"));
        scene.button->SetPopUpMenu(&menu);
        bool shown = false;
        bool pressedWhileShown = false;
        QPoint shownAt;
        // Closed from inside the menu's own loop, as a user would.
        QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&] {
            QTimer::singleShot(0, &menu, [&] {
                shown = QApplication::activePopupWidget() == &menu;
                pressedWhileShown = scene.button->IsPressedLook();
                shownAt = menu.pos();
                menu.close();
            });
        });
        scene.Move(scene.Inside());
        scene.Press(scene.Inside(), row.button);
        EXPECT_TRUE(shown);
        EXPECT_TRUE(pressedWhileShown);
        EXPECT_EQ(shownAt, scene.button->mapToGlobal(QPoint(0, scene.button->height())));
        EXPECT_FALSE(scene.button->IsPressedLook());
        scene.Release(scene.Inside(), row.button);
        EXPECT_EQ(scene.clicks, 0);

        // The button takes the next press as usual.
        scene.button->SetPopUpMenu(nullptr);
        scene.Click(scene.Inside());
        EXPECT_EQ(scene.clicks, 1);
    }
}

TEST(TTransparentButtonMouse, HoverRaisesTheExplorerFrame)
{
    Scene scene;
    int enters = 0;
    int exits = 0;
    QObject::connect(scene.button, &TTransparentButton::OnMouseEnter, [&](QObject*) { ++enters; });
    QObject::connect(scene.button, &TTransparentButton::OnMouseExit, [&](QObject*) { ++exits; });
    scene.Move(scene.Inside());
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(scene.button->IsMouseOver());
    EXPECT_TRUE(Near(scene.Shot().pixel(0, 0), kHighlight, 0));
    scene.Move(scene.Outside());
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(scene.button->IsMouseOver());
    EXPECT_TRUE(Near(scene.Shot().pixel(0, 0), kBackground, 0));
}

TEST(TTransparentButtonMouse, ClickLeavesTheFocusWhereItWas)
{
    Scene scene;
    scene.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&scene.window));
    scene.edit->setFocus();
    ASSERT_TRUE(scene.edit->hasFocus());
    scene.Move(scene.Inside());
    scene.Click(scene.Inside());
    QTest::mouseDClick(scene.handle(), Qt::LeftButton, {}, scene.Inside());
    EXPECT_EQ(scene.clicks, 3);
    EXPECT_EQ(QApplication::focusWidget(), scene.edit);
    EXPECT_EQ(scene.button->focusPolicy(), Qt::NoFocus);
}

TEST(TTransparentButtonMouse, HandlerErrorIsShownAndTheButtonRecovers)
{
    Scene scene;
    std::vector<std::string> shown;
    ErrorDisplayHandler previous = SetErrorDisplay([&](const std::string& message) { shown.push_back(message); });
    int calls = 0;
    QObject::connect(scene.button, &TTransparentButton::OnClick, [&](QObject*) {
        ++calls;
        throw EVpError(DW_TEXT("Message", "VpPrinter not ready"));
    });
    scene.Move(scene.Inside());
    scene.Click(scene.Inside());
    EXPECT_EQ(shown, std::vector<std::string>{"VpPrinter not ready"});
    EXPECT_FALSE(scene.button->IsPressedLook());
    scene.Click(scene.Inside());
    EXPECT_EQ(calls, 2);
    SetErrorDisplay(previous);
}

// ---------------------------------------------------------------- keyboard

TEST(TTransparentButtonKeyboard, AcceleratorLetterClicks)
{
    struct Row {
        const char* name;
        const char* caption;
        Qt::Key key;
        bool enabled;
        int wantClicks;
    };
    const Row rows[] = {
        {"marked letter", "&Print", Qt::Key_P, true, 1},
        {"letter in the middle", "P&rint", Qt::Key_R, true, 1},
        {"unmarked letter", "P&rint", Qt::Key_P, true, 0},
        {"doubled ampersand marks nothing", "&&Print", Qt::Key_P, true, 0},
        {"cyrillic letter", "&ПЕЧАТЬ", static_cast<Qt::Key>(0x041F), true, 1},
        {"disabled", "&Print", Qt::Key_P, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scene scene;
        scene.window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&scene.window));
        scene.edit->setFocus();
        scene.button->SetCaption(QString::fromUtf8(row.caption));
        scene.button->setEnabled(row.enabled);
        // With its text, which the test library cannot make up for a
        // Cyrillic key.
        const QString text = QString(QChar(static_cast<char16_t>(row.key))).toLower();
        QTest::sendKeyEvent(QTest::Click, scene.handle(), row.key, text, Qt::AltModifier);
        EXPECT_EQ(scene.clicks, row.wantClicks);
        EXPECT_TRUE(scene.edit->hasFocus());
    }
}

TEST(TTransparentButtonKeyboard, ChangedCaptionMovesTheAccelerator)
{
    Scene scene;
    scene.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&scene.window));
    scene.button->SetCaption("&Print");
    scene.button->SetCaption("&Go");
    QTest::keyClick(scene.handle(), Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(scene.clicks, 0);
    QTest::keyClick(scene.handle(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(scene.clicks, 1);
}

// ---------------------------------------------------------------- properties

TEST(TTransparentButtonProperties, Defaults)
{
    QWidget parent;
    QFont font("MS Sans Serif");
    font.setPixelSize(11);
    parent.setFont(font);
    auto* button = new TTransparentButton(&parent);
    EXPECT_EQ(button->size(), QSize(40, 40));
    EXPECT_TRUE(button->AutoGray());
    EXPECT_EQ(button->BorderWidth(), 1u);
    EXPECT_TRUE(button->Caption().isEmpty());
    EXPECT_FALSE(button->Down());
    EXPECT_EQ(button->FrameStyle(), TFrameStyle::fsExplorer);
    EXPECT_EQ(button->NumGlyphs(), 1);
    EXPECT_EQ(button->PopUpMenu(), nullptr);
    EXPECT_TRUE(button->ShowPressed());
    EXPECT_EQ(button->Spacing(), 2);
    EXPECT_EQ(button->TextAlign(), TTextAlign::ttaCenter);
    EXPECT_TRUE(button->Transparent());
    EXPECT_FALSE(button->WordWrap());
    EXPECT_FALSE(button->Movable());
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(button->autoFillBackground());
    EXPECT_EQ(button->font().pixelSize(), 11);  // the parent's
}

TEST(TTransparentButtonProperties, EverySetterRepaints)
{
    struct Row {
        const char* name;
        std::function<void(TTransparentButton&)> set;
    };
    QMenu menu;
    const Row rows[] = {
        {"AutoGray", [](TTransparentButton& b) { b.SetAutoGray(false); }},
        {"BorderWidth", [](TTransparentButton& b) { b.SetBorderWidth(3); }},
        {"Caption", [](TTransparentButton& b) { b.SetCaption("Go"); }},
        {"Down", [](TTransparentButton& b) { b.SetDown(true); }},
        {"FontColor", [](TTransparentButton& b) { b.SetFontColor(Qt::red); }},
        {"Font", [](TTransparentButton& b) { b.setFont(CaptionFont()); }},
        {"Enabled", [](TTransparentButton& b) { b.setEnabled(false); }},
        {"FrameStyle", [](TTransparentButton& b) { b.SetFrameStyle(TFrameStyle::fsMono); }},
        {"Glyph", [](TTransparentButton& b) { b.SetGlyph(MakeGlyph(2)); }},
        {"NumGlyphs", [](TTransparentButton& b) { b.SetNumGlyphs(2); }},
        {"PopUpMenu", [&menu](TTransparentButton& b) { b.SetPopUpMenu(&menu); }},
        {"ShowPressed", [](TTransparentButton& b) { b.SetShowPressed(false); }},
        {"Spacing", [](TTransparentButton& b) { b.SetSpacing(5); }},
        {"TextAlign", [](TTransparentButton& b) { b.SetTextAlign(TTextAlign::ttaLeft); }},
        {"Transparent", [](TTransparentButton& b) { b.SetTransparent(false); }},
        {"WordWrap", [](TTransparentButton& b) { b.SetWordWrap(true); }},
        {"Movable", [](TTransparentButton& b) { b.SetMovable(true); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scene scene;
        PaintCounter counter;
        scene.button->installEventFilter(&counter);
        QApplication::processEvents();
        counter.count = 0;
        row.set(*scene.button);
        QApplication::processEvents();
        EXPECT_GE(counter.count, 1);
    }
}

TEST(TTransparentButtonProperties, GlyphFollowsPaletteForItsDisabledPicture)
{
    TTransparentButton button;
    button.SetGlyph(MakeGlyph(1));
    QPalette pal = button.palette();
    pal.setColor(QPalette::Dark, QColor(10, 20, 30));
    button.setPalette(pal);
    const QImage& disabled = button.GlyphImages().back();
    EXPECT_EQ(disabled.pixel(8, 8), qRgb(10, 20, 30));
    EXPECT_EQ(qAlpha(disabled.pixel(0, 15)), 0);
}

}  // namespace
}  // namespace dw
