// SPDX-License-Identifier: MIT
#include "decor/window_frame.h"

#include "design/designed_palette.h"

#include "window/window_hook.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QWhatsThis>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <bit>
#include <cmath>

namespace dw {

// The frame's painting surface and mouse target: a child of the window that
// covers it whole and lies under the client area, so only the frame's own
// pixels and clicks reach it.
class TNonClientArea : public QWidget {
public:
    TNonClientArea(TWindowFrame* frame, QWidget* window) : QWidget(window), m_frame(frame)
    {
        setObjectName(QStringLiteral("NonClientArea"));
        setFocusPolicy(Qt::NoFocus);
        setMouseTracking(true);
        // A right click belongs to the frame's own non-client messages.
        setContextMenuPolicy(Qt::PreventContextMenu);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        m_frame->PaintNonClient(painter, event->region());
    }
    void mousePressEvent(QMouseEvent* event) override { m_frame->MousePress(event); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { m_frame->MouseDoubleClick(event); }
    void mouseMoveEvent(QMouseEvent* event) override { m_frame->MouseMove(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { m_frame->MouseRelease(event); }

private:
    TWindowFrame* m_frame;
};

namespace {

std::optional<TCaptionColours>& ColourOverride()
{
    static std::optional<TCaptionColours> colours;
    return colours;
}

bool IsToolWindow(TFormBorderStyle style)
{
    return style == TFormBorderStyle::bsToolWindow || style == TFormBorderStyle::bsSizeToolWin;
}

bool IsSizeable(TFormBorderStyle style)
{
    return style == TFormBorderStyle::bsSizeable || style == TFormBorderStyle::bsSizeToolWin;
}

QColor Grey(int level)
{
    return QColor(level, level, level);
}

Qt::Edges EdgesOf(THitTest hit)
{
    switch (hit) {
        case THitTest::Left:
            return Qt::LeftEdge;
        case THitTest::Right:
            return Qt::RightEdge;
        case THitTest::Top:
            return Qt::TopEdge;
        case THitTest::Bottom:
            return Qt::BottomEdge;
        case THitTest::TopLeft:
            return Qt::TopEdge | Qt::LeftEdge;
        case THitTest::TopRight:
            return Qt::TopEdge | Qt::RightEdge;
        case THitTest::BottomLeft:
            return Qt::BottomEdge | Qt::LeftEdge;
        case THitTest::BottomRight:
            return Qt::BottomEdge | Qt::RightEdge;
        default:
            return {};
    }
}

bool IsButton(THitTest hit)
{
    return hit == THitTest::MinButton || hit == THitTest::MaxButton || hit == THitTest::CloseButton ||
           hit == THitTest::HelpButton;
}

Qt::CursorShape CursorFor(THitTest hit)
{
    switch (hit) {
        case THitTest::Left:
        case THitTest::Right:
            return Qt::SizeHorCursor;
        case THitTest::Top:
        case THitTest::Bottom:
            return Qt::SizeVerCursor;
        case THitTest::TopLeft:
        case THitTest::BottomRight:
            return Qt::SizeFDiagCursor;
        case THitTest::TopRight:
        case THitTest::BottomLeft:
            return Qt::SizeBDiagCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace

TFrameMetrics FrameMetrics(TFormBorderStyle style)
{
    switch (style) {
        case TFormBorderStyle::bsNone:
            return {0, 0, 0, 0, 16};
        case TFormBorderStyle::bsSingle:
        case TFormBorderStyle::bsDialog:
            return {3, 3, 19, 18, 16};
        case TFormBorderStyle::bsSizeable:
            return {4, 4, 19, 18, 16};
        case TFormBorderStyle::bsToolWindow:
            return {3, 3, 16, 15, 16};
        case TFormBorderStyle::bsSizeToolWin:
            return {4, 4, 16, 15, 16};
    }
    return {};
}

TCaptionButtons EffectiveCaptionButtons(TFormBorderStyle style, TBorderIcons icons)
{
    TBorderIcons effective = icons & (biSystemMenu | biMinimize | biMaximize | biHelp);
    if (style == TFormBorderStyle::bsDialog) {
        effective &= biSystemMenu | biHelp;
    } else if (IsToolWindow(style)) {
        effective &= biSystemMenu;
    } else {
        if (!(effective & biSystemMenu))
            effective &= ~static_cast<TBorderIcons>(biMinimize | biMaximize);
        if (effective & (biMinimize | biMaximize))
            effective &= ~static_cast<TBorderIcons>(biHelp);
    }
    int count = std::popcount(effective);
    if (static_cast<bool>(effective & biMinimize) != static_cast<bool>(effective & biMaximize))
        ++count;  // the missing one of the pair is shown disabled
    return {effective, count};
}

int ScaledMeasure(int pixels, int percent)
{
    return percent == 100 ? pixels : static_cast<int>(std::lround(static_cast<double>(pixels) * percent / 100.0));
}

TFrameMetrics FrameMetrics(TFormBorderStyle style, int percent)
{
    TFrameMetrics metrics = FrameMetrics(style);
    metrics.FrameWidth = ScaledMeasure(metrics.FrameWidth, percent);
    metrics.FrameHeight = ScaledMeasure(metrics.FrameHeight, percent);
    metrics.CaptionHeight = ScaledMeasure(metrics.CaptionHeight, percent);
    metrics.ButtonWidth = ScaledMeasure(metrics.ButtonWidth, percent);
    metrics.SmallIconSize = ScaledMeasure(metrics.SmallIconSize, percent);
    return metrics;
}

QRect CaptionRect(QSize windowSize, TFormBorderStyle style, TBorderIcons icons, int percent)
{
    // The caption metrics apply even to a frame without a caption, which
    // then has nothing painted in it.
    const bool tool = IsToolWindow(style);
    const int captionHeight = ScaledMeasure(tool ? 19 - 3 : 19, percent);
    const int buttonWidth = ScaledMeasure(tool ? 15 : 18, percent);
    const TFrameMetrics metrics = FrameMetrics(style, percent);
    QRect rect(metrics.FrameWidth, metrics.FrameHeight, windowSize.width() - 2 * metrics.FrameWidth, captionHeight - 1);
    rect.setWidth(std::max(0, rect.width() - EffectiveCaptionButtons(style, icons).Count * buttonWidth));
    return rect;
}

TCaptionColours DesktopCaptionColours()
{
    if (ColourOverride())
        return *ColourOverride();
    const QPalette palette = DesignedPalette();
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const int weight = qGray(highlight.rgb());
    const int windowWeight = qGray(palette.color(QPalette::Active, QPalette::Window).rgb());
    TCaptionColours colours;
    colours.GradientCaptions = true;
    colours.GradientActiveCaption = highlight;
    colours.ActiveCaption = highlight.darker(220);
    colours.GradientInactiveCaption = Grey((weight + windowWeight) / 2);
    colours.InactiveCaption = Grey(weight);
    colours.CaptionText = palette.color(QPalette::Active, QPalette::HighlightedText);
    colours.InactiveCaptionText = Grey(std::max(windowWeight, 224));
    colours.WindowText = palette.color(QPalette::Active, QPalette::WindowText);
    return colours;
}

void SetDesktopCaptionColours(std::optional<TCaptionColours> colours)
{
    ColourOverride() = std::move(colours);
}

TWindowFrame::TWindowFrame(QWidget* window, QWidget* clientArea)
    : QObject(window), m_window(window), m_clientArea(clientArea)
{
    setObjectName(QStringLiteral("WindowFrame"));
    const QSize clientSize = clientArea ? clientArea->size() : window->size();
    const QPoint position = window->pos();
    const bool wasVisible = window->isVisible();
    m_ownMinimum = window->minimumSize();
    m_ownMaximum = window->maximumSize();

    // The desktop draws no frame; its window manager still gets the buttons
    // as the functions the window offers.
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    m_nonClient = new TNonClientArea(this, window);
    m_nonClient->lower();

    m_hook = new TWindowHook(this);
    m_hook->SetWindow(window);
    m_hook->SetAfterMessage([this](TWindowMessage& message) { OnWindowEvent(message.Event); });
    m_hook->Attach();

    const TFrameMetrics metrics = Metrics();
    window->setMinimumSize(0, 0);
    window->setGeometry(position.x(), position.y(), clientSize.width() + 2 * metrics.FrameWidth,
                        clientSize.height() + 2 * metrics.FrameHeight + metrics.CaptionHeight);
    m_drawnActive = window->isActiveWindow();
    ConnectNativeWindow();
    UpdateSizeLimits();
    Layout();
    // Alt+Space opens the window menu under the caption's icon, as on a
    // window the desktop frames: the keyboard's way to what the icon offers.
    auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), window);
    menuKey->setObjectName(QStringLiteral("WindowMenuKey"));
    connect(menuKey, &QShortcut::activated, this, [this] {
        if (!(BorderIcons() & biSystemMenu))
            return;
        const QRect bar = CaptionBarRect();
        ShowSystemMenu(m_window->mapToGlobal(QPoint(bar.left(), bar.bottom() + 1)));
    });
    if (wasVisible)
        window->show();
}

TWindowFrame::~TWindowFrame()
{
    // Handlers of a frame half torn down must not run.
    if (m_hook)
        m_hook->Detach();
    delete m_nonClient.data();
}

TWindowFrame* TWindowFrame::Of(const QWidget* window)
{
    return window ? window->findChild<TWindowFrame*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QWidget* TWindowFrame::NonClientWidget() const
{
    return m_nonClient;
}

QMenu* TWindowFrame::SystemMenu() const
{
    return m_systemMenu;
}

void TWindowFrame::SetScale(int percent)
{
    if (percent == m_scale || !m_window)
        return;
    const QRect client = ClientRect();
    m_scale = percent;
    const TFrameMetrics metrics = Metrics();
    m_window->resize(client.width() + 2 * metrics.FrameWidth,
                     client.height() + 2 * metrics.FrameHeight + metrics.CaptionHeight);
    Layout();
    RedrawNonClient();
}

void TWindowFrame::SetBorderIcons(TBorderIcons value)
{
    m_borderIcons = value;
    RedrawNonClient();
}

QRect TWindowFrame::ClientRect() const
{
    const TFrameMetrics metrics = Metrics();
    const QSize size = m_window->size();
    return QRect(metrics.FrameWidth, metrics.FrameHeight + metrics.CaptionHeight,
                 std::max(0, size.width() - 2 * metrics.FrameWidth),
                 std::max(0, size.height() - 2 * metrics.FrameHeight - metrics.CaptionHeight));
}

QRect TWindowFrame::CaptionBarRect() const
{
    const TFrameMetrics metrics = Metrics();
    if (metrics.CaptionHeight == 0)
        return {};
    return QRect(metrics.FrameWidth, metrics.FrameHeight, std::max(0, m_window->width() - 2 * metrics.FrameWidth),
                 metrics.CaptionHeight - 1);
}

QRect TWindowFrame::IconRect() const
{
    const QRect bar = CaptionBarRect();
    const bool framed = m_borderStyle == TFormBorderStyle::bsSingle || m_borderStyle == TFormBorderStyle::bsSizeable;
    if (bar.isEmpty() || !framed || !(EffectiveCaptionButtons(m_borderStyle, m_borderIcons).Icons & biSystemMenu))
        return {};
    const int size = Metrics().SmallIconSize;
    const int height = bar.height();
    return QRect(bar.left() + 1 + (height - size) / 2, bar.top() + (height - size) / 2, size, size);
}

QRect TWindowFrame::ButtonRect(THitTest button) const
{
    const QRect bar = CaptionBarRect();
    if (bar.isEmpty())
        return {};
    const TBorderIcons icons = EffectiveCaptionButtons(m_borderStyle, m_borderIcons).Icons;
    const int faceWidth = Metrics().ButtonWidth - 2;
    const int faceHeight = bar.height() - 4;
    const int top = bar.top() + 2;
    // Close stands apart at the right; the pair of minimise and maximise, or
    // help, stands 2 pixels to its left.
    int right = bar.left() + bar.width() - 2;
    auto take = [&](int gap) {
        const QRect face(right - faceWidth, top, faceWidth, faceHeight);
        right -= faceWidth + gap;
        return face;
    };
    QRect close, maximize, minimize, help;
    if (icons & biSystemMenu)
        close = take(2);
    if (icons & (biMinimize | biMaximize)) {
        maximize = take(0);
        minimize = take(0);
    } else if (icons & biHelp) {
        help = take(0);
    }
    switch (button) {
        case THitTest::CloseButton:
            return close;
        case THitTest::MaxButton:
            return maximize;
        case THitTest::MinButton:
            return minimize;
        case THitTest::HelpButton:
            return help;
        default:
            return {};
    }
}

bool TWindowFrame::ButtonEnabled(THitTest button) const
{
    const TBorderIcons icons = EffectiveCaptionButtons(m_borderStyle, m_borderIcons).Icons;
    switch (button) {
        case THitTest::MinButton:
            return icons & biMinimize;
        case THitTest::MaxButton:
            return icons & biMaximize;
        case THitTest::CloseButton:
            return icons & biSystemMenu;
        case THitTest::HelpButton:
            return icons & biHelp;
        default:
            return false;
    }
}

THitTest TWindowFrame::DefaultHitTest(QPoint pos) const
{
    const QRect window(QPoint(0, 0), m_window->size());
    if (!window.contains(pos))
        return THitTest::Nowhere;
    if (ClientRect().contains(pos))
        return THitTest::Client;
    const QRect bar = CaptionBarRect();
    if (bar.contains(pos)) {
        for (THitTest button : {THitTest::CloseButton, THitTest::MaxButton, THitTest::MinButton, THitTest::HelpButton})
            if (ButtonRect(button).contains(pos))
                return button;
        if (!IconRect().isEmpty() && pos.x() < bar.left() + bar.height())
            return THitTest::SysMenu;
        return THitTest::Caption;
    }
    if (IsSizeable(m_borderStyle)) {
        const TFrameMetrics metrics = Metrics();
        // Corners reach along each edge as far as a caption button is wide.
        const int corner = metrics.ButtonWidth;
        const bool left = pos.x() < metrics.FrameWidth, right = pos.x() >= window.width() - metrics.FrameWidth;
        const bool top = pos.y() < metrics.FrameHeight, bottom = pos.y() >= window.height() - metrics.FrameHeight;
        const bool nearLeft = pos.x() < corner, nearRight = pos.x() >= window.width() - corner;
        const bool nearTop = pos.y() < corner, nearBottom = pos.y() >= window.height() - corner;
        if (top || bottom) {
            if (nearLeft)
                return top ? THitTest::TopLeft : THitTest::BottomLeft;
            if (nearRight)
                return top ? THitTest::TopRight : THitTest::BottomRight;
            return top ? THitTest::Top : THitTest::Bottom;
        }
        if (left || right) {
            if (nearTop)
                return left ? THitTest::TopLeft : THitTest::TopRight;
            if (nearBottom)
                return left ? THitTest::BottomLeft : THitTest::BottomRight;
            return left ? THitTest::Left : THitTest::Right;
        }
    }
    return THitTest::Border;
}

THitTest TWindowFrame::HitTest(QPoint pos)
{
    TNcHitTestEvent event(m_window->mapToGlobal(pos));
    event.SetDefaultProcessing(
        [this, &event] { event.SetResult(DefaultHitTest(m_window->mapFromGlobal(event.GlobalPos()))); });
    SendNonClientEvent(m_window, event);
    return event.Result();
}

TMinMaxInfo TWindowFrame::DefaultSizeLimits() const
{
    const TFrameMetrics metrics = Metrics();
    const QSize frame(2 * metrics.FrameWidth, 2 * metrics.FrameHeight);
    QScreen* screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect whole = screen ? screen->geometry() : available;
    const QRect desktop = screen ? screen->virtualGeometry() : available;

    TMinMaxInfo info;
    // A maximized window puts its sizing frame just off the work area.
    info.MaxSize = available.size() + frame;
    info.MaxPosition = available.topLeft() - whole.topLeft() - QPoint(metrics.FrameWidth, metrics.FrameHeight);
    info.MinTrackSize = metrics.CaptionHeight > 0 ? QSize(112, frame.height() + metrics.CaptionHeight) : QSize(0, 0);
    info.MaxTrackSize = desktop.size() + frame;
    // What the window asks of its own size narrows all of it.
    info.MinTrackSize = info.MinTrackSize.expandedTo(m_ownMinimum);
    info.MaxTrackSize = info.MaxTrackSize.boundedTo(m_ownMaximum);
    info.MaxSize = info.MaxSize.boundedTo(m_ownMaximum);
    return info;
}

TMinMaxInfo TWindowFrame::UpdateSizeLimits()
{
    // A size the window set for itself since the frame last applied its
    // limits becomes the window's own.
    if (m_appliedMinimum.isValid() && m_window->minimumSize() != m_appliedMinimum)
        m_ownMinimum = m_window->minimumSize();
    if (m_appliedMaximum.isValid() && m_window->maximumSize() != m_appliedMaximum)
        m_ownMaximum = m_window->maximumSize();

    TMinMaxInfoEvent event(DefaultSizeLimits());
    SendNonClientEvent(m_window, event);
    TMinMaxInfo info = event.Info();
    info.MinTrackSize = info.MinTrackSize.expandedTo(QSize(0, 0));
    info.MaxTrackSize = info.MaxTrackSize.expandedTo(info.MinTrackSize);
    info.MaxSize = info.MaxSize.expandedTo(QSize(0, 0));
    const Qt::WindowStates state = m_window->windowState();
    ApplyLimits(info, (state & Qt::WindowMaximized) && !(state & Qt::WindowMinimized));
    return info;
}

void TWindowFrame::ApplyLimits(const TMinMaxInfo& info, bool maximized)
{
    QSize minimum = info.MinTrackSize;
    QSize maximum = info.MaxTrackSize;
    // The maximized size may lie outside the tracking sizes.
    if (maximized) {
        minimum = minimum.boundedTo(info.MaxSize);
        maximum = maximum.expandedTo(info.MaxSize);
    }
    maximum = maximum.boundedTo(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    minimum = minimum.boundedTo(maximum);
    m_window->setMinimumSize(minimum);
    m_window->setMaximumSize(maximum);
    m_appliedMinimum = m_window->minimumSize();
    m_appliedMaximum = m_window->maximumSize();
}

QRect TWindowFrame::MaximizedRect(const TMinMaxInfo& info) const
{
    QScreen* screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint(0, 0);
    return QRect(origin + info.MaxPosition, info.MaxSize);
}

void TWindowFrame::RedrawNonClient()
{
    if (m_nonClient)
        m_nonClient->update();
}

void TWindowFrame::RedrawNonClient(const QRegion& region)
{
    if (m_nonClient)
        m_nonClient->update(region);
}

void TWindowFrame::Layout()
{
    if (!m_nonClient)
        return;
    m_nonClient->setGeometry(QRect(QPoint(0, 0), m_window->size()));
    m_nonClient->lower();
    if (m_clientArea)
        m_clientArea->setGeometry(ClientRect());
}

void TWindowFrame::SetDrawnActive(bool active)
{
    m_drawnActive = active;
    RedrawNonClient();
}

void TWindowFrame::OnWindowEvent(QEvent* event)
{
    const QEvent::Type type = event->type();
    switch (type) {
        case QEvent::Resize:
            Layout();
            [[fallthrough]];
        case QEvent::Move: {
            // A platform that maximizes by its own rules sends its geometry
            // after ours; the size query has the last word.
            const Qt::WindowStates state = m_window->windowState();
            if (m_maximizedApplied && (state & Qt::WindowMaximized) && !(state & Qt::WindowMinimized) &&
                m_window->geometry() != m_maximizedGeometry && m_maximizeCorrections < 8) {
                ++m_maximizeCorrections;
                SetMaximizedGeometry(false);
            }
            break;
        }
        case QEvent::Show:
            ConnectNativeWindow();
            UpdateSizeLimits();
            Layout();
            break;
        case QEvent::WinIdChange:
        case QEvent::PlatformSurface:
            ConnectNativeWindow();
            break;
        case QEvent::WindowStateChange:
            OnWindowStateChange(static_cast<QWindowStateChangeEvent*>(event));
            break;
        case QEvent::ActivationChange: {
            TNcActivateEvent activate(m_window->isActiveWindow());
            activate.SetDefaultProcessing([this, &activate] { SetDrawnActive(activate.Active()); });
            SendNonClientEvent(m_window, activate);
            break;
        }
        case QEvent::WindowTitleChange:
        case QEvent::WindowIconChange:
        case QEvent::PaletteChange:
        case QEvent::ApplicationPaletteChange:
        case QEvent::FontChange:
            RedrawNonClient();
            break;
        default:
            if (type == WindowMessage::SizeLimitsChanged) {
                if (m_maximizedApplied && !(m_window->windowState() & Qt::WindowMinimized))
                    PlaceMaximized(false);
                else
                    UpdateSizeLimits();
            }
            break;
    }
}

// The frame maximizes the window itself: the size query decides where and
// how large a maximized window is, which a platform that maximizes by its own
// rules (a window manager, the offscreen platform) would not honour. So the
// widget's state says maximized while its native window is kept normal (or
// minimized).
//
// The toolkit forgets a window's normal rectangle when its geometry is set
// outside a change of its state. The frame therefore takes a maximize over
// while the state is being changed, from the native window's state signal,
// and later corrections go to the native window directly.
void TWindowFrame::ConnectNativeWindow()
{
    QWindow* handle = m_window->windowHandle();
    if (!handle || handle == m_nativeWindow)
        return;
    m_nativeWindow = handle;
    connect(handle, &QWindow::windowStateChanged, this, [this] {
        if (m_inNativeChange)
            return;
        const Qt::WindowStates state = m_window->windowState();
        if ((state & Qt::WindowMaximized) && !(state & Qt::WindowMinimized) && !m_maximizedApplied)
            TakeOverMaximized(true);
    });
}

void TWindowFrame::OnWindowStateChange(QWindowStateChangeEvent* event)
{
    if (event->isOverride())
        return;  // the frame's own correction below
    const Qt::WindowStates state = m_window->windowState();
    const bool maximized = state & Qt::WindowMaximized;
    const bool minimized = state & Qt::WindowMinimized;
    if (event->spontaneous()) {
        // The native window reports its own state, which is never maximized
        // while the frame maximizes.
        if (m_maximizedApplied && !maximized) {
            m_window->overrideWindowState(state | Qt::WindowMaximized);
            if (!minimized)
                SetMaximizedGeometry(false);
        } else if (!m_maximizedApplied && maximized && !minimized) {
            TakeOverMaximized(false);
        }
    } else if (maximized && !m_maximizedApplied) {
        TakeOverMaximized(false);
    } else if (!maximized && !minimized && m_maximizedApplied) {
        m_maximizedApplied = false;
        UpdateSizeLimits();
        if (m_normalGeometry.isValid())
            m_window->setGeometry(m_normalGeometry);
    }
    KeepNativeWindowUnmaximized();
    RedrawNonClient();
}

void TWindowFrame::TakeOverMaximized(bool insideStateChange)
{
    // The toolkit kept the normal rectangle when the state changed.
    m_normalGeometry = m_window->normalGeometry();
    if (!m_normalGeometry.isValid())
        m_normalGeometry = m_window->geometry();
    m_maximizedApplied = true;
    KeepNativeWindowUnmaximized();
    if (!(m_window->windowState() & Qt::WindowMaximized))
        m_window->overrideWindowState(m_window->windowState() | Qt::WindowMaximized);
    PlaceMaximized(insideStateChange);
}

void TWindowFrame::PlaceMaximized(bool insideStateChange)
{
    m_maximizeCorrections = 0;
    m_maximizedGeometry = MaximizedRect(UpdateSizeLimits());
    SetMaximizedGeometry(insideStateChange);
}

void TWindowFrame::SetMaximizedGeometry(bool insideStateChange)
{
    if (m_window->geometry() == m_maximizedGeometry)
        return;
    QWindow* handle = m_window->windowHandle();
    if (!insideStateChange && handle && m_window->isVisible()) {
        // The widget follows when the native window reports its geometry.
        handle->setGeometry(m_maximizedGeometry);
        return;
    }
    const Qt::WindowStates state = m_window->windowState();
    m_window->setGeometry(m_maximizedGeometry);
    if ((state & Qt::WindowMaximized) && !(m_window->windowState() & Qt::WindowMaximized))
        m_window->overrideWindowState(m_window->windowState() | Qt::WindowMaximized);
}

void TWindowFrame::KeepNativeWindowUnmaximized()
{
    QWindow* handle = m_window->windowHandle();
    if (!m_maximizedApplied || !handle || !(handle->windowStates() & Qt::WindowMaximized))
        return;
    m_inNativeChange = true;
    handle->setWindowStates(handle->windowStates() & ~Qt::WindowMaximized);
    m_inNativeChange = false;
}

void TWindowFrame::ToggleMaximized()
{
    if (!ButtonEnabled(THitTest::MaxButton))
        return;
    const Qt::WindowStates state = m_window->windowState();
    m_window->setWindowState(state & Qt::WindowMaximized ? state & ~Qt::WindowMaximized : state | Qt::WindowMaximized);
}

void TWindowFrame::ClickButton(THitTest button)
{
    switch (button) {
        case THitTest::MinButton:
            m_window->setWindowState((m_window->windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
            break;
        case THitTest::MaxButton:
            ToggleMaximized();
            break;
        case THitTest::CloseButton:
            m_window->close();
            break;
        case THitTest::HelpButton:
            QWhatsThis::enterWhatsThisMode();
            break;
        default:
            break;
    }
}

void TWindowFrame::CancelMouseMode()
{
    const bool repaint = m_mode == Mode::Button;
    m_mode = Mode::None;
    m_pressedButton = THitTest::Nowhere;
    m_pressedInside = false;
    if (m_nonClient && QWidget::mouseGrabber() == m_nonClient)
        m_nonClient->releaseMouse();
    if (repaint)
        RedrawNonClient();
}

void TWindowFrame::ShowSystemMenu(QPoint globalPos)
{
    if (!m_systemMenu) {
        m_systemMenu = new QMenu(m_window);
        m_systemMenu->setObjectName(QStringLiteral("SystemMenu"));
    }
    QMenu* menu = m_systemMenu;
    menu->clear();
    const Qt::WindowStates state = m_window->windowState();
    const bool maximized = state & Qt::WindowMaximized, minimized = state & Qt::WindowMinimized;
    QAction* restore = menu->addAction(m_menuCaptions.Restore, menu, [this] {
        m_window->setWindowState(m_window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    });
    restore->setEnabled(maximized || minimized);
    QAction* minimize = menu->addAction(m_menuCaptions.Minimize, menu, [this] { ClickButton(THitTest::MinButton); });
    minimize->setEnabled(ButtonEnabled(THitTest::MinButton) && !minimized);
    QAction* maximize = menu->addAction(m_menuCaptions.Maximize, menu, [this] { ToggleMaximized(); });
    maximize->setEnabled(ButtonEnabled(THitTest::MaxButton) && !maximized);
    menu->addSeparator();
    QAction* close =
        menu->addAction(m_menuCaptions.Close + QStringLiteral("\tAlt+F4"), menu, [this] { m_window->close(); });
    close->setEnabled(ButtonEnabled(THitTest::CloseButton));
    emit SystemMenuBuilt(menu);
    menu->popup(globalPos);
}

void TWindowFrame::BeginMove(QPoint globalPos)
{
    if (m_window->windowState() & Qt::WindowMaximized)
        return;
    if (QWindow* handle = m_window->windowHandle(); handle && handle->startSystemMove())
        return;
    // No window manager to hand the move to: follow the mouse ourselves.
    m_mode = Mode::Move;
    m_pressGlobal = globalPos;
    m_pressGeometry = m_window->geometry();
}

void TWindowFrame::BeginResize(THitTest edge, QPoint globalPos)
{
    if (!IsSizeable(m_borderStyle) || (m_window->windowState() & Qt::WindowMaximized))
        return;
    UpdateSizeLimits();
    if (QWindow* handle = m_window->windowHandle(); handle && handle->startSystemResize(EdgesOf(edge)))
        return;
    m_mode = Mode::Resize;
    m_resizeEdge = edge;
    m_pressGlobal = globalPos;
    m_pressGeometry = m_window->geometry();
}

void TWindowFrame::MousePress(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QPoint global = event->globalPosition().toPoint();
    const THitTest hit = HitTest(pos);
    if (event->button() == Qt::RightButton) {
        TNcMouseEvent down(WindowMessage::NcRButtonDown, global, hit);
        SendNonClientEvent(m_window, down);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (IsButton(hit)) {
        if (!ButtonEnabled(hit))
            return;
        m_mode = Mode::Button;
        m_pressedButton = hit;
        m_pressedInside = true;
        RedrawNonClient(ButtonRect(hit));
    } else if (hit == THitTest::Caption) {
        BeginMove(global);
    } else if (hit == THitTest::SysMenu) {
        const QRect bar = CaptionBarRect();
        ShowSystemMenu(m_window->mapToGlobal(QPoint(bar.left(), bar.bottom() + 1)));
    } else if (EdgesOf(hit)) {
        BeginResize(hit, global);
    }
}

void TWindowFrame::MouseDoubleClick(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        MousePress(event);
        return;
    }
    const THitTest hit = HitTest(event->position().toPoint());
    // The first press of the pair may have started a move.
    CancelMouseMode();
    if (hit == THitTest::Caption) {
        ToggleMaximized();
    } else if (hit == THitTest::SysMenu) {
        if (m_systemMenu)
            m_systemMenu->hide();
        m_window->close();
    } else {
        // A quick second press on a button is a press like the first.
        MousePress(event);
    }
}

void TWindowFrame::MouseMove(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QPoint delta = event->globalPosition().toPoint() - m_pressGlobal;
    switch (m_mode) {
        case Mode::Button: {
            const bool inside = ButtonRect(m_pressedButton).contains(pos);
            if (inside != m_pressedInside) {
                m_pressedInside = inside;
                RedrawNonClient(ButtonRect(m_pressedButton));
            }
            break;
        }
        case Mode::Move:
            m_window->move(m_pressGeometry.topLeft() + delta);
            break;
        case Mode::Resize: {
            const Qt::Edges edges = EdgesOf(m_resizeEdge);
            const QSize minimum = m_window->minimumSize(), maximum = m_window->maximumSize();
            QRect rect = m_pressGeometry;
            auto bound = [](int value, int low, int high) { return std::max(low, std::min(value, high)); };
            if (edges & Qt::LeftEdge) {
                const int width = bound(m_pressGeometry.width() - delta.x(), minimum.width(), maximum.width());
                rect.setLeft(m_pressGeometry.right() + 1 - width);
            }
            if (edges & Qt::RightEdge)
                rect.setWidth(bound(m_pressGeometry.width() + delta.x(), minimum.width(), maximum.width()));
            if (edges & Qt::TopEdge) {
                const int height = bound(m_pressGeometry.height() - delta.y(), minimum.height(), maximum.height());
                rect.setTop(m_pressGeometry.bottom() + 1 - height);
            }
            if (edges & Qt::BottomEdge)
                rect.setHeight(bound(m_pressGeometry.height() + delta.y(), minimum.height(), maximum.height()));
            m_window->setGeometry(rect);
            break;
        }
        case Mode::None:
            if (event->buttons() == Qt::NoButton && m_nonClient)
                m_nonClient->setCursor(CursorFor(HitTest(pos)));
            break;
    }
}

void TWindowFrame::MouseRelease(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        const THitTest hit = HitTest(pos);
        const QPoint global = event->globalPosition().toPoint();
        TNcMouseEvent up(WindowMessage::NcRButtonUp, global, hit);
        up.SetDefaultProcessing([this, global, hit] {
            if (hit == THitTest::Caption || hit == THitTest::SysMenu)
                ShowSystemMenu(global);
        });
        SendNonClientEvent(m_window, up);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const Mode mode = m_mode;
    const THitTest button = m_pressedButton;
    const bool inside = m_pressedInside;
    CancelMouseMode();
    if (mode == Mode::Button && inside)
        ClickButton(button);
}

void TWindowFrame::PaintNonClient(QPainter& painter, const QRegion& region)
{
    TNcPaintEvent event(painter, region);
    event.SetDefaultProcessing([this, &painter, &event] { DefaultPaint(painter, event.UpdateRegion()); });
    SendNonClientEvent(m_window, event);
}

}  // namespace dw
