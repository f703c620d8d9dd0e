// SPDX-License-Identifier: MIT
#include "app/app_icon.h"

#include "design/designed_palette.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <string_view>
#include <vector>

namespace dw {

namespace {

// The design's colours: the named colours of the program's palette, and one
// shade of the pipe's red for the light along its top.
const QColor& kLineBlue = colour::Blue;
const QColor& kHookRed = colour::Red;
const QColor& kPipeRed = colour::Maroon;
const QColor kPipeLight(176, 24, 24);
const QColor kPipeBore(64, 0, 0);
const QColor& kPipeYellow = colour::Yellow;

// One shape of the drawing, in the units of a 32 x 32 canvas.
struct Shape {
    QPainterPath Path;
    QColor Fill;    // invalid: not filled
    QColor Stroke;  // invalid: not stroked
    qreal Width = 0;
};

// The drawing behind the larger images and the SVG. The line comes down
// from the top edge into the hook's eye; the hook's bowl reaches the bottom
// edge; the pipe rests in the bowl in front of the hook and runs from edge
// to edge, so the picture fills its square whichever way it is looked at.
const std::vector<Shape>& Drawing()
{
    static const std::vector<Shape> shapes = [] {
        std::vector<Shape> s;
        QPainterPath line;
        line.addRect(QRectF(14.75, 0, 2.5, 6));
        s.push_back({line, kLineBlue, QColor(), 0});

        // The eye, a ring the line is made fast to.
        QPainterPath eye;
        eye.addEllipse(QPointF(16, 8.5), 3.25, 3.25);
        s.push_back({eye, QColor(), kHookRed, 2.5});

        // The hook: the shank from the eye out to the right, down into the
        // bowl round under the pipe and up the left side to the point, which
        // stands clear above the pipe so the hook reads as a hook.
        QPainterPath hook;
        hook.moveTo(17.5, 11.5);
        hook.cubicTo(22, 13, 24, 16, 24, 20.5);
        hook.lineTo(24, 22.25);
        hook.arcTo(QRectF(8, 14.25, 16, 16), 0, -180);
        hook.lineTo(8, 14.5);
        s.push_back({hook, QColor(), kHookRed, 3.25});
        QPainterPath point;
        point.moveTo(6.375, 14.75);
        point.lineTo(8.75, 9.75);
        point.lineTo(9.625, 14.75);
        point.closeSubpath();
        s.push_back({point, kHookRed, QColor(), 0});

        // The pipe, lying in the bowl in front of the hook, with a bore at
        // its near end and light along its top so it reads as round.
        QPainterPath pipe;
        pipe.addRect(QRectF(1, 18.5, 28.75, 8.5));
        s.push_back({pipe, kPipeRed, kPipeYellow, 1.5});
        QPainterPath light;
        light.addRect(QRectF(2, 20.25, 26.5, 1.75));
        s.push_back({light, kPipeLight, QColor(), 0});
        QPainterPath end;
        end.addEllipse(QPointF(29.75, 22.75), 1.5, 4.25);
        s.push_back({end, kPipeBore, kPipeYellow, 1.25});
        return s;
    }();
    return shapes;
}

// The small sizes are drawn pixel by pixel for their own grids: a drawing
// scaled down to 16 pixels blurs its edges into half tones, while these keep
// the line, the hook, the pipe and its outline one clean pixel apart.
// '.' is clear; the other letters are the colours below.
// One string a row keeps the pictures visible in the source.
// clang-format off
constexpr std::array<std::string_view, 16> kIcon16{
    ".......BB.......",
    ".......BB.......",
    "......RRRR......",
    "......R..R......",
    "......RRRRR.....",
    "...R.....RRR....",
    "...RR.....RRR...",
    "...RR......RR...",
    "...RR......RR...",
    ".YYYYYYYYYYYYYY.",
    "YLLLLLLLLLLLLYDY",
    "YPPPPPPPPPPPPYDY",
    "YPPPPPPPPPPPPYDY",
    ".YYYYYYYYYYYYYY.",
    "...RRRRRRRRRR...",
    ".....RRRRRR.....",
};

constexpr std::array<std::string_view, 22> kIcon22{
    "..........BB..........",
    "..........BB..........",
    "..........BB..........",
    ".........RRRR.........",
    "........RR..RR........",
    "........RR..RR........",
    ".........RRRRR........",
    ".....R.....RRR........",
    ".....RR.....RRR.......",
    "....RRR......RRR......",
    "....RRR.......RRR.....",
    "....RRR.......RRR.....",
    ".YYYYYYYYYYYYYYYYYYYY.",
    "YPPPPPPPPPPPPPPPPPYDDY",
    "YLLLLLLLLLLLLLLLLLYDDY",
    "YPPPPPPPPPPPPPPPPPYDDY",
    "YPPPPPPPPPPPPPPPPPYDDY",
    "YPPPPPPPPPPPPPPPPPYDDY",
    ".YYYYYYYYYYYYYYYYYYYY.",
    "....RRRRRRRRRRRRRR....",
    "......RRRRRRRRRR......",
    "........RRRRRR........",
};

constexpr std::array<std::string_view, 24> kIcon24{
    "...........BB...........",
    "...........BB...........",
    "...........BB...........",
    "..........RRRR..........",
    ".........RR..RR.........",
    ".........RR..RR.........",
    "..........RRRRR.........",
    "............RRR.........",
    "......R......RRR........",
    "......RR......RRR.......",
    ".....RRR.......RRR......",
    ".....RRR........RRR.....",
    ".....RRR........RRR.....",
    ".YYYYYYYYYYYYYYYYYYYYYY.",
    "YPPPPPPPPPPPPPPPPPPPYDDY",
    "YLLLLLLLLLLLLLLLLLLLYDDY",
    "YPPPPPPPPPPPPPPPPPPPYDDY",
    "YPPPPPPPPPPPPPPPPPPPYDDY",
    "YPPPPPPPPPPPPPPPPPPPYDDY",
    "YPPPPPPPPPPPPPPPPPPPYDDY",
    ".YYYYYYYYYYYYYYYYYYYYYY.",
    ".....RRRRRRRRRRRRRR.....",
    ".......RRRRRRRRRR.......",
    ".........RRRRRR.........",
};

constexpr std::array<std::string_view, 32> kIcon32{
    "...............BB...............",
    "...............BB...............",
    "...............BB...............",
    "...............BB...............",
    "..............RRRR..............",
    ".............RRRRRR.............",
    "............RRR..RRR............",
    "............RR....RR............",
    "............RR....RR............",
    "............RRR..RRR............",
    "........R....RRRRRRR............",
    "........RR....RRRRRRR...........",
    ".......RRR.......RRRRR..........",
    "......RRRR.........RRRR.........",
    "......RRRR..........RRRR........",
    "......RRRR...........RRRR.......",
    "......RRRR............RRRR......",
    "......RRRR............RRRR......",
    ".YYYYYYYYYYYYYYYYYYYYYYYYYYYYYY.",
    "YPPPPPPPPPPPPPPPPPPPPPPPPPPPYDDY",
    "YLLLLLLLLLLLLLLLLLLLLLLLLLLLYDDY",
    "YLLLLLLLLLLLLLLLLLLLLLLLLLLLYDDY",
    "YPPPPPPPPPPPPPPPPPPPPPPPPPPPYDDY",
    "YPPPPPPPPPPPPPPPPPPPPPPPPPPPYDDY",
    "YPPPPPPPPPPPPPPPPPPPPPPPPPPPYDDY",
    "YPPPPPPPPPPPPPPPPPPPPPPPPPPPYDDY",
    "YPPPPPPPPPPPPPPPPPPPPPPPPPPPYDDY",
    ".YYYYYYYYYYYYYYYYYYYYYYYYYYYYYY.",
    ".......RRRRRRRRRRRRRRRRRR.......",
    "........RRRRRRRRRRRRRRRR........",
    "..........RRRRRRRRRRRR..........",
    "............RRRRRRRR............",
};
// clang-format on

QColor GridColour(char cell)
{
    switch (cell) {
        case 'B':
            return kLineBlue;
        case 'R':
            return kHookRed;
        case 'P':
            return kPipeRed;
        case 'L':
            return kPipeLight;
        case 'D':
            return kPipeBore;
        case 'Y':
            return kPipeYellow;
        default:
            return Qt::transparent;
    }
}

template <std::size_t N>
QImage GridImage(const std::array<std::string_view, N>& rows)
{
    const int size = static_cast<int>(N);
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        const std::string_view row = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < size; ++x) {
            image.setPixelColor(x, y,
                                GridColour(x < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(x)] : '.'));
        }
    }
    return image;
}

QString SvgColour(const QColor& colour)
{
    return colour.isValid() ? colour.name(QColor::HexRgb) : QStringLiteral("none");
}

QString SvgNumber(qreal value)
{
    return QString::number(value, 'g', 6);
}

// A path as SVG path data; arcs are already cubic curves in a painter path.
QString SvgPathData(const QPainterPath& path)
{
    QString data;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QString point = SvgNumber(e.x) + QLatin1Char(' ') + SvgNumber(e.y);
        switch (e.type) {
            case QPainterPath::MoveToElement:
                data += QStringLiteral("M") + point;
                break;
            case QPainterPath::LineToElement:
                data += QStringLiteral("L") + point;
                break;
            case QPainterPath::CurveToElement:
                data += QStringLiteral("C") + point;
                break;
            case QPainterPath::CurveToDataElement:
                data += QLatin1Char(' ') + point;
                break;
        }
    }
    return data;
}

}  // namespace

QImage TunedIconImage(int size)
{
    switch (size) {
        case 16:
            return GridImage(kIcon16);
        case 22:
            return GridImage(kIcon22);
        case 24:
            return GridImage(kIcon24);
        case 32:
            return GridImage(kIcon32);
        default:
            return {};
    }
}

QImage DrawIconDrawing(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    for (const Shape& shape : Drawing()) {
        painter.setBrush(shape.Fill.isValid() ? QBrush(shape.Fill) : QBrush(Qt::NoBrush));
        painter.setPen(shape.Stroke.isValid()
                           ? QPen(shape.Stroke, shape.Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                           : QPen(Qt::NoPen));
        painter.drawPath(shape.Path);
    }
    return image;
}

QPixmap DrawProgramIcon(int size)
{
    const QImage tuned = TunedIconImage(size);
    return QPixmap::fromImage(tuned.isNull() ? DrawIconDrawing(size) : tuned);
}

QString IconSvg()
{
    QString svg = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!-- SPDX-License-Identifier: MIT -->\n"
        "<!-- The program's icon, written by the program from its own drawing. -->\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 32 32\">\n");
    for (const Shape& shape : Drawing()) {
        svg += QStringLiteral("  <path d=\"%1\" fill=\"%2\" stroke=\"%3\"")
                   .arg(SvgPathData(shape.Path), SvgColour(shape.Fill), SvgColour(shape.Stroke));
        if (shape.Stroke.isValid()) {
            svg += QStringLiteral(" stroke-width=\"%1\" stroke-linecap=\"round\" stroke-linejoin=\"round\"")
                       .arg(SvgNumber(shape.Width));
        }
        svg += QStringLiteral("/>\n");
    }
    svg += QStringLiteral("</svg>\n");
    return svg;
}

QIcon ProgramIcon()
{
    QIcon icon;
    // The tuned sizes cost nothing to make; the desktop scales for the rest.
    for (int size : {16, 22, 24, 32}) icon.addPixmap(DrawProgramIcon(size));
    icon.addPixmap(DrawProgramIcon(48));
    return icon;
}

}  // namespace dw
