// SPDX-License-Identifier: MIT
#include "report/preview/zoom_box.h"

#include "common/error_display.h"
#include "report/preview/preview.h"
#include "report/preview/preview_glyphs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QValidator>

namespace dw {

namespace {

constexpr int kButtonSize = 25;
constexpr int kBoxWidth = 76;
constexpr int kGap = 2;

// Digits with an optional per cent sign, blanks around either: what a
// person types for a zoom, and nothing the preview could misread. Looked at
// character by character; a pattern compiled for every preview window
// would cost more than the rest of the zoom group.
struct ZoomTextParts {
    bool valid = false;
    int digits = 0;
    int value = 0;
};

ZoomTextParts SplitZoomText(const QString& text)
{
    constexpr int kMaxDigits = 5;
    ZoomTextParts parts;
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto skipBlanks = [&] {
        while (i < n && text[i].isSpace()) {
            ++i;
        }
    };
    skipBlanks();
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        if (++parts.digits > kMaxDigits) {
            return parts;
        }
        parts.value = parts.value * 10 + (text[i].unicode() - u'0');
        ++i;
    }
    skipBlanks();
    if (i < n && text[i] == u'%') {
        ++i;
    }
    skipBlanks();
    parts.valid = i == n;
    return parts;
}

// Every keystroke stays in the box as typed: dropping the ones that are not
// digits would turn "1.5" into 15 % and "1e308" into 1308 %, a zoom nobody
// asked for. What is not a zoom is refused as a whole on Enter, with the
// tooltip that says what a zoom is.
class ZoomTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        const ZoomTextParts parts = SplitZoomText(input);
        return parts.valid && parts.digits > 0 ? Acceptable : Intermediate;
    }
};

// Longer than any zoom with its sign and blanks; a paste beyond it is cut.
constexpr int kMaxZoomText = 16;

}  // namespace

TVpZoomBox::TVpZoomBox(TVpPreview& preview, QWidget* parent) : QWidget(parent), m_preview(preview)
{
    setObjectName(QStringLiteral("ZoomBox"));
    const auto button = [this](const char* name, const QString& hint, TVpGlyph glyph) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setAccessibleName(hint);
        b->setIcon(GlyphIcon(glyph));
        b->setIconSize(QSize(kGlyphSize, kGlyphSize));
        b->setAutoRepeat(true);
        // Like the other speed buttons: the page keeps the keyboard.
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    m_zoomOut = button("ZoomOut", tr("Zoom out (Ctrl+-)"), TVpGlyph::ZoomOut);
    m_box = new QLineEdit(this);
    m_box->setObjectName(QStringLiteral("ZoomPercent"));
    m_box->setAccessibleName(tr("Zoom"));
    m_box->setToolTip(tr("Zoom in percent: type one from %1 to %2 and press Enter")
                          .arg(TVpPreview::kMinZoom)
                          .arg(TVpPreview::kMaxZoom));
    m_box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Reached by Tab as well, so the zoom can be typed without a mouse.
    m_box->setFocusPolicy(Qt::StrongFocus);
    m_box->setValidator(new ZoomTextValidator(m_box));
    m_box->setMaxLength(kMaxZoomText);
    m_zoomIn = button("ZoomIn", tr("Zoom in (Ctrl++)"), TVpGlyph::ZoomIn);

    m_zoomOut->setGeometry(0, 0, kButtonSize, kButtonSize);
    m_box->setGeometry(kButtonSize + kGap, 0, kBoxWidth, kButtonSize);
    m_zoomIn->setGeometry(kButtonSize + kGap + kBoxWidth + kGap, 0, kButtonSize, kButtonSize);
    resize(2 * kButtonSize + kBoxWidth + 2 * kGap, kButtonSize);

    connect(m_zoomOut, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { m_preview.ZoomOut(); }); });
    connect(m_zoomIn, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { m_preview.ZoomIn(); }); });
    connect(&m_preview, &TVpPreview::ZoomChanged, this, &TVpZoomBox::ShowZoom);
    m_box->installEventFilter(this);
    ShowZoom();
}

QString TVpZoomBox::ZoomText(int zoom)
{
    return tr("%1%").arg(zoom);
}

std::optional<int> TVpZoomBox::ParseZoomText(const QString& text)
{
    const ZoomTextParts parts = SplitZoomText(text);
    if (!parts.valid || parts.digits == 0) {
        return std::nullopt;
    }
    return parts.value;
}

void TVpZoomBox::ShowZoom()
{
    m_box->setText(ZoomText(m_preview.Zoom()));
}

void TVpZoomBox::ApplyTyped()
{
    // Enter on what the box shows itself changes nothing.
    if (!m_box->isModified()) {
        return;
    }
    const std::optional<int> zoom = ParseZoomText(m_box->text());
    if (!zoom || *zoom < TVpPreview::kMinZoom || *zoom > TVpPreview::kMaxZoom) {
        QApplication::beep();
        QToolTip::showText(m_box->mapToGlobal(QPoint(0, m_box->height())),
                           tr("The zoom must be a whole number from %1 to %2 per cent.")
                               .arg(TVpPreview::kMinZoom)
                               .arg(TVpPreview::kMaxZoom),
                           m_box);
        ShowZoom();
        m_box->selectAll();
        return;
    }
    m_preview.ZoomKeepingCentre(*zoom);
    ShowZoom();
    // Back to the page, so that the page keys and the wheel act on it.
    m_preview.setFocus();
}

bool TVpZoomBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box) {
        if (event->type() == QEvent::FocusIn) {
            // A click into the box is for typing a new zoom over the old one;
            // selected after the click has placed the cursor.
            QTimer::singleShot(0, m_box, &QLineEdit::selectAll);
        } else if (event->type() == QEvent::FocusOut) {
            // Typing left unconfirmed is dropped; the box keeps telling the truth.
            ShowZoom();
        } else if (event->type() == QEvent::KeyPress) {
            switch (static_cast<QKeyEvent*>(event)->key()) {
                // Enter on text that is not a zoom too (the line edit itself
                // reports only acceptable text), so that it is refused aloud.
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    RunReportingErrors([this] { ApplyTyped(); });
                    return true;
                case Qt::Key_Escape:
                    ShowZoom();
                    m_preview.setFocus();
                    return true;
                case Qt::Key_Up:
                    RunReportingErrors([this] { m_preview.ZoomIn(); });
                    m_box->selectAll();
                    return true;
                case Qt::Key_Down:
                    RunReportingErrors([this] { m_preview.ZoomOut(); });
                    m_box->selectAll();
                    return true;
                default:
                    break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace dw
