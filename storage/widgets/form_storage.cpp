// SPDX-License-Identifier: MIT
#include "storage/widgets/form_storage.h"

#include "storage/core/placement_keys.h"
#include "storage/widgets/props_storage.h"

#include <QHash>

#include <algorithm>

namespace dw {

namespace {

bool IsStoredBlank(QChar c)
{
    return c.unicode() <= u' ';
}

// Blanks and control characters at either end go, as the profile trims them.
QStringView TrimStoredView(QStringView text)
{
    while (!text.isEmpty() && IsStoredBlank(text.front())) text = text.sliced(1);
    while (!text.isEmpty() && IsStoredBlank(text.back())) text.chop(1);
    return text;
}

QString TrimStored(const QString& text)
{
    const QStringView trimmed = TrimStoredView(text);
    return trimmed.size() == text.size() ? text : trimmed.toString();
}

// The two parts of a stored line, as views into it.
struct LineParts {
    QStringView Component;
    QStringView Property;
    bool WellFormed() const { return !Component.isEmpty() && !Property.isEmpty(); }
};

LineParts SplitLine(QStringView line)
{
    const qsizetype dot = line.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    return {TrimStoredView(line.first(dot)), TrimStoredView(line.sliced(dot + 1))};
}

}  // namespace

TFormStorage::TFormStorage(QObject* owner) : TFormPlacement(owner)
{
    setObjectName(QStringLiteral("FormStorage"));
}

TFormStorage::~TFormStorage()
{
    // The stored values are written by this class, so the form's
    // destruction step runs while it still exists.
    FormDestroying();
}

QStringList TFormStorage::StoredProps() const
{
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(m_lines.size()));
    for (const StoredLine& line : m_lines) lines << line.Text;
    return lines;
}

void TFormStorage::SetStoredProps(const QStringList& lines)
{
    m_lines.clear();
    for (const QString& text : lines) m_lines.push_back({text, nullptr, nullptr, std::nullopt, false});
    if (IsLoaded())
        ResolveStoredList();
}

QObject* TFormStorage::StoredComponent(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_lines.size())
        return nullptr;
    return m_lines[static_cast<std::size_t>(index)].Component;
}

void TFormStorage::Loaded()
{
    TFormPlacement::Loaded();
    ResolveStoredList();
}

void TFormStorage::ResolveStoredList()
{
    QObject* owner = Owner();
    // The owner's components by name, the first of a name winning.
    QHash<QString, QObject*> components;
    if (owner) {
        for (QObject* child : owner->findChildren<QObject*>()) {
            const QString name = child->objectName().toCaseFolded();
            if (!name.isEmpty() && !components.contains(name))
                components.insert(name, child);
        }
    }
    for (std::size_t i = m_lines.size(); i-- > 0;) {
        StoredLine& line = m_lines[i];
        const LineParts parts = SplitLine(line.Text);
        QObject* component = parts.WellFormed() ? components.value(parts.Component.toString().toCaseFolded()) : nullptr;
        if (!component) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        line.Component = component;
        line.Identity = component;
        line.Property.reset();
        line.PropertyLooked = false;
        Watch(component);
    }
}

void TFormStorage::Watch(QObject* component)
{
    connect(component, &QObject::destroyed, this, &TFormStorage::ComponentDestroyed, Qt::UniqueConnection);
}

void TFormStorage::ComponentDestroyed(QObject* component)
{
    std::erase_if(m_lines, [component](const StoredLine& line) { return line.Identity == component; });
}

void TFormStorage::NormalizeStoredList()
{
    std::erase_if(m_lines, [](const StoredLine& line) { return !line.Component; });
    for (StoredLine& line : m_lines) {
        const QString name = line.Component->objectName();
        const QStringView property = SplitLine(line.Text).Property;
        // Most lines already read so; only a renamed component or a padded
        // line is written anew.
        const QStringView text(line.Text);
        if (text.size() == name.size() + 1 + property.size() && text.startsWith(name) &&
            text.at(name.size()) == QLatin1Char('.') && text.sliced(name.size() + 1) == property)
            continue;
        line.Text = name + QLatin1Char('.') + property.toString();
    }
}

void TFormStorage::FindStoredProperties()
{
    // Many lines name the same property of components of one class (the
    // program's number fields): those share one look-up. Kept for this pass
    // only, while every class it names has live components.
    struct Found {
        const QMetaObject* Class;
        QString Name;
        TPropsStorage Property;
    };
    std::vector<Found> found;
    for (StoredLine& line : m_lines) {
        if (line.PropertyLooked || !line.Component)
            continue;
        line.PropertyLooked = true;
        const LineParts parts = SplitLine(line.Text);
        if (!parts.WellFormed())
            continue;
        const QMetaObject* meta = line.Component->metaObject();
        const auto same = std::find_if(found.begin(), found.end(), [&](const Found& entry) {
            return entry.Class == meta && entry.Name == parts.Property;
        });
        if (same != found.end()) {
            line.Property = same->Property.ForObject(line.Component);
            continue;
        }
        const QString name = parts.Property.toString();
        line.Property = TPropsStorage::Find(line.Component, name);
        if (line.Property && line.Property->IsDeclared())
            found.push_back({meta, name, *line.Property});
    }
}

void TFormStorage::WriteStoredValues()
{
    NormalizeStoredList();
    FindStoredProperties();
    const QString section = ProfileSection();
    ProfileScope scope(*this);
    // A copy: the list may change under a property's getter.
    const std::vector<StoredLine> lines = m_lines;
    for (const StoredLine& line : lines) {
        if (!SplitLine(line.Text).WellFormed() || !line.Component)
            continue;
        const auto& property = line.Property;
        if (!property)
            continue;
        const QString text = property->ToText();
        if (text.isEmpty() && !property->IsTextKind())
            continue;
        ProfileWriteString(section, line.Component->objectName() + QLatin1Char('_') + property->Name(),
                           TrimStored(text));
    }
    scope.Commit();
}

void TFormStorage::WriteStoredValuesWith(const std::function<void(TIniFile&)>& alsoWrite)
{
    ProfileScope scope(*this);
    alsoWrite(scope.File());
    WriteStoredValues();
    scope.Commit();
}

void TFormStorage::ReadStoredValues()
{
    // A stored value that cannot be used leaves its property alone; nothing
    // of this reaches the user.
    try {
        NormalizeStoredList();
        FindStoredProperties();
        const QString section = ProfileSection();
        ProfileScope scope(*this);
        const std::vector<StoredLine> lines = m_lines;
        for (const StoredLine& line : lines) {
            try {
                if (!SplitLine(line.Text).WellFormed() || !line.Component)
                    continue;
                const auto& property = line.Property;
                if (!property || property->Kind() == TPropertyKind::Other)
                    continue;
                const QString defaultText = property->ToText();
                QString text;
                if (!defaultText.isEmpty() || property->IsTextKind())
                    text = TrimStored(ProfileReadString(
                        section, line.Component->objectName() + QLatin1Char('_') + property->Name(), defaultText));
                if (property->Writable())
                    property->FromText(text);
            } catch (...) {
            }
        }
    } catch (...) {
    }
}

void TFormStorage::SavePlacement()
{
    TFormPlacement::SavePlacement();
    WriteStoredValues();
}

void TFormStorage::RestorePlacement()
{
    TFormPlacement::RestorePlacement();
    SetRestored(true);
    ReadStoredValues();
}

}  // namespace dw
