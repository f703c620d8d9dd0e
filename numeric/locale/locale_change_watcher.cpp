// SPDX-License-Identifier: MIT
#include "numeric/locale/locale_change_watcher.h"

#include "numeric/locale/load_locale_formats.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLocale>

namespace dw {

LocaleChangeWatcher::LocaleChangeWatcher(QObject* parent) : QObject(parent)
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

LocaleChangeWatcher::~LocaleChangeWatcher()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool LocaleChangeWatcher::eventFilter(QObject* watched, QEvent* event)
{
    // A filter on the application sees every object's events; a widget told
    // about its own locale is not a change of the system's.
    if (event->type() == QEvent::LocaleChange && watched == QCoreApplication::instance()) {
        try {
            LoadLocaleConventions(QLocale::system());
            ++m_reloadCount;
        } catch (...) {
            // Only memory can run out here; the old record stays and the event
            // loop must not see an exception.
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace dw
