// SPDX-License-Identifier: MIT
#include "design/design_fonts.h"

#include <QHash>

namespace dw {

QString SubstituteFontFamily(const QString& faceName)
{
    static const QHash<QString, QString> substitutes = {
        {QStringLiteral(""), QStringLiteral("Liberation Sans")},
        {QStringLiteral("ms sans serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("microsoft sans serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("ms shell dlg"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("ms shell dlg 2"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("system"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("tahoma"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("verdana"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("segoe ui"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("arial narrow"), QStringLiteral("Liberation Sans Narrow")},
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("ms serif"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("fixedsys"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("terminal"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("lucida console"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("consolas"), QStringLiteral("Liberation Mono")},
    };
    const auto it = substitutes.constFind(faceName.trimmed().toLower());
    return it == substitutes.constEnd() ? faceName : it.value();
}

QFont DesignFont(const QString& family, int pixelHeight, bool bold)
{
    QFont font;
    // The stand-in first (asking for the designed name first costs a failed
    // search on every new size and weight), then the designed name and a
    // family present on every Debian desktop for a machine without stand-ins.
    font.setFamilies({SubstituteFontFamily(family), family, QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoFontMerging);
    // The designed face was drawn for the screen pixel by pixel; the stand-ins'
    // own TrueType hints come closest to that and spare the automatic hinter's
    // analysis of every face and size at start.
    font.setHintingPreference(QFont::PreferFullHinting);
    // The designed texts were laid out glyph by glyph at their plain advances,
    // without kerning pairs; widths and positions follow that (and shaping
    // skips the kerning tables).
    font.setKerning(false);
    return font;
}

}  // namespace dw
