// SPDX-License-Identifier: MIT
#include "decor/transparent_button_accessible.h"

#include "decor/transparent_button.h"

#include <QAccessibleWidget>
#include <QPointer>

namespace dw {

namespace {

// The caption as a reader should say it: accelerator marks dropped, "&&"
// read as one ampersand.
QString SpokenCaption(const QString& caption)
{
    QString spoken;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        spoken += caption[i];
    }
    return spoken;
}

class TTransparentButtonAccessible final : public QAccessibleWidget {
public:
    explicit TTransparentButtonAccessible(TTransparentButton* button) : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && Button()->accessibleName().isEmpty())
            return SpokenCaption(Button()->Caption());
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = Button()->Down();
        return state;
    }

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& actionName) override
    {
        if (actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        // The click may run a command that waits in a loop of its own (the
        // print preview); the reader's request must be answered first.
        QPointer<TTransparentButton> button = Button();
        QMetaObject::invokeMethod(
            button,
            [button] {
                if (button)
                    button->Click();
            },
            Qt::QueuedConnection);
    }

private:
    TTransparentButton* Button() const { return static_cast<TTransparentButton*>(widget()); }
};

QAccessibleInterface* TransparentButtonFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("dw::TTransparentButton") && object && object->isWidgetType())
        return new TTransparentButtonAccessible(static_cast<TTransparentButton*>(object));
    return nullptr;
}

}  // namespace

void InstallTransparentButtonAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&TransparentButtonFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace dw
