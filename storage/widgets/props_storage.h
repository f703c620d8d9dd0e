// SPDX-License-Identifier: MIT
#pragma once

#include <QMetaEnum>
#include <QMetaProperty>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <optional>

namespace dw {

// How a property's value turns into profile text and back.
enum class TPropertyKind {
    Float,        // general number text with "." whatever the locale
    String,       // the text unchanged
    Integer,      // decimal text
    Char,         // one character
    WideChar,     // one character
    Enumeration,  // the identifier of the value (booleans: False, True)
    Set,          // "[" identifiers joined by "," "]"
    Variant,      // the variant's text
    Other,        // objects, colours, fonts...: not kept in the profile
};

// One published property of one object, as the form storage keeps it: found
// by name without regard to letter case, converted to profile text and back
// by its kind. Short-lived: it holds the object by pointer and is made for
// one save or restore of one line.
//
// Besides the Qt properties of the object, a label, a button, a group box
// and a window answer to "Caption" (their text, title or window title), the
// name the program's stored lists use; a label sizes itself to its new
// caption, as the program's labels do.
class TPropsStorage {
public:
    // The property of that name, or nullopt when the object has none. An
    // exact spelling wins; otherwise the most derived class's property does.
    static std::optional<TPropsStorage> Find(QObject* object, const QString& name);
    // The same property of another object whose class is the object's own,
    // without a second look-up; for a property the object's class declares
    // (IsDeclared), which is all a name finds in a class.
    TPropsStorage ForObject(QObject* object) const;
    // A property of the class, not one of the "Caption" stand-ins (which
    // depend on the object: whether a widget is a window).
    bool IsDeclared() const { return m_alias == Alias::None; }

    // The name as the class declares it: the key part after "_".
    const QString& Name() const { return m_name; }
    TPropertyKind Kind() const { return m_kind; }
    // Kinds whose empty text is a value worth keeping.
    bool IsTextKind() const;
    bool Writable() const;

    // The value as profile text; empty for a kind that is not kept.
    QString ToText() const;
    // Sets the property from profile text through its setter. A number that
    // does not read raises EConvertError and changes nothing; an identifier
    // that names no value leaves it unchanged.
    void FromText(const QString& text) const;

    // Digits of the general number text: single 7, double 15, extended 18.
    int FloatPrecision() const { return m_floatPrecision; }

private:
    enum class Alias { None, LabelText, ButtonText, GroupBoxTitle, WindowTitle };

    TPropsStorage(QObject* object, QMetaProperty property);
    TPropsStorage(QObject* object, Alias alias);

    QVariant Read() const;
    void Write(const QVariant& value) const;

    QPointer<QObject> m_object;
    QMetaProperty m_property;
    Alias m_alias = Alias::None;
    QString m_name;
    TPropertyKind m_kind = TPropertyKind::Other;
    QMetaType m_type;
    QMetaEnum m_enum;
    int m_floatPrecision = 0;
};

// Extended value to stored text and back, with "." as the decimal mark
// whatever the locale's mark is.
QString StoredFloatText(long double value, int precision);
// nullopt when the text is not a number.
std::optional<long double> ParseStoredFloat(const QString& text);

}  // namespace dw
