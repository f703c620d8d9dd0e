#include "storage/widgets/form_storage.h"

#include "storage/core/placement_keys.h"
#include "storage/widgets/props_storage.h"

#include <QHash>

#include <algorithm>

namespace dw {

namespace {

// Blanks and control characters at either end go, as the profile trims them.
QString TrimStored(const QString& text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && text.at(first).unicode() <= u' ') ++first;
    while (last > first && text.at(last - 1).unicode() <= u' ') --last;
    return text.mid(first, last - first);
}

}  // namespace

TStoredLineParts SplitStoredLine(const QString& line)
{
    const qsizetype dot = line.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    return {TrimStored(line.left(dot)), TrimStored(line.mid(dot + 1))};
}

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
    for (const QString& text : lines) m_lines.push_back({text, nullptr, nullptr});
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
        const TStoredLineParts parts = SplitStoredLine(line.Text);
        QObject* component = parts.WellFormed() ? components.value(parts.Component.toCaseFolded()) : nullptr;
        if (!component) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        line.Component = component;
        line.Identity = component;
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
    for (StoredLine& line : m_lines)
        line.Text = line.Component->objectName() + QLatin1Char('.') + SplitStoredLine(line.Text).Property;
}

void TFormStorage::WriteStoredValues()
{
    NormalizeStoredList();
    const QString section = ProfileSection();
    // A copy: the list may change under a property's getter.
    const std::vector<StoredLine> lines = m_lines;
    for (const StoredLine& line : lines) {
        const TStoredLineParts parts = SplitStoredLine(line.Text);
        if (!parts.WellFormed() || !line.Component)
            continue;
        const auto property = TPropsStorage::Find(line.Component, parts.Property);
        if (!property)
            continue;
        const QString text = property->ToText();
        if (text.isEmpty() && !property->IsTextKind())
            continue;
        ProfileWriteString(section, line.Component->objectName() + QLatin1Char('_') + property->Name(),
                           TrimStored(text));
    }
}

void TFormStorage::ReadStoredValues()
{
    // A stored value that cannot be used leaves its property alone; nothing
    // of this reaches the user.
    try {
        NormalizeStoredList();
        const QString section = ProfileSection();
        const std::vector<StoredLine> lines = m_lines;
        for (const StoredLine& line : lines) {
            try {
                const TStoredLineParts parts = SplitStoredLine(line.Text);
                if (!parts.WellFormed() || !line.Component)
                    continue;
                const auto property = TPropsStorage::Find(line.Component, parts.Property);
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
