// SPDX-License-Identifier: MIT
#pragma once

#include "storage/widgets/form_placement.h"
#include "storage/widgets/props_storage.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace dw {

// A form placement that also keeps a list of published property values of
// the form's components. Each line of StoredProps is a component name, ".",
// and a property name ("CurrencyEdit9.Value", "Label14.Caption"); the value
// goes to the key component name + "_" + property name as the class declares
// it ("CurrencyEdit9_Value"), after the placement keys.
//
// When loading ends each line is tied to its component (names compared
// without regard to letter case); lines that name no component, and lines
// whose component is destroyed later, are dropped. A component that is
// renamed is saved under its new name.
class TFormStorage : public TFormPlacement {
    Q_OBJECT
    Q_PROPERTY(QStringList StoredProps READ StoredProps WRITE SetStoredProps)

public:
    explicit TFormStorage(QObject* owner);
    ~TFormStorage() override;

    QStringList StoredProps() const;
    // After loading, the new lines are tied to their components at once.
    void SetStoredProps(const QStringList& lines);
    // The component a line is tied to, null while it is not.
    QObject* StoredComponent(int index) const;

    void Loaded() override;

    // Ties every line to its component, dropping what does not resolve.
    void ResolveStoredList();
    // Sets every listed property from the profile; a value that cannot be
    // read leaves its property as it is, and nothing is reported.
    void ReadStoredValues();
    // Writes every listed property; raises EFileError when the file cannot
    // be written.
    void WriteStoredValues();
    // The same, and what alsoWrite writes, in one write of the profile: the
    // values and a key that says how to read them are kept together or not
    // at all.
    void WriteStoredValuesWith(const std::function<void(TIniFile&)>& alsoWrite);

protected:
    void SavePlacement() override;
    void RestorePlacement() override;

private:
    struct StoredLine {
        QString Text;
        QPointer<QObject> Component;
        const QObject* Identity = nullptr;  // still known while the component is being destroyed
        // The property the line names, looked up once per component: what a
        // name finds depends only on the component's class.
        std::optional<TPropsStorage> Property;
        bool PropertyLooked = false;
    };

    // Each line rewritten with its component's current name; lines without a
    // component are dropped.
    void NormalizeStoredList();
    // Looks up the property of every line that has not looked it up yet.
    void FindStoredProperties();
    void Watch(QObject* component);
    void ComponentDestroyed(QObject* component);

    std::vector<StoredLine> m_lines;
};

}  // namespace dw
