// SPDX-License-Identifier: MIT
#include "storage/widgets/props_storage.h"

#include "common/errors.h"
#include "numeric/core/locale_formats.h"
#include "numeric/widgets/currency_edit.h"
#include "numeric/widgets/extended_metatype.h"
#include "tests/support/number_marks.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <memory>

namespace dw {

// One property of every kind the profile keeps.
class PropertyProbe : public QObject {
    Q_OBJECT
    Q_PROPERTY(float Single MEMBER single)
    Q_PROPERTY(double Real MEMBER real)
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(int Count MEMBER count)
    Q_PROPERTY(uint Mask MEMBER mask)
    Q_PROPERTY(short Small MEMBER small)
    Q_PROPERTY(qlonglong Big MEMBER big)
    Q_PROPERTY(bool Checked MEMBER checked)
    Q_PROPERTY(Shape Kind MEMBER kind)
    Q_PROPERTY(Qt::Alignment Align MEMBER align)
    Q_PROPERTY(QChar Letter MEMBER letter)
    Q_PROPERTY(QVariant Anything MEMBER anything)
    Q_PROPERTY(QColor Colour MEMBER colour)
    Q_PROPERTY(int ReadOnly READ ReadOnly)

public:
    enum Shape { stCircle, stSquare, stTriangle };
    Q_ENUM(Shape)

    int ReadOnly() const { return 7; }

    float single = 0;
    double real = 0;
    QString caption;
    int count = 0;
    uint mask = 0;
    short small = 0;
    qlonglong big = 0;
    bool checked = false;
    Shape kind = stCircle;
    Qt::Alignment align = Qt::AlignLeft;
    QChar letter;
    QVariant anything;
    QColor colour;
};

namespace {

TPropsStorage Property(QObject* object, const char* name)
{
    auto found = TPropsStorage::Find(object, QString::fromLatin1(name));
    EXPECT_TRUE(found) << name;
    return *found;
}

TEST(PropsStorage, NamesAreFoundWithoutRegardToCaseAndKeepTheirDeclaredSpelling)
{
    PropertyProbe probe;
    const struct {
        const char* asked;
        const char* declared;
        TPropertyKind kind;
    } rows[] = {
        {"single", "Single", TPropertyKind::Float},
        {"REAL", "Real", TPropertyKind::Float},
        {"caption", "Caption", TPropertyKind::String},
        {"count", "Count", TPropertyKind::Integer},
        {"Checked", "Checked", TPropertyKind::Enumeration},
        {"kind", "Kind", TPropertyKind::Enumeration},
        {"align", "Align", TPropertyKind::Set},
        {"letter", "Letter", TPropertyKind::WideChar},
        {"anything", "Anything", TPropertyKind::Variant},
        {"colour", "Colour", TPropertyKind::Other},
        {"objectname", "objectName", TPropertyKind::String},
    };
    for (const auto& row : rows) {
        const auto property = TPropsStorage::Find(&probe, QString::fromLatin1(row.asked));
        ASSERT_TRUE(property) << row.asked;
        EXPECT_EQ(property->Name(), QLatin1String(row.declared)) << row.asked;
        EXPECT_EQ(property->Kind(), row.kind) << row.asked;
    }
    EXPECT_FALSE(TPropsStorage::Find(&probe, QStringLiteral("Missing")));
    EXPECT_FALSE(TPropsStorage::Find(&probe, QString()));
    EXPECT_FALSE(Property(&probe, "ReadOnly").Writable());
}

TEST(PropsStorage, AnExactSpellingWinsOverTheMostDerivedClass)
{
    // The numeric field has its own "Text" beside the edit control's "text".
    TCurrencyEdit field;
    EXPECT_EQ(Property(&field, "text").Name(), QStringLiteral("text"));
    EXPECT_EQ(Property(&field, "Text").Name(), QStringLiteral("Text"));
    EXPECT_EQ(Property(&field, "TEXT").Name(), QStringLiteral("Text"));
    EXPECT_EQ(Property(&field, "value").Name(), QStringLiteral("Value"));
    EXPECT_EQ(Property(&field, "value").FloatPrecision(), 18);
}

TEST(PropsStorage, FloatsAreWrittenWithAPointWhateverTheLocale)
{
    ScopedLocaleFormats marks(test::CommaSpaceMarks());
    TCurrencyEdit field;
    PropertyProbe probe;
    const TPropsStorage value = Property(&field, "Value");
    const struct {
        const char* name;
        long double value;
        const char* text;
    } rows[] = {
        {"zero", 0, "0"},          {"one and a half", 1.5L, "1.5"},
        {"integer", 2750, "2750"}, {"negative", -0.25L, "-0.25"},
        {"large", 2e38L, "2E38"},
    };
    for (const auto& row : rows) {
        field.SetValue(row.value);
        EXPECT_EQ(value.ToText(), QLatin1String(row.text)) << row.name;
        field.SetValue(12345);
        value.FromText(QLatin1String(row.text));
        EXPECT_EQ(field.StoredValue(), row.value) << row.name;
    }
    // Precision by float type: single 7 digits, double 15.
    probe.single = 0.1f;
    EXPECT_EQ(Property(&probe, "Single").ToText(), QStringLiteral("0.1"));
    probe.real = 1.0 / 3.0;
    EXPECT_EQ(Property(&probe, "Real").ToText(), QStringLiteral("0.333333333333333"));
    Property(&probe, "Real").FromText(QStringLiteral("2.5"));
    EXPECT_EQ(probe.real, 2.5);
    probe.real = 1.5e-7;
    EXPECT_EQ(Property(&probe, "Real").ToText(), QStringLiteral("1.5E-7"));
    // A hand-edited file with the locale's own mark still reads.
    Property(&probe, "Real").FromText(QStringLiteral("0,75"));
    EXPECT_EQ(probe.real, 0.75);
}

TEST(PropsStorage, AFloatThatDoesNotReadRaisesAndKeepsTheValue)
{
    ScopedLocaleFormats marks(test::CommaSpaceMarks());
    TCurrencyEdit field;
    field.SetValue(4);
    const TPropsStorage value = Property(&field, "Value");
    for (const char* text : {"abc", "", "1.5.5", "--1", "1 5x"}) {
        EXPECT_THROW(value.FromText(QLatin1String(text)), EConvertError) << text;
        EXPECT_EQ(field.StoredValue(), 4) << text;
    }
}

TEST(PropsStorage, OrdinalKindsRoundTripThroughTheirText)
{
    PropertyProbe probe;
    const struct {
        const char* property;
        const char* text;    // what is read
        const char* stored;  // what is then written
    } rows[] = {
        {"Count", "42", "42"},
        {"Count", "-7", "-7"},
        {"Count", "$10", "16"},
        {"Count", "abc", "0"},
        {"Count", "99999999999", "0"},
        {"Mask", "4294967295", "4294967295"},
        {"Mask", "-1", "0"},
        {"Small", "40000", "0"},
        {"Small", "-32768", "-32768"},
        {"Big", "9000000000", "9000000000"},
        {"Checked", "true", "True"},
        {"Checked", "FALSE", "False"},
        {"Kind", "stsquare", "stSquare"},
        {"Kind", "stTriangle", "stTriangle"},
        {"Align", "[AlignRight,AlignVCenter]", "[AlignRight,AlignVCenter]"},
        {"Align", "alignhcenter alignbottom", "[AlignHCenter,AlignBottom]"},
        {"Align", "[AlignLeft, Nonsense]", "[AlignLeft]"},
        {"Align", "[]", "[]"},
        {"Letter", "Жук", "Ж"},
        {"Anything", "some text", "some text"},
        {"Caption", "  kept as it is ", "  kept as it is "},
    };
    for (const auto& row : rows) {
        const TPropsStorage property = Property(&probe, row.property);
        property.FromText(QString::fromUtf8(row.text));
        EXPECT_EQ(property.ToText(), QString::fromUtf8(row.stored)) << row.property << " " << row.text;
    }
}

TEST(PropsStorage, AnIdentifierThatNamesNothingLeavesTheValue)
{
    PropertyProbe probe;
    probe.checked = true;
    probe.kind = PropertyProbe::stSquare;
    probe.letter = QLatin1Char('x');
    Property(&probe, "Checked").FromText(QStringLiteral("yes"));
    Property(&probe, "Kind").FromText(QStringLiteral("stHexagon"));
    Property(&probe, "Letter").FromText(QString());
    EXPECT_TRUE(probe.checked);
    EXPECT_EQ(probe.kind, PropertyProbe::stSquare);
    EXPECT_EQ(probe.letter, QLatin1Char('x'));
    // Kinds that are not kept give no text and take none.
    probe.colour = Qt::red;
    EXPECT_TRUE(Property(&probe, "Colour").ToText().isEmpty());
    Property(&probe, "Colour").FromText(QStringLiteral("#00ff00"));
    EXPECT_EQ(probe.colour, QColor(Qt::red));
}

TEST(PropsStorage, CaptionIsTheTextOfLabelsButtonsGroupBoxesAndWindows)
{
    QWidget window;
    auto* label = new QLabel(&window);
    auto* button = new QPushButton(&window);
    auto* box = new QGroupBox(&window);
    Property(label, "caption").FromText(QStringLiteral("12.03.2024"));
    Property(button, "Caption").FromText(QStringLiteral("РАСЧЕТ"));
    Property(box, "Caption").FromText(QStringLiteral("L инструмента"));
    Property(&window, "Caption").FromText(QStringLiteral("Окно"));
    EXPECT_EQ(label->text(), QStringLiteral("12.03.2024"));
    EXPECT_EQ(button->text(), QStringLiteral("РАСЧЕТ"));
    EXPECT_EQ(box->title(), QStringLiteral("L инструмента"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Окно"));
    // A label takes the size of its new caption.
    EXPECT_EQ(label->size(), label->sizeHint());
    EXPECT_EQ(Property(label, "CAPTION").Name(), QStringLiteral("Caption"));
    EXPECT_EQ(Property(label, "Caption").ToText(), QStringLiteral("12.03.2024"));
    // A plain control has no caption.
    QWidget plain(&window);
    EXPECT_FALSE(TPropsStorage::Find(&plain, QStringLiteral("Caption")));
}

}  // namespace
}  // namespace dw

#include "props_storage_test.moc"
