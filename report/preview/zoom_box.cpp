#include "report/preview/zoom_box.h"

#include "common/error_display.h"
#include "report/preview/preview.h"
#include "report/preview/preview_glyphs.h"
#include "report/preview/zoom_ladder.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QToolTip>

namespace dw {

namespace {

constexpr int kButtonSize = 25;
constexpr int kBoxWidth = 76;
constexpr int kGap = 2;

// Digits with an optional per cent sign, blanks around either: what a
// person types for a zoom, and nothing the preview could misread.
const QRegularExpression& ZoomPattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*(\d{1,5})\s*%?\s*$)"));
    return pattern;
}

}  // namespace

TVpZoomBox::TVpZoomBox(TVpPreview& preview, QWidget* parent) : QWidget(parent), m_preview(preview)
{
    setObjectName(QStringLiteral("ZoomBox"));
    const auto button = [this](const char* name, const QString& hint, TVpGlyph glyph) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setIcon(GlyphIcon(glyph));
        b->setIconSize(QSize(kGlyphSize, kGlyphSize));
        b->setAutoRepeat(true);
        // Like the other speed buttons: the page keeps the keyboard.
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    m_zoomOut = button("ZoomOut", tr("Zoom out (Ctrl+-)"), TVpGlyph::ZoomOut);
    m_box = new QComboBox(this);
    m_box->setObjectName(QStringLiteral("ZoomPercent"));
    m_box->setToolTip(tr("Zoom in percent: type one from %1 to %2 and press Enter")
                          .arg(TVpPreview::kMinZoom)
                          .arg(TVpPreview::kMaxZoom));
    m_box->setEditable(true);
    m_box->setInsertPolicy(QComboBox::NoInsert);
    // A "1" completed to "10%" as it is typed would zoom to what nobody typed.
    m_box->setCompleter(nullptr);
    m_box->setFocusPolicy(Qt::ClickFocus);
    m_box->lineEdit()->setValidator(new QRegularExpressionValidator(ZoomPattern(), m_box));
    for (const int step : ZoomLadder()) {
        m_box->addItem(ZoomText(step), step);
    }
    m_zoomIn = button("ZoomIn", tr("Zoom in (Ctrl++)"), TVpGlyph::ZoomIn);

    m_zoomOut->setGeometry(0, 0, kButtonSize, kButtonSize);
    m_box->setGeometry(kButtonSize + kGap, 0, kBoxWidth, kButtonSize);
    m_zoomIn->setGeometry(kButtonSize + kGap + kBoxWidth + kGap, 0, kButtonSize, kButtonSize);
    resize(2 * kButtonSize + kBoxWidth + 2 * kGap, kButtonSize);

    connect(m_zoomOut, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { m_preview.ZoomOut(); }); });
    connect(m_zoomIn, &QToolButton::clicked, this, [this] { RunReportingErrors([this] { m_preview.ZoomIn(); }); });
    connect(m_box->lineEdit(), &QLineEdit::returnPressed, this, [this] { RunReportingErrors([this] { ApplyTyped(); }); });
    connect(m_box, &QComboBox::activated, this, [this](int index) {
        RunReportingErrors([this, index] { m_preview.ZoomKeepingCentre(m_box->itemData(index).toInt()); });
        ShowZoom();
    });
    connect(&m_preview, &TVpPreview::ZoomChanged, this, &TVpZoomBox::ShowZoom);
    m_box->installEventFilter(this);
    m_box->lineEdit()->installEventFilter(this);
    ShowZoom();
}

QString TVpZoomBox::ZoomText(int zoom)
{
    return tr("%1%").arg(zoom);
}

std::optional<int> TVpZoomBox::ParseZoomText(const QString& text)
{
    const QRegularExpressionMatch match = ZoomPattern().match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    return match.captured(1).toInt();
}

void TVpZoomBox::ShowZoom()
{
    const QString text = ZoomText(m_preview.Zoom());
    // The list shows its entry for a zoom on the ladder, none for another.
    m_box->setCurrentIndex(m_box->findText(text));
    m_box->setEditText(text);
}

void TVpZoomBox::ApplyTyped()
{
    // Enter may arrive twice, through the box and its line; what the box
    // shows itself was not typed.
    if (!m_box->lineEdit()->isModified()) {
        return;
    }
    const std::optional<int> zoom = ParseZoomText(m_box->currentText());
    if (!zoom || *zoom < TVpPreview::kMinZoom || *zoom > TVpPreview::kMaxZoom) {
        QApplication::beep();
        QToolTip::showText(m_box->mapToGlobal(QPoint(0, m_box->height())),
                           tr("The zoom must be a whole number from %1 to %2 per cent.")
                               .arg(TVpPreview::kMinZoom)
                               .arg(TVpPreview::kMaxZoom),
                           m_box);
        ShowZoom();
        m_box->lineEdit()->selectAll();
        return;
    }
    m_preview.ZoomKeepingCentre(*zoom);
    ShowZoom();
    // Back to the page, so that the page keys and the wheel act on it.
    m_preview.setFocus();
}

bool TVpZoomBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box || watched == m_box->lineEdit()) {
        if (event->type() == QEvent::FocusOut && !m_box->hasFocus() && !m_box->lineEdit()->hasFocus()) {
            // Typing left unconfirmed is dropped; the box keeps telling the truth.
            ShowZoom();
        } else if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            ShowZoom();
            m_preview.setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace dw
