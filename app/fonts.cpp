#include "app/fonts.h"

#include <QStringList>

namespace dw {

void InstallFontSubstitutes()
{
    // Substitutes are resolved lazily, when a font is first matched; asking
    // the font database which families exist would load all of it at start-up.
    const QStringList candidates{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                 QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), candidates);
    QFont::insertSubstitutions(QStringLiteral("Arial"), candidates);
}

QFont FormFont(int pixelHeight, bool bold)
{
    // Asking for the substitutes directly spares the font system a failed
    // search for the designed family each time a new size or weight is drawn.
    QFont font;
    font.setFamilies(QFont::substitutes(QStringLiteral("MS Sans Serif")) << QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelHeight);
    // The substitutes carry every Cyrillic and Latin glyph the windows show, so
    // the font system need not build per-script fallback lists at start-up.
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setBold(bold);
    return font;
}

}  // namespace dw
