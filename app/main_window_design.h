// SPDX-License-Identifier: MIT
#pragma once

// The main window as designed for each language: its title, the thirteen
// captions beside the fields (text, place), the three column boxes'
// captions, the two commands' captions, places and fonts, and the place of
// the date. The fields, their boxes, their order and the window's size are
// the same in every design; only what is written, and where it stands,
// changes. These captions are the design itself, like the Russian ones
// always were, not catalogue texts: a language is chosen whole, one design
// per language, so a crew never sees one caption of one design beside the
// places of another.

#include "units/display_settings.h"
#include "units/unit_table.h"

#include <QPoint>
#include <QRect>

#include <array>

namespace dw {

class TForm1;

namespace design {

// What a caption says: a crew's word that follows the units where there is
// one (Oilfield nullptr: the same word in both systems).
struct TWords {
    const char* Metric;
    const char* Oilfield;

    const char* Text(units::TUnitSystem units) const
    {
        return units == units::TUnitSystem::Oilfield && Oilfield != nullptr ? Oilfield : Metric;
    }
};

// A caption beside a field, at its top-left corner; it sizes itself to its
// words.
struct TCaption {
    TWords Words;
    QPoint Place;
};

// A command: its caption, its place and size, the character height of its
// bold caption in pixels.
struct TCommand {
    const char* Caption;
    QRect Box;
    int FontPixels;
};

struct TMainWindowDesign {
    const char* Title;
    // Label1 ... Label13, top to bottom: the equipment, the mud and the
    // steel, then the results. Each stands level with the field it names.
    std::array<TCaption, 13> Labels;
    // GroupBox1 ... GroupBox3: the sections' lengths, diameters and the
    // weight of one metre (foot).
    std::array<TWords, 3> Columns;
    TCommand Calculate;  // BitBtn1
    TCommand Print;      // TransparentButton1
    QPoint DatePlace;    // Label14
    // The window menu's own entries: restore, minimise, maximise, close.
    std::array<const char*, 4> WindowMenu;
};

// The design of a language.
const TMainWindowDesign& MainWindowDesign(units::TLanguage language);

}  // namespace design

// Puts the design of the language on the window's controls, with the
// captions that follow the units written for these units. The Russian
// metric design is the window as it was always built; applying it after
// another restores that window exactly. A window drawn larger keeps its
// size and is drawn larger from the new design.
void ApplyMainWindowDesign(TForm1& form, units::TLanguage language, units::TUnitSystem units);

}  // namespace dw
