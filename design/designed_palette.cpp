// SPDX-License-Identifier: MIT
#include "design/designed_palette.h"

namespace dw {

QPalette DesignedPalette()
{
    const QColor face(0xef, 0xef, 0xef);
    QPalette palette(Qt::black, face, Qt::white, QColor(0x9f, 0x9f, 0x9f), QColor(0xb8, 0xb8, 0xb8), Qt::black,
                     Qt::white, Qt::white, face);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Midlight, QColor(0xca, 0xca, 0xca));
        palette.setColor(group, QPalette::Shadow, QColor(0x76, 0x76, 0x76));
        palette.setColor(group, QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::Link, Qt::blue);
        palette.setColor(group, QPalette::LinkVisited, Qt::magenta);
        palette.setColor(group, QPalette::AlternateBase, QColor(0xf7, 0xf7, 0xf7));
        palette.setColor(group, QPalette::ToolTipBase, QColor(0xff, 0xff, 0xdc));
        palette.setColor(group, QPalette::ToolTipText, Qt::black);
        palette.setColor(group, QPalette::PlaceholderText, QColor(0, 0, 0, 0x80));
    }
    const QColor greyed(0xbe, 0xbe, 0xbe);
    for (const auto role : {QPalette::WindowText, QPalette::Dark, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, greyed);
    palette.setColor(QPalette::Disabled, QPalette::Base, face);
    palette.setColor(QPalette::Disabled, QPalette::Shadow, QColor(0xb1, 0xb1, 0xb1));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x91, 0x91, 0x91));
    return palette;
}

}  // namespace dw
