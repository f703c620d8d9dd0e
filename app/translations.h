// SPDX-License-Identifier: MIT
#pragma once

#include "common/error_display.h"
#include "common/message_text.h"
#include "units/display_settings.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTranslator>

#include <optional>

namespace dw {

// Where the program's own catalogues are looked for: beside the program (the
// build tree keeps them in translations/ next to the program file) and where
// the package installs them.
QStringList ProgramCatalogueDirectories();

// The message in the language of the catalogues installed: the source looked
// up in its context (with its disambiguation), the arguments put in, each
// translated first unless it is verbatim. A text with no translation stays
// the program's English.
QString TranslatedMessage(const MessageText& text);

// The user's language for as long as it lives: the toolkit's own catalogue
// (its dialogs and buttons) and the program's are loaded for the locale and
// installed, and the error display words messages through them. The main
// window's and the sheet's Russian captions are not texts to translate and
// stay as designed in every locale.
class Translations {
public:
    explicit Translations(const QLocale& locale = QLocale::system(),
                          const QStringList& programDirectories = ProgramCatalogueDirectories());
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    bool ToolkitLoaded() const { return m_toolkitLoaded; }
    bool ProgramLoaded() const { return m_programLoaded; }

    // Loads and installs the catalogues of another locale in place of the
    // present ones; every window is told its language changed.
    void Use(const QLocale& locale);
    // Where the program's catalogues are looked for.
    const QStringList& Directories() const { return m_directories; }

private:
    void Load(const QLocale& locale);
    void Unload();

    QStringList m_directories;
    QLocale m_locale;
    QTranslator m_toolkit;
    QTranslator m_program;
    bool m_toolkitLoaded = false;
    bool m_programLoaded = false;
    MessageTranslator m_previousTranslator;
};

// The crew's choice of language for the catalogues: a chosen language wins
// over the locale's, no choice (std::nullopt) leaves the locale's. Works on
// the program's live Translations; without one it changes nothing.
void UseCatalogueLanguage(std::optional<units::TLanguage> language);

// A word of the window's and the sheet's design (a unit word) in the
// design's language, whatever catalogue the messages use: the English
// source, or its Russian from the Russian catalogue (the source itself
// should that catalogue be missing).
QString DesignWord(units::TLanguage language, const SourceText& word);

}  // namespace dw
