// SPDX-License-Identifier: MIT
#include "app/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

#include <memory>
#include <string>
#include <vector>

namespace dw {

namespace {

constexpr char kProgramCatalogue[] = "drillweight";

// The toolkit's words the program says in its own: Qt's Russian catalogue
// leaves the buttons' "OK" in Latin letters, where a Russian desktop writes
// "ОК", and lacks the file dialog's kinds of entry ("Folder"). The program's
// catalogue is searched first, so its wording wins.
[[maybe_unused]] constexpr const char* kToolkitTexts[] = {
    QT_TRANSLATE_NOOP("QPlatformTheme", "OK"),
    QT_TRANSLATE_NOOP("QDialogButtonBox", "OK"),
    QT_TRANSLATE_NOOP("QPrintDialog", "OK"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Drive"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Unknown"),
};
[[maybe_unused]] constexpr struct {
    const char* source;
    const char* disambiguation;
} kToolkitTextsInUse[] = {
    QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Folder", "All other platforms"),
};

// The one set of catalogues the program lives with.
Translations* g_live = nullptr;

QLocale LocaleOf(units::TLanguage language)
{
    return language == units::TLanguage::English ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                 : QLocale(QLocale::Russian, QLocale::Russia);
}

}  // namespace

QStringList ProgramCatalogueDirectories()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    return {QDir(programDir).filePath(QStringLiteral("translations")),
            QDir::cleanPath(programDir + QStringLiteral("/../share/drillweight/translations"))};
}

QString TranslatedMessage(const MessageText& text)
{
    if (!text.Translatable())
        return QString::fromStdString(text.Source());
    const std::string& disambiguation = text.Disambiguation();
    const QString pattern = QCoreApplication::translate(kMessageContext, text.Source().c_str(),
                                                        disambiguation.empty() ? nullptr : disambiguation.c_str());
    if (text.Arguments().empty())
        return pattern;
    std::vector<std::string> arguments;
    for (const MessageText& argument : text.Arguments()) arguments.push_back(TranslatedMessage(argument).toStdString());
    // One pass over the translated pattern, as over the English one: a file
    // name holding "%2" stays as it is.
    return QString::fromStdString(SubstituteArguments(pattern.toStdString(), arguments));
}

Translations::Translations(const QLocale& locale, const QStringList& programDirectories)
    : m_directories(programDirectories)
{
    Load(locale);
    m_previousTranslator =
        SetMessageTranslator([](const MessageText& text) { return TranslatedMessage(text).toStdString(); });
    g_live = this;
}

Translations::~Translations()
{
    if (g_live == this)
        g_live = nullptr;
    SetMessageTranslator(std::move(m_previousTranslator));
    Unload();
}

void Translations::Load(const QLocale& locale)
{
    m_locale = locale;
    // Each catalogue is tried for the locale's languages in the user's order
    // (ru_RU, then ru); a locale with none, such as C, keeps the English.
    m_toolkitLoaded = m_toolkit.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                     QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (m_toolkitLoaded)
        QCoreApplication::installTranslator(&m_toolkit);
    m_programLoaded = false;
    for (const QString& directory : m_directories) {
        if (m_program.load(locale, QString::fromLatin1(kProgramCatalogue), QStringLiteral("_"), directory)) {
            m_programLoaded = true;
            QCoreApplication::installTranslator(&m_program);
            break;
        }
    }
}

void Translations::Unload()
{
    QCoreApplication::removeTranslator(&m_program);
    QCoreApplication::removeTranslator(&m_toolkit);
    m_programLoaded = false;
    m_toolkitLoaded = false;
}

void Translations::Use(const QLocale& locale)
{
    if (locale == m_locale)
        return;
    Unload();
    // A translator keeps its last catalogue when a load fails: fresh ones,
    // so English (no catalogue) really is English.
    static_cast<void>(m_toolkit.load(QString()));
    static_cast<void>(m_program.load(QString()));
    Load(locale);
}

void UseCatalogueLanguage(std::optional<units::TLanguage> language)
{
    if (g_live == nullptr)
        return;
    g_live->Use(language ? LocaleOf(*language) : QLocale::system());
}

QString DesignWord(units::TLanguage language, const SourceText& word)
{
    if (language == units::TLanguage::English)
        return QString::fromUtf8(word.Text);
    // Loaded once from where the live catalogues come from (or the
    // program's own places), beside the catalogues the messages use.
    static std::unique_ptr<QTranslator> russian;
    static QStringList loadedFrom;
    const QStringList directories = g_live != nullptr ? g_live->Directories() : ProgramCatalogueDirectories();
    if (!russian || loadedFrom != directories) {
        russian = std::make_unique<QTranslator>();
        loadedFrom = directories;
        for (const QString& directory : directories)
            if (russian->load(LocaleOf(units::TLanguage::Russian), QString::fromLatin1(kProgramCatalogue),
                              QStringLiteral("_"), directory))
                break;
    }
    const QString translated = russian->translate(kMessageContext, word.Text, word.Disambiguation);
    return translated.isEmpty() ? QString::fromUtf8(word.Text) : translated;
}

}  // namespace dw
