// SPDX-License-Identifier: MIT
#include "app/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

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
{
    // Each catalogue is tried for the locale's languages in the user's order
    // (ru_RU, then ru); a locale with none, such as C, keeps the English.
    m_toolkitLoaded = m_toolkit.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                     QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (m_toolkitLoaded)
        QCoreApplication::installTranslator(&m_toolkit);
    for (const QString& directory : programDirectories) {
        if (m_program.load(locale, QString::fromLatin1(kProgramCatalogue), QStringLiteral("_"), directory)) {
            m_programLoaded = true;
            QCoreApplication::installTranslator(&m_program);
            break;
        }
    }
    m_previousTranslator =
        SetMessageTranslator([](const MessageText& text) { return TranslatedMessage(text).toStdString(); });
}

Translations::~Translations()
{
    SetMessageTranslator(std::move(m_previousTranslator));
    QCoreApplication::removeTranslator(&m_program);
    QCoreApplication::removeTranslator(&m_toolkit);
}

}  // namespace dw
