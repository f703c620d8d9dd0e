// SPDX-License-Identifier: MIT
#include "window/window_messages.h"

#include <QCoreApplication>
#include <QWidget>

namespace dw {

namespace WindowMessage {
namespace {
QEvent::Type Register()
{
    return static_cast<QEvent::Type>(QEvent::registerEventType());
}
}  // namespace
const QEvent::Type NcPaint = Register();
const QEvent::Type NcActivate = Register();
const QEvent::Type NcHitTest = Register();
const QEvent::Type NcRButtonDown = Register();
const QEvent::Type NcRButtonUp = Register();
const QEvent::Type GetMinMaxInfo = Register();
const QEvent::Type SizeLimitsChanged = Register();
}  // namespace WindowMessage

void TNonClientEvent::FinishOwnProcessing(bool takenByWindow)
{
    if (m_ownProcessingDone)
        return;
    m_ownProcessingDone = true;
    m_takenByWindow = takenByWindow;
    if (!takenByWindow && m_default)
        m_default();
}

bool SendNonClientEvent(QWidget* window, TNonClientEvent& event)
{
    if (!window)
        return false;
    QCoreApplication::sendEvent(window, &event);
    // With a hook attached the interceptor has run the window's processing
    // already, between the before- and the after-handlers; without one the
    // window's event() has just run and the default follows it here.
    event.FinishOwnProcessing(event.isAccepted());
    return event.TakenByWindow();
}

void NotifySizeLimitsChanged(QWidget* window)
{
    if (!window)
        return;
    QEvent event(WindowMessage::SizeLimitsChanged);
    QCoreApplication::sendEvent(window, &event);
}

}  // namespace dw
