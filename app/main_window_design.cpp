// SPDX-License-Identifier: MIT
#include "app/main_window_design.h"

#include "app/fonts.h"
#include "app/form1.h"
#include "app/window_zoom.h"
#include "decor/gradient_caption.h"
#include "decor/transparent_button.h"
#include "decor/window_frame.h"

#include <QLabel>
#include <QPushButton>

namespace dw {
namespace design {
namespace {

// clang-format off

// The window as it was first designed. Each caption stands level with its
// field; the column that names a unit says which.
constexpr TMainWindowDesign kRussian{
    "ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА",
    {{
        {{"Вес квадрата", nullptr}, {5, 17}},
        {{"Вес талевого\nблока", nullptr}, {5, 35}},
        {{"Вес каната", nullptr}, {5, 61}},
        {{"Вес крюка", nullptr}, {5, 79}},
        {{"Вес вертлюга", nullptr}, {5, 100}},
        {{"Вес бурового\nрукава", nullptr}, {5, 115}},
        {{"Удельный вес\nраствора", nullptr}, {5, 141}},
        {{"Удельный вес\nметалла", nullptr}, {5, 168}},
        {{"Вес талевой системы", nullptr}, {5, 204}},
        {{"Вес бурового инструмента\n(чистый)", nullptr}, {5, 226}},
        {{"Вес бурового инструмента\nс учетом вытеснения", nullptr}, {5, 254}},
        {{"Вес бурового инструмента\nс учетом талевой системы", nullptr}, {5, 281}},
        {{"Длина инструмента", nullptr}, {5, 312}},
    }},
    {{
        {"L инструмента", nullptr},
        {"D инструмента", nullptr},
        {"Вес 1 метра", "Вес 1 фута"},
    }},
    {"РАСЧЕТ", {272, 204, 87, 49}, 19},
    {"ПЕЧАТЬ", {272, 285, 89, 48}, 19},
    {274, 256},
    {"Восстановить", "Свернуть", "Развернуть", "Закрыть"},
};

// The same window for a crew that reads English, in the words said on a
// rig floor. English words run longer, so the captions are laid out again:
// one line where a rig's shorter word exists ("drill line"), two where
// none does; each caption's first line level with the text of its field
// (a two-line caption beside a one-line field centred on it), and none
// touching the next, so that a window drawn larger never rounds one caption
// into another; and the two commands take the free width right of the
// results, so CALCULATE keeps the commands' designed 19-pixel bold instead
// of shrinking below PRINT's.
// Density is what g/cm3 measures; in pounds per gallon a crew speaks of mud
// weight. The net weight is the string's weight in air, beside its weight
// in mud; the hook load is that weight in mud with the travelling system
// hanging above it.
constexpr TMainWindowDesign kEnglish{
    "DRILL STRING WEIGHT",
    {{
        {{"Kelly weight", nullptr}, {5, 21}},
        {{"Travelling\nblock weight", nullptr}, {5, 35}},
        {{"Drill line weight", nullptr}, {5, 62}},
        {{"Hook weight", nullptr}, {5, 81}},
        {{"Swivel weight", nullptr}, {5, 101}},
        {{"Drilling hose\nweight", nullptr}, {5, 115}},
        {{"Mud density", "Mud weight"}, {5, 142}},
        {{"Pipe steel\ndensity", nullptr}, {5, 166}},
        {{"Travelling system weight", nullptr}, {5, 209}},
        {{"String weight in air", nullptr}, {5, 235}},
        {{"String weight in mud", nullptr}, {5, 261}},
        {{"Hook load", nullptr}, {5, 288}},
        {{"Total string length", nullptr}, {5, 316}},
    }},
    {{
        {"Section length", nullptr},
        {"Section OD", nullptr},
        {"Weight per m", "Weight per ft"},
    }},
    {"CALCULATE", {272, 204, 150, 49}, 19},
    {"PRINT", {272, 285, 150, 48}, 19},
    {274, 256},
    {"Restore", "Minimize", "Maximize", "Close"},
};

// clang-format on

}  // namespace

const TMainWindowDesign& MainWindowDesign(units::TLanguage language)
{
    return language == units::TLanguage::English ? kEnglish : kRussian;
}

}  // namespace design

namespace {

void PutDesign(TForm1& form, const design::TMainWindowDesign& design, units::TUnitSystem units)
{
    const QString title = QString::fromUtf8(design.Title);
    form.setWindowTitle(title);
    if (TGradientCaption* caption = form.GradientCaption1())
        caption->SetFormCaption(title);
    for (std::size_t i = 0; i < design.Labels.size(); ++i) {
        const design::TCaption& row = design.Labels[i];
        QLabel* label = form.Label(static_cast<int>(i) + 1);
        label->setText(QString::fromUtf8(row.Words.Text(units)));
        label->move(row.Place);
        // A label sizes itself to its caption.
        label->resize(label->sizeHint());
    }
    for (std::size_t i = 0; i < design.Columns.size(); ++i)
        form.GroupBox(static_cast<int>(i) + 1)->setTitle(QString::fromUtf8(design.Columns[i].Text(units)));
    QPushButton* calculate = form.BitBtn1();
    calculate->setText(QString::fromUtf8(design.Calculate.Caption));
    calculate->setGeometry(design.Calculate.Box);
    calculate->setFont(FormFont(design.Calculate.FontPixels, true));
    TTransparentButton* print = form.TransparentButton1();
    print->SetCaption(QString::fromUtf8(design.Print.Caption));
    print->setGeometry(design.Print.Box);
    print->setFont(FormFont(design.Print.FontPixels, true));
    form.Label14()->move(design.DatePlace);
    if (TWindowFrame* frame = TWindowFrame::Of(&form))
        frame->SetMenuCaptions({QString::fromUtf8(design.WindowMenu[0]), QString::fromUtf8(design.WindowMenu[1]),
                                QString::fromUtf8(design.WindowMenu[2]), QString::fromUtf8(design.WindowMenu[3])});
}

}  // namespace

void ApplyMainWindowDesign(TForm1& form, units::TLanguage language, units::TUnitSystem units)
{
    const design::TMainWindowDesign& design = design::MainWindowDesign(language);
    // A window drawn larger is drawn larger from the design it now has.
    if (TWindowZoom* zoom = form.WindowZoom())
        zoom->Redesign([&] { PutDesign(form, design, units); });
    else
        PutDesign(form, design, units);
}

}  // namespace dw
