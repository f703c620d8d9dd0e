// SPDX-License-Identifier: MIT
#include "storage/widgets/form_placement.h"

#include "common/error_display.h"
#include "storage/core/ini_file.h"
#include "window/window_hook.h"
#include "window/window_messages.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMetaObject>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <string>

namespace dw {

namespace {

std::function<QString()>& ProfileNameHook()
{
    static std::function<QString()> hook;
    return hook;
}

std::string Utf8(const QString& text)
{
    // Sections, keys and numbers are plain ASCII: copied as they are, without
    // the detour through a byte array.
    std::string bytes(static_cast<std::size_t>(text.size()), '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (unit >= 0x80)
            return text.toStdString();
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(unit);
    }
    return bytes;
}

bool IsSizingBorder(THitTest hit)
{
    switch (hit) {
        case THitTest::Left:
        case THitTest::Right:
        case THitTest::Top:
        case THitTest::TopLeft:
        case THitTest::TopRight:
        case THitTest::Bottom:
        case THitTest::BottomLeft:
        case THitTest::BottomRight:
            return true;
        default:
            return false;
    }
}

int ClampToWidgetSize(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, QWIDGETSIZE_MAX));
}

}  // namespace

// ---------------------------------------------------------------------------

void TWinMinMaxInfo::SetValue(Index index, std::int32_t value)
{
    if (m_values[index] == value)
        return;
    m_values[index] = value;
    if (m_onChange)
        m_onChange();
}

void TWinMinMaxInfo::Assign(const TWinMinMaxInfo& other)
{
    if (m_values == other.m_values)
        return;
    m_values = other.m_values;
    if (m_onChange)
        m_onChange();
}

bool TWinMinMaxInfo::IsSet() const
{
    return std::any_of(m_values.begin(), m_values.end(), [](std::int32_t value) { return value != 0; });
}

void TWinMinMaxInfo::ApplyTo(TMinMaxInfo& info) const
{
    const auto set = [](int& field, std::int32_t value) {
        if (value != 0)
            field = value;
    };
    set(info.MinTrackSize.rwidth(), MinTrackWidth());
    set(info.MinTrackSize.rheight(), MinTrackHeight());
    set(info.MaxTrackSize.rwidth(), MaxTrackWidth());
    set(info.MaxTrackSize.rheight(), MaxTrackHeight());
    set(info.MaxSize.rwidth(), MaxSizeWidth());
    set(info.MaxSize.rheight(), MaxSizeHeight());
    set(info.MaxPosition.rx(), MaxPosLeft());
    set(info.MaxPosition.ry(), MaxPosTop());
}

// ---------------------------------------------------------------------------

TFormPlacement::ProfileScope::ProfileScope(TFormPlacement& placement)
    : m_placement(placement), m_owned(!placement.m_iniFile)
{
    if (m_owned)
        m_placement.m_iniFile = std::make_unique<TIniFile>(Utf8(m_placement.ProfileFileName()));
    m_batch.emplace(*m_placement.m_iniFile);
}

TFormPlacement::ProfileScope::~ProfileScope()
{
    // The batch ends before the file object it belongs to.
    m_batch.reset();
    if (m_owned)
        m_placement.m_iniFile.reset();
}

void TFormPlacement::ProfileScope::Commit()
{
    if (m_batch)
        m_batch->Commit();
}

TFormPlacement::TFormPlacement(QObject* owner) : QObject(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("FormPlacement"));
    if (QWidget* form = Form()) {
        m_options = TPlacementOptions(fpState) | fpPosition;
        m_formClassName = ClassNameOf(form);
    }
    m_minMaxInfo.SetOnChange([this] { UpdatePlacement(); });
}

TFormPlacement::~TFormPlacement()
{
    FormDestroying();
    m_minMaxInfo.SetOnChange(nullptr);
    m_sizeHook.reset();
    m_formHook.reset();
}

QWidget* TFormPlacement::Form() const
{
    auto* widget = qobject_cast<QWidget*>(m_owner.data());
    return widget && widget->isWindow() ? widget : nullptr;
}

QString TFormPlacement::ClassNameOf(const QObject* object)
{
    // The program's classes live in a namespace; the profile knows them by
    // their own name.
    QString name = QString::fromLatin1(object->metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    return colons >= 0 ? name.mid(colons + 2) : name;
}

bool TFormPlacement::IsMainForm(const QWidget* form)
{
    return form && form->isWindow() && !form->parentWidget() && form->windowType() == Qt::Window;
}

void TFormPlacement::Loaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (QWidget* form = Form()) {
        // The class name as the finished form has it (the constructor may
        // have run while the owner was still being built).
        m_formClassName = ClassNameOf(form);
        m_formHook = std::make_unique<TWindowHook>();
        m_formHook->SetWindow(form);
        m_formHook->SetBeforeMessage([this](TWindowMessage& message) { FormBefore(message); });
        m_formHook->SetAfterMessage([this](TWindowMessage& message) { FormAfter(message); });
        m_formHook->Attach();
    }
    UpdatePlacement();
}

void TFormPlacement::SetPreventResize(bool value)
{
    if (value == m_preventResize)
        return;
    m_preventResize = value;
    UpdatePlacement();
}

bool TFormPlacement::SizeHookActive() const
{
    return m_sizeHook && m_sizeHook->Active();
}

void TFormPlacement::UpdatePlacement()
{
    if (!m_loaded)
        return;
    QWidget* form = Form();
    const bool wanted = form && (m_minMaxInfo.IsSet() || m_preventResize);
    if (wanted && !m_sizeHook) {
        m_sizeHook = std::make_unique<TWindowHook>();
        m_sizeHook->SetWindow(form);
        m_sizeHook->SetAfterMessage([this](TWindowMessage& message) { SizeAfter(message); });
    }
    if (m_sizeHook)
        m_sizeHook->SetActive(wanted);
    // The frame asks again and applies the new answer.
    if (form)
        NotifySizeLimitsChanged(form);
}

void TFormPlacement::FormBefore(TWindowMessage& message)
{
    // Showing again after a minimize is not a show of the form.
    if (message.Event->type() != QEvent::Show || message.Event->spontaneous() || !m_active)
        return;
    RunReportingErrors([this] { RestoreFromProfile(); });
}

void TFormPlacement::FormAfter(TWindowMessage& message)
{
    // The window's own close handling has run: save only when it let the
    // window close. A failed save does not keep the window open.
    if (message.Event->type() != QEvent::Close || !message.Event->isAccepted() || !m_active || !Form())
        return;
    RunReportingErrors([this] { SaveToProfile(); });
}

void TFormPlacement::SizeAfter(TWindowMessage& message)
{
    QEvent* event = message.Event;
    QWidget* form = message.Window;
    if (event->type() == WindowMessage::GetMinMaxInfo) {
        auto* query = static_cast<TMinMaxInfoEvent*>(event);
        if (m_preventResize) {
            if (form->isVisible()) {
                query->Info().MinTrackSize = form->size();
                query->Info().MaxTrackSize = form->size();
                // Maximizing leaves the window where and as large as it is.
                query->Info().MaxSize = form->size();
                QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
                const QPoint origin = screen ? screen->geometry().topLeft() : QPoint(0, 0);
                query->Info().MaxPosition = form->pos() - origin;
            }
        } else {
            ApplySizeLimits(query->Info());
        }
        query->accept();
    } else if (event->type() == WindowMessage::NcHitTest && m_preventResize) {
        auto* hit = static_cast<TNcHitTestEvent*>(event);
        if (IsSizingBorder(hit->Result()))
            hit->SetResult(THitTest::Nowhere);
    }
}

void TFormPlacement::ApplySizeLimits(TMinMaxInfo& info) const
{
    if (m_minMaxInfo.IsSet())
        m_minMaxInfo.ApplyTo(info);
    else
        info.MaxPosition = QPoint(0, 0);
}

void TFormPlacement::FormDestroying()
{
    if (m_formDestroyDone)
        return;
    m_formDestroyDone = true;
    if (!m_loaded || !m_active || m_saved || !Form())
        return;
    m_destroying = true;
    RunReportingErrors([this] { SaveToProfile(); });
    m_destroying = false;
}

// ---------------------------------------------------------------------------

QString TFormPlacement::ProfileFileName() const
{
    return m_iniFileName.isEmpty() ? DefaultProfileName() : m_iniFileName;
}

QString TFormPlacement::DefaultProfileName()
{
    if (ProfileNameHook())
        return ProfileNameHook()();
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name + QLatin1String(".INI");
}

void TFormPlacement::SetDefaultProfileNameHook(std::function<QString()> hook)
{
    ProfileNameHook() = std::move(hook);
}

QString TFormPlacement::ProfileSection() const
{
    return m_iniSection.isEmpty() ? DefaultProfileSection() : m_iniSection;
}

QString TFormPlacement::DefaultProfileSection() const
{
    QObject* owner = m_owner;
    if (!owner)
        return {};
    if (Form())
        return m_formClassName;
    if (auto* control = qobject_cast<QWidget*>(owner)) {
        QWidget* form = control->window();
        if (form && form != control)
            return ClassNameOf(form) + control->objectName();
        QObject* parent = control->parent();
        return (parent ? parent->objectName() : QString()) + control->objectName();
    }
    if (auto* form = qobject_cast<QWidget*>(owner->parent()); form && form->isWindow())
        return ClassNameOf(form) + QLatin1Char('.') + owner->objectName();
    return owner->objectName();
}

QString TFormPlacement::ProfileReadString(const QString& section, const QString& key, const QString& defaultValue)
{
    ProfileScope scope(*this);
    return QString::fromStdString(scope.File().ReadString(Utf8(section), Utf8(key), Utf8(defaultValue)));
}

void TFormPlacement::ProfileWriteString(const QString& section, const QString& key, const QString& value)
{
    ProfileScope scope(*this);
    scope.File().WriteString(Utf8(section), Utf8(key), QuotedForProfile(Utf8(value)));
    scope.Commit();
}

// ---------------------------------------------------------------------------

void TFormPlacement::SaveToProfile()
{
    if (!m_restored && m_active)
        return;
    ProfileScope scope(*this);
    SavePlacement();
    // Stored before anyone hears of the save, and not heard of when it fails.
    scope.Commit();
    emit OnSavePlacement(this);
    m_saved = true;
}

// A profile that exists but cannot be read leaves the window with its
// defaults; the user hears why once, when the window has opened, instead of
// only from a failed save at the end.
void TFormPlacement::ReportUnreadableProfile(const TIniFile& file)
{
    if (m_reportedUnreadable)
        return;
    const MessageText failure = file.ReadFailure();
    if (failure.Empty())
        return;
    m_reportedUnreadable = true;
    const MessageText message(
        DW_TEXT("Message",
                "Cannot read profile %1: %2. The program starts with its defaults and leaves the file as it is"),
        {MessageText::Verbatim(file.Path().string()), failure});
    QTimer::singleShot(0, Form(), [message] { ShowErrorText(message); });
}

void TFormPlacement::RestoreFromProfile()
{
    m_saved = false;
    ProfileScope scope(*this);
    RestorePlacement();
    if (Form())
        ReportUnreadableProfile(scope.File());
    // The batch ends here: whoever hears of the restore works on the file
    // itself, as outside a restore.
    scope.Commit();
    m_restored = true;
    emit OnRestorePlacement(this);

    QWidget* form = Form();
    if (form && (m_options & fpActiveControl)) {
        const QString name = ProfileReadString(ProfileSection(), QStringLiteral("ActiveControl"), QString());
        if (!name.isEmpty()) {
            const auto widgets = form->findChildren<QWidget*>();
            const auto found = std::find_if(widgets.begin(), widgets.end(), [&](const QWidget* widget) {
                return widget->objectName().compare(name, Qt::CaseInsensitive) == 0;
            });
            if (found != widgets.end()) {
                QWidget* control = *found;
                if (control->focusPolicy() != Qt::NoFocus && control->isEnabled() && control->isVisibleTo(form))
                    control->setFocus(Qt::OtherFocusReason);
            }
        }
    }
}

void TFormPlacement::SavePlacement()
{
    QWidget* form = Form();
    if (!form)
        return;
    const QString section = ProfileSection();
    ProfileScope scope(*this);
    WritePlacementKeys(form, section);
    if (m_options & fpActiveControl) {
        if (QWidget* control = form->focusWidget(); control && !control->objectName().isEmpty())
            ProfileWriteString(section, QStringLiteral("ActiveControl"), control->objectName());
    }
    scope.File().WriteBool(Utf8(section), "Visible", m_destroying);
    scope.Commit();
}

void TFormPlacement::RestorePlacement()
{
    if (QWidget* form = Form())
        ReadPlacementKeys(form, ProfileSection(), m_options & fpState, m_options & fpPosition);
}

// ---------------------------------------------------------------------------

TScreenMetrics TFormPlacement::CurrentScreen()
{
    TScreenMetrics metrics;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        metrics.Width = screen->geometry().width();
        metrics.Height = screen->geometry().height();
        metrics.PixelsPerInch = qRound(screen->logicalDotsPerInchY());
    }
    return metrics;
}

TWindowPlacementRecord TFormPlacement::CurrentPlacement(QWidget* form) const
{
    TWindowPlacementRecord placement;
    const Qt::WindowStates state = form->windowState();
    const bool minimized = state & Qt::WindowMinimized;
    const bool maximized = state & Qt::WindowMaximized;
    placement.Flags = minimized && maximized ? kPlacementRestoreToMaximized : 0;
    placement.ShowCmd = minimized ? kShowMinimized : maximized ? kShowMaximized : kShowNormal;
    placement.MinPosition = m_minPosition;
    placement.MaxPosition = m_maxPosition;
    if (maximized && !minimized)
        placement.MaxPosition = {form->x(), form->y()};
    QRect normal = form->normalGeometry();
    if (!normal.isValid())
        normal = form->geometry();
    const auto right = static_cast<std::int64_t>(normal.x()) + normal.width();
    const auto bottom = static_cast<std::int64_t>(normal.y()) + normal.height();
    placement.NormalPosition = {normal.x(), normal.y(), static_cast<std::int32_t>(right),
                                static_cast<std::int32_t>(bottom)};
    return placement;
}

bool TFormPlacement::PlatformReportsPosition()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void TFormPlacement::WritePlacementKeys(QWidget* form, const QString& section)
{
    ProfileScope scope(*this);
    TIniFile& file = scope.File();
    const std::string name = Utf8(section);
    // The position keys as they stand, put back after the write when the
    // platform could not say where the window is.
    const auto isPositionKey = [](const std::string& key) {
        return key.rfind("NormPos", 0) == 0 || key.rfind("MinMaxPos", 0) == 0;
    };
    std::vector<std::pair<std::string, std::string>> kept;
    if (!m_positionReported)
        for (const auto& [key, value] : file.ReadSectionValues(name))
            if (isPositionKey(key))
                kept.emplace_back(key, value);
    TWindowPlacementRecord placement = CurrentPlacement(form);
    dw::WritePlacementKeys(file, name, placement, CurrentScreen());
    if (!m_positionReported) {
        const auto wasKept = [&kept](const std::string& key) {
            return std::any_of(kept.begin(), kept.end(), [&key](const auto& k) { return k.first == key; });
        };
        for (const std::string& key : file.ReadSection(name))
            if (isPositionKey(key) && !wasKept(key))
                file.DeleteKey(name, key);
        for (const auto& [key, value] : kept) file.WriteString(name, key, value);
    }
    scope.Commit();
}

void TFormPlacement::ReadPlacementKeys(QWidget* form, const QString& section, bool readState, bool readPosition)
{
    if (!readState && !readPosition)
        return;
    ProfileScope scope(*this);
    TPlacementReadRequest request;
    request.ReadPosition = readPosition;
    request.ReadState = readState;
    request.Current = CurrentPlacement(form);
    // A window not yet on the screen is shown by its own show, not by this.
    const QWindow* handle = form->windowHandle();
    if (!handle || !handle->isVisible())
        request.Current.ShowCmd = kShowHide;
    const QRect bounds = form->geometry();
    request.Bounds = {bounds.x(), bounds.y(), bounds.x() + bounds.width(), bounds.y() + bounds.height()};
    request.FixedSize = form->windowFlags() & Qt::MSWindowsFixedSizeDialogHint;
    request.DefaultState = TWindowShowState::Normal;
    request.Screen = CurrentScreen();
    const TPlacementReadResult result = dw::ReadPlacementKeys(scope.File(), Utf8(section), request);

    if (result.ApplyPosition) {
        m_minPosition = result.Placement.MinPosition;
        m_maxPosition = result.Placement.MaxPosition;
        ApplyNormalRect(form, result.Placement.NormalPosition);
    }
    if (result.ApplyState) {
        if (result.State == TWindowShowState::Minimized && IsMainForm(form)) {
            // The program starts minimized: the window is shown normal and
            // then minimized, as a user would do it, once it is on the screen.
            const bool toMaximized = result.Placement.Flags & kPlacementRestoreToMaximized;
            QMetaObject::invokeMethod(
                form,
                [form, toMaximized] {
                    Qt::WindowStates state = form->windowState() | Qt::WindowMinimized;
                    if (toMaximized)
                        state |= Qt::WindowMaximized;
                    form->setWindowState(state);
                },
                Qt::QueuedConnection);
            return;
        }
        ApplyState(form, result.State, result.Placement.Flags);
    }
    form->update();
}

void TFormPlacement::ApplyNormalRect(QWidget* form, const TPlacementRect& rect)
{
    QRect geometry(rect.Left, rect.Top, ClampToWidgetSize(static_cast<std::int64_t>(rect.Right) - rect.Left),
                   ClampToWidgetSize(static_cast<std::int64_t>(rect.Bottom) - rect.Top));
    // A placement from another desktop must not put the window where no
    // screen shows it: it is moved onto the primary screen's work area.
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(geometry);
    if (!onScreen) {
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            const QRect area = primary->availableGeometry();
            geometry.moveTo(
                std::clamp(geometry.x(), area.left(), std::max(area.left(), area.right() + 1 - geometry.width())),
                std::clamp(geometry.y(), area.top(), std::max(area.top(), area.bottom() + 1 - geometry.height())));
        }
    }
    const Qt::WindowStates state = form->windowState();
    if (state & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        // The normal rectangle of a maximized window is the one it returns to.
        form->setWindowState(state & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        form->setGeometry(geometry);
        form->setWindowState(state);
    } else {
        form->setGeometry(geometry);
    }
}

void TFormPlacement::ApplyState(QWidget* form, TWindowShowState state, std::int32_t flags)
{
    const Qt::WindowStates current = form->windowState();
    Qt::WindowStates wanted = current & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    switch (state) {
        case TWindowShowState::Normal:
            break;
        case TWindowShowState::Maximized:
            wanted |= Qt::WindowMaximized;
            break;
        case TWindowShowState::Minimized:
            wanted |= Qt::WindowMinimized;
            if (flags & kPlacementRestoreToMaximized)
                wanted |= Qt::WindowMaximized;
            break;
    }
    if (wanted != current)
        form->setWindowState(wanted);
}

}  // namespace dw
