// SPDX-License-Identifier: MIT
#include "storage/widgets/props_storage.h"

#include "common/errors.h"
#include "numeric/core/extended.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"
#include "numeric/core/number_parse.h"
#include "numeric/widgets/extended_metatype.h"
#include "storage/core/ini_file.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMetaObject>
#include <QRegularExpression>
#include <QStringList>
#include <QWidget>

#include <bit>
#include <cstring>
#include <limits>

namespace dw {

namespace {

void ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
    if (from.empty() || from == to)
        return;
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

bool IsIntegerType(int id)
{
    switch (id) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return true;
        default:
            return false;
    }
}

bool IsUnsignedType(int id)
{
    return id == QMetaType::UInt || id == QMetaType::ULong || id == QMetaType::ULongLong || id == QMetaType::UShort ||
           id == QMetaType::UChar;
}

// An integer of the property's type from text; 0 when the text is not an
// integer or does not fit the type.
QVariant IntegerFromText(const QString& text, QMetaType type)
{
    const int bits = static_cast<int>(type.sizeOf()) * 8;
    std::optional<qlonglong> signedValue;
    std::optional<qulonglong> unsignedValue;
    bool ok = false;
    if (const auto parsed = ParseProfileInteger(text.toStdString())) {
        signedValue = *parsed;
    } else if (const qlonglong asSigned = text.toLongLong(&ok); ok) {
        signedValue = asSigned;
    } else if (const qulonglong asUnsigned = text.toULongLong(&ok); ok) {
        unsignedValue = asUnsigned;
    }
    QVariant result(qlonglong{0});
    if (IsUnsignedType(type.id())) {
        const qulonglong max = bits >= 64 ? std::numeric_limits<qulonglong>::max() : (qulonglong{1} << bits) - 1;
        if (signedValue && *signedValue >= 0 && static_cast<qulonglong>(*signedValue) <= max)
            result = QVariant(static_cast<qulonglong>(*signedValue));
        else if (unsignedValue && *unsignedValue <= max)
            result = QVariant(*unsignedValue);
    } else if (signedValue) {
        const bool fits = bits >= 64 || (*signedValue >= -(qlonglong{1} << (bits - 1)) &&
                                         *signedValue < (qlonglong{1} << (bits - 1)));
        if (fits)
            result = QVariant(*signedValue);
    }
    result.convert(type);
    return result;
}

// The integer behind an enumeration or a set of flags, whatever type the
// property declares for it.
qint64 RawEnumValue(const QVariant& value)
{
    const void* data = value.constData();
    switch (value.metaType().sizeOf()) {
        case 1: {
            std::int8_t v;
            std::memcpy(&v, data, 1);
            return v;
        }
        case 2: {
            std::int16_t v;
            std::memcpy(&v, data, 2);
            return v;
        }
        case 4: {
            std::int32_t v;
            std::memcpy(&v, data, 4);
            return v;
        }
        case 8: {
            std::int64_t v;
            std::memcpy(&v, data, 8);
            return v;
        }
        default:
            return value.toLongLong();
    }
}

QVariant EnumVariant(QMetaType type, qint64 raw)
{
    switch (type.sizeOf()) {
        case 1: {
            const auto v = static_cast<std::int8_t>(raw);
            return QVariant(type, &v);
        }
        case 2: {
            const auto v = static_cast<std::int16_t>(raw);
            return QVariant(type, &v);
        }
        case 4: {
            const auto v = static_cast<std::int32_t>(raw);
            return QVariant(type, &v);
        }
        case 8: {
            const auto v = static_cast<std::int64_t>(raw);
            return QVariant(type, &v);
        }
        default: {
            QVariant v(static_cast<qlonglong>(raw));
            v.convert(type);
            return v;
        }
    }
}

// The key of an enumeration matched without regard to letter case.
std::optional<qint64> EnumKeyValue(const QMetaEnum& enumerator, const QString& identifier)
{
    for (int i = 0; i < enumerator.keyCount(); ++i)
        if (identifier.compare(QLatin1String(enumerator.key(i)), Qt::CaseInsensitive) == 0)
            return enumerator.value(i);
    return std::nullopt;
}

}  // namespace

QString StoredFloatText(long double value, int precision)
{
    std::string text = NumberToStyledText(value, NumberStyle::General, precision, 0);
    ReplaceAll(text, LocaleFormats().DecimalMark, ".");
    return QString::fromStdString(text);
}

std::optional<long double> ParseStoredFloat(const QString& text)
{
    std::string local = text.toStdString();
    ReplaceAll(local, ".", LocaleFormats().DecimalMark);
    Extended value = 0;
    if (!TryParseNumber(local, value))
        return std::nullopt;
    return value;
}

TPropsStorage::TPropsStorage(QObject* object, QMetaProperty property)
    : m_object(object), m_property(property), m_name(QString::fromLatin1(property.name())), m_type(property.metaType())
{
    const int id = m_type.id();
    if (property.isFlagType()) {
        m_kind = TPropertyKind::Set;
        m_enum = property.enumerator();
    } else if (property.isEnumType()) {
        m_kind = TPropertyKind::Enumeration;
        m_enum = property.enumerator();
    } else if (id == QMetaType::Float) {
        m_kind = TPropertyKind::Float;
        m_floatPrecision = 7;
    } else if (id == QMetaType::Double) {
        m_kind = TPropertyKind::Float;
        m_floatPrecision = 15;
    } else if (m_type == QMetaType::fromType<long double>()) {
        m_kind = TPropertyKind::Float;
        m_floatPrecision = 18;
    } else if (id == QMetaType::QString || id == QMetaType::QByteArray) {
        m_kind = TPropertyKind::String;
    } else if (id == QMetaType::QChar) {
        m_kind = TPropertyKind::WideChar;
    } else if (id == QMetaType::Char) {
        m_kind = TPropertyKind::Char;
    } else if (id == QMetaType::Bool) {
        m_kind = TPropertyKind::Enumeration;
    } else if (IsIntegerType(id)) {
        m_kind = TPropertyKind::Integer;
    } else if (id == QMetaType::QVariant) {
        m_kind = TPropertyKind::Variant;
    }
}

TPropsStorage::TPropsStorage(QObject* object, Alias alias)
    : m_object(object),
      m_alias(alias),
      m_name(QStringLiteral("Caption")),
      m_kind(TPropertyKind::String),
      m_type(QMetaType::fromType<QString>())
{
}

std::optional<TPropsStorage> TPropsStorage::Find(QObject* object, const QString& name)
{
    if (!object || name.isEmpty())
        return std::nullopt;
    const QMetaObject* meta = object->metaObject();
    // The name as written is the usual case and the meta-object finds it by
    // hash (the most derived class's first); only a name in other letter case
    // needs the scan through every property.
    if (const int index = meta->indexOfProperty(name.toUtf8().constData()); index >= 0)
        return TPropsStorage(object, meta->property(index));
    int exact = -1, folded = -1;
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QLatin1String declared(meta->property(i).name());
        if (name == declared)
            exact = i;
        else if (name.compare(declared, Qt::CaseInsensitive) == 0)
            folded = i;  // the last one is the most derived class's
    }
    if (exact >= 0 || folded >= 0)
        return TPropsStorage(object, meta->property(exact >= 0 ? exact : folded));

    if (name.compare(QLatin1String("Caption"), Qt::CaseInsensitive) == 0) {
        if (qobject_cast<QLabel*>(object))
            return TPropsStorage(object, Alias::LabelText);
        if (qobject_cast<QAbstractButton*>(object))
            return TPropsStorage(object, Alias::ButtonText);
        if (qobject_cast<QGroupBox*>(object))
            return TPropsStorage(object, Alias::GroupBoxTitle);
        if (auto* widget = qobject_cast<QWidget*>(object); widget && widget->isWindow())
            return TPropsStorage(object, Alias::WindowTitle);
    }
    return std::nullopt;
}

TPropsStorage TPropsStorage::ForObject(QObject* object) const
{
    TPropsStorage other(*this);
    other.m_object = object;
    return other;
}

bool TPropsStorage::IsTextKind() const
{
    return m_kind == TPropertyKind::String || m_kind == TPropertyKind::WideChar;
}

bool TPropsStorage::Writable() const
{
    return m_alias != Alias::None || m_property.isWritable();
}

QVariant TPropsStorage::Read() const
{
    if (!m_object)
        return {};
    switch (m_alias) {
        case Alias::LabelText:
            return static_cast<QLabel*>(m_object.data())->text();
        case Alias::ButtonText:
            return static_cast<QAbstractButton*>(m_object.data())->text();
        case Alias::GroupBoxTitle:
            return static_cast<QGroupBox*>(m_object.data())->title();
        case Alias::WindowTitle:
            return static_cast<QWidget*>(m_object.data())->windowTitle();
        case Alias::None:
            break;
    }
    return m_property.read(m_object);
}

void TPropsStorage::Write(const QVariant& value) const
{
    if (!m_object)
        return;
    switch (m_alias) {
        case Alias::LabelText: {
            auto* label = static_cast<QLabel*>(m_object.data());
            label->setText(value.toString());
            label->adjustSize();
            return;
        }
        case Alias::ButtonText:
            static_cast<QAbstractButton*>(m_object.data())->setText(value.toString());
            return;
        case Alias::GroupBoxTitle:
            static_cast<QGroupBox*>(m_object.data())->setTitle(value.toString());
            return;
        case Alias::WindowTitle:
            static_cast<QWidget*>(m_object.data())->setWindowTitle(value.toString());
            return;
        case Alias::None:
            break;
    }
    m_property.write(m_object, value);
}

QString TPropsStorage::ToText() const
{
    const QVariant value = Read();
    if (!value.isValid())
        return {};
    switch (m_kind) {
        case TPropertyKind::Float:
            if (m_type == QMetaType::fromType<long double>())
                return StoredFloatText(value.value<long double>(), m_floatPrecision);
            if (m_type.id() == QMetaType::Float)
                return StoredFloatText(value.value<float>(), m_floatPrecision);
            return StoredFloatText(value.toDouble(), m_floatPrecision);
        case TPropertyKind::String:
            if (m_type.id() == QMetaType::QByteArray)
                return QString::fromUtf8(value.toByteArray());
            return value.toString();
        case TPropertyKind::Integer:
            return IsUnsignedType(m_type.id()) ? QString::number(value.toULongLong())
                                               : QString::number(value.toLongLong());
        case TPropertyKind::Char: {
            const char c = value.value<char>();
            return QString::fromLatin1(&c, 1);
        }
        case TPropertyKind::WideChar:
            return QString(value.value<QChar>());
        case TPropertyKind::Enumeration:
            if (m_type.id() == QMetaType::Bool)
                return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
            if (const char* key = m_enum.valueToKey(static_cast<int>(RawEnumValue(value))))
                return QString::fromLatin1(key);
            return {};
        case TPropertyKind::Set: {
            // Every member once, by the first identifier of its bit.
            const qint64 bits = RawEnumValue(value);
            qint64 listed = 0;
            QStringList members;
            for (int i = 0; i < m_enum.keyCount(); ++i) {
                const auto member = static_cast<qint64>(static_cast<unsigned>(m_enum.value(i)));
                if (std::popcount(static_cast<std::uint64_t>(member)) == 1 && (bits & member) && !(listed & member)) {
                    listed |= member;
                    members << QString::fromLatin1(m_enum.key(i));
                }
            }
            return QLatin1Char('[') + members.join(QLatin1Char(',')) + QLatin1Char(']');
        }
        case TPropertyKind::Variant:
            return value.value<QVariant>().toString();
        case TPropertyKind::Other:
            return {};
    }
    return {};
}

void TPropsStorage::FromText(const QString& text) const
{
    switch (m_kind) {
        case TPropertyKind::Float: {
            const auto value = ParseStoredFloat(text);
            if (!value)
                throw EConvertError(NotAFloatingPointValue(text.toStdString()));
            if (m_type == QMetaType::fromType<long double>())
                Write(QVariant::fromValue<long double>(*value));
            else if (m_type.id() == QMetaType::Float)
                Write(QVariant::fromValue(static_cast<float>(*value)));
            else
                Write(QVariant::fromValue(static_cast<double>(*value)));
            return;
        }
        case TPropertyKind::String:
            if (m_type.id() == QMetaType::QByteArray)
                Write(text.toUtf8());
            else
                Write(text);
            return;
        case TPropertyKind::Integer:
            Write(IntegerFromText(text, m_type));
            return;
        case TPropertyKind::Char:
            if (!text.isEmpty())
                Write(QVariant::fromValue(text.at(0).toLatin1()));
            return;
        case TPropertyKind::WideChar:
            if (!text.isEmpty())
                Write(QVariant::fromValue(text.at(0)));
            return;
        case TPropertyKind::Enumeration:
            if (m_type.id() == QMetaType::Bool) {
                if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                    Write(true);
                else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                    Write(false);
                return;
            }
            if (const auto value = EnumKeyValue(m_enum, text))
                Write(EnumVariant(m_type, *value));
            return;
        case TPropertyKind::Set: {
            qint64 bits = 0;
            static const QRegularExpression separators(QStringLiteral("[ ,\\[\\]]+"));
            for (const QString& word : text.split(separators, Qt::SkipEmptyParts))
                if (const auto value = EnumKeyValue(m_enum, word))
                    bits |= static_cast<qint64>(static_cast<unsigned>(*value));
            Write(EnumVariant(m_type, bits));
            return;
        }
        case TPropertyKind::Variant:
            Write(QVariant::fromValue(QVariant(text)));
            return;
        case TPropertyKind::Other:
            return;
    }
}

}  // namespace dw
