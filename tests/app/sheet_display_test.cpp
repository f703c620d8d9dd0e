// SPDX-License-Identifier: MIT
// The printed sheet in the crew's language and units: what it shows, that
// every caption and every value has room on it, its text export and its
// names, and the designed sheet coming back whole.

#include "app/form1.h"
#include "app/report_sheet.h"
#include "app/sheet_holder.h"
#include "app/translations.h"
#include "app/weight_fields.h"
#include "common/error_display.h"
#include "decor/transparent_button.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"
#include "report/elements/label.h"
#include "report/generation/report.h"
#include "report/output/ascii_export_filter.h"
#include "report/preview/preview.h"
#include "report/preview/standard_preview.h"
#include "storage/core/profile_location.h"
#include "tests/support/file_bytes.h"
#include "tests/support/number_marks.h"
#include "tests/support/open_preview.h"
#include "tests/support/page_records.h"
#include "tests/support/qt_files.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

namespace dw {
namespace {

using units::TFieldKind;
using units::TLanguage;
using units::TUnitSystem;

// The calculation's inputs and results as the main window holds them: the
// handbook's worked example in metric, the same string in oilfield units.
const std::map<int, long double> kMetricExample = {
    {38, 2.5L},  {39, 4.2L},   {40, 1.8L},   {41, 1.3L},   {42, 1.1L}, {43, 0.2L}, {44, 1.2L},
    {45, 7.85L}, {9, 1000},    {10, 150},    {17, 127},    {18, 178},  {25, 29},   {26, 97.6L},
    {32, 11.1L}, {33, 43.64L}, {34, 36.97L}, {35, 48.07L}, {37, 1150},
};
const std::map<int, long double> kOilfieldExample = {
    {38, 8},     {39, 35},     {40, 6.5L},    {41, 4.5L},    {42, 3.2L},   {43, 0.8L},  {44, 10.5L},
    {45, 65.5L}, {9, 10000},   {10, 500},     {17, 5},       {18, 6.625L}, {25, 19.5L}, {26, 91},
    {32, 58},    {33, 240.5L}, {34, 201.95L}, {35, 259.95L}, {37, 10500},
};

struct Display {
    const char* name;
    TLanguage language;
    TUnitSystem units;
    LocaleFormatSettings marks;
    // The unit words as the window shows them, by kind; none: the designed
    // window's own display patterns.
    std::map<TFieldKind, const char*> words;
    const char* date;
    const char* time;
    // Every caption the sheet shows, in its order.
    QStringList captions;
    // Texts of the window (and so of the sheet) that must be among the values.
    std::vector<const char*> values;
    const char* fileNameStart;
    // Texts that run into the next one in the text export, as designed.
    QStringList runTogether = {};
};

void PrintTo(const Display& row, std::ostream* out)
{
    *out << row.name;
}

LocaleFormatSettings UsMarks()
{
    LocaleFormatSettings settings = test::Marks(".", ",");
    settings.ShortDatePattern = "mm/dd/yyyy";
    return settings;
}

const QStringList kRussianCaptions = {
    "ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА",
    "Вес квадрата",
    "Вес талевого блока",
    "Вес каната",
    "Вес крюка",
    "Вес вертлюга",
    "Вес бурового рукава",
    "Удельный вес раствора",
    "Удельный вес металла",
    "L инстр.",
    "D инстр.",
    "Вес 1 метра",
    "Вес талевой системы",
    "Вес бурового инструмента",
    "чистый",
    "Вес бурового инструмента",
    "с учетом вытеснения",
    "Вес бурового инструмента",
    "с учетом талевой системы",
    "Длина инструмента",
};

QStringList Replaced(QStringList captions, int index, const char* caption)
{
    captions[index] = QString::fromUtf8(caption);
    return captions;
}

const QStringList kEnglishCaptions = {
    "DRILL STRING WEIGHT",
    "Kelly weight",
    "Travelling block weight",
    "Drilling line weight",
    "Hook weight",
    "Swivel weight",
    "Drilling hose weight",
    "Mud density",
    "Pipe steel density",
    "Length",
    "OD",
    "Weight per m",
    "Travelling system weight",
    "String weight",
    "in air (net)",
    "String weight",
    "in mud (buoyed)",
    "Hook load",
    "string and travelling system",
    "String length",
};

const std::map<TFieldKind, const char*> kEnglishMetric = {
    {TFieldKind::Length, "m"},          {TFieldKind::Diameter, "mm"},    {TFieldKind::MetreWeight, "kg/m"},
    {TFieldKind::EquipmentWeight, "t"}, {TFieldKind::ResultWeight, "t"}, {TFieldKind::ResultLength, "m"},
    {TFieldKind::Gravity, "g/cm3"},
};
const std::map<TFieldKind, const char*> kEnglishOilfield = {
    {TFieldKind::Length, "ft"},           {TFieldKind::Diameter, "in"},      {TFieldKind::MetreWeight, "lb/ft"},
    {TFieldKind::EquipmentWeight, "klb"}, {TFieldKind::ResultWeight, "klb"}, {TFieldKind::ResultLength, "ft"},
    {TFieldKind::Gravity, "ppg"},
};
// As the Russian window writes them.
const std::map<TFieldKind, const char*> kRussianOilfield = {
    {TFieldKind::Length, "фт"},           {TFieldKind::Diameter, "дюйм"},    {TFieldKind::MetreWeight, "фн/фт"},
    {TFieldKind::EquipmentWeight, "кип"}, {TFieldKind::ResultWeight, "кип"}, {TFieldKind::ResultLength, "фт"},
    {TFieldKind::Gravity, "фн/гал"},
};

const Display kDisplays[] = {
    {"Russian metric, the designed sheet",
     TLanguage::Russian,
     TUnitSystem::Metric,
     test::CommaSpaceMarks(),
     {},
     "08.12.2026",
     "14:05:09",
     kRussianCaptions,
     {"2,50 т.", "1,20 г/см3.", "1 000,0 м.", "127 мм.", "29,00 кг.", "48,070 т.", "1 150,0 м."},
     "Вес инструмента 2026-12-08 14-05-09",
     {"Удельный вес раствора", "1,20 г/см3."}},
    {"Russian oilfield",
     TLanguage::Russian,
     TUnitSystem::Oilfield,
     test::CommaSpaceMarks(),
     kRussianOilfield,
     "08.12.2026",
     "14:05:09",
     Replaced(kRussianCaptions, 11, "Вес 1 фута"),
     {"35,00 кип", "10,50 фн/гал", "65,50 фн/гал", "10 000,0 фт", "6,625 дюйм", "19,50 фн/фт", "259,950 кип",
      "10 500,0 фт"},
     "Вес инструмента 2026-12-08 14-05-09"},
    {"English metric",
     TLanguage::English,
     TUnitSystem::Metric,
     UsMarks(),
     kEnglishMetric,
     "12/08/2026",
     "2:05:09 PM",
     kEnglishCaptions,
     {"2.50 t", "1.20 g/cm3", "1,000.0 m", "127 mm", "29.00 kg/m", "48.070 t", "1,150.0 m"},
     "Drill string weight 2026-12-08 14-05-09"},
    {"English oilfield",
     TLanguage::English,
     TUnitSystem::Oilfield,
     UsMarks(),
     kEnglishOilfield,
     "12/08/2026",
     "2:05:09 PM",
     Replaced(Replaced(kEnglishCaptions, 11, "Weight per ft"), 7, "Mud weight"),
     {"35.00 klb", "10.50 ppg", "65.50 ppg", "10,000.0 ft", "6.625 in", "19.50 lb/ft", "58.000 klb", "240.500 klb",
      "201.950 klb", "259.950 klb", "10,500.0 ft"},
     "Drill string weight 2026-12-08 14-05-09"},
};

// The sheet chosen and filled as the print command fills it, from the texts
// the main window shows in that language and those units.
class SheetDisplay : public ::testing::TestWithParam<Display> {
protected:
    void SetUp() override
    {
        const Display& row = GetParam();
        marks.emplace(row.marks);
        form.SetDisplay(row.language, row.units);
        report().ShowProgress = false;
        test::UseBackend(report(), test::A3Backend());
        const auto& example = row.units == TUnitSystem::Oilfield ? kOilfieldExample : kMetricExample;
        for (const fields::TWeightField& field : fields::kWeightFields) {
            const auto given = example.find(field.Number);
            const std::string pattern = row.words.empty()
                                            ? std::string(field.DisplayFormat)
                                            : units::DisplayPattern(field.Kind, row.units, row.words.at(field.Kind));
            SetFieldCaption(form.VpLabel(field.SheetLabel), QString::fromStdString(FormatNumberPattern(
                                                                pattern, given != example.end() ? given->second : 0)));
        }
        for (const TSheetLabel& label : SheetLabels()) {
            if (label.Source == TSheetSource::Date)
                form.VpLabel(label.Number).SetCaption(QString::fromUtf8(row.date));
            if (label.Source == TSheetSource::Time)
                form.VpLabel(label.Number).SetCaption(QString::fromUtf8(row.time));
        }
    }
    TVpReport& report() { return form.VpReport1(); }
    // The texts as printed, in the labels' order.
    QStringList Printed() const
    {
        QStringList texts;
        for (const TSheetLabel& label : SheetLabels()) texts << form.VpLabel(label.Number).Caption();
        return texts;
    }

    std::optional<ScopedLocaleFormats> marks;
    TSheetHolder form;
};

// The numbers of the window's texts read as spaces: the thousands mark of
// the Russian desktop is a no-break space.
QString Plain(QString text)
{
    return text.replace(QChar(0x00A0), QLatin1Char(' '));
}

TEST_P(SheetDisplay, ShowsItsCaptionsAndEveryValueWithItsUnitAndRoomForEach)
{
    const Display& row = GetParam();
    test::PageRecords page;
    test::PreviewAndInspect(report(), [&page](TVpPrinter& printer) {
        if (const auto first = printer.GetPage(1))
            page = test::ReadPage(*first);
    });
    ASSERT_EQ(page.Texts.size(), 59U);
    ASSERT_EQ(page.Fills.size(), 59U);
    QStringList captions;
    QStringList values;
    for (std::size_t i = 0; i < page.Texts.size(); ++i)
        (SheetLabels()[i].Source == TSheetSource::Caption ? captions : values) << Plain(page.Texts[i].Text);
    EXPECT_EQ(captions, row.captions);
    for (const char* value : row.values)
        EXPECT_TRUE(values.contains(QString::fromUtf8(value)))
            << value << " not among " << values.join(" | ").toStdString();
    EXPECT_FALSE(values.contains(QString::fromUtf8(kSheetTooLongMark))) << values.join(" | ").toStdString();

    // Each text within its label's box, each box on the page's printable
    // part (10 mm margins), and no two boxes over each other.
    const int printableRight = (2970 - 100) * 96 / 254;
    for (std::size_t i = 0; i < page.Texts.size(); ++i) {
        const test::PageFill& box = page.Fills[i];
        const int number = SheetLabels()[i].Number;
        SCOPED_TRACE("VpLabel" + std::to_string(number) + " \"" + page.Texts[i].Text.toStdString() + "\"");
        EXPECT_LE(form.VpLabel(number).TextWidth(page.Texts[i].Text), box.Width);
        EXPECT_GE(box.Left, 38);
        EXPECT_LE(box.Left + box.Width, printableRight);
        for (std::size_t j = i + 1; j < page.Fills.size(); ++j) {
            const test::PageFill& other = page.Fills[j];
            const bool apart = box.Left + box.Width <= other.Left || other.Left + other.Width <= box.Left ||
                               box.Top + box.Height <= other.Top || other.Top + other.Height <= box.Top;
            EXPECT_TRUE(apart) << "over VpLabel" << SheetLabels()[j].Number << " \"" << page.Texts[j].Text.toStdString()
                               << "\"";
        }
    }
}

TEST_P(SheetDisplay, ExportsAsTextWithEveryCaptionAndValueWholeAndApart)
{
    const Display& row = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.txt"));
    {
        TVpAsciiExportFilter filter(path.toStdString());
        report().ExportToFilter(filter);
    }
    const QString text = Plain(QString::fromUtf8(test::ReadAll(path)));
    for (const QString& printed : Printed()) {
        // Whole, and with a space or the line's end on either side: not
        // cut, not run into its neighbour (but where the design has it so).
        const bool together = row.runTogether.contains(printed);
        const QRegularExpression whole((together ? QString() : QStringLiteral("(^| )")) +
                                           QRegularExpression::escape(Plain(printed)) +
                                           (together ? QString() : QStringLiteral("( |\r|$)")),
                                       QRegularExpression::MultilineOption);
        EXPECT_TRUE(whole.match(text).hasMatch()) << printed.toStdString() << " not in:\n" << text.toStdString();
    }
    for (const char* value : row.values) EXPECT_TRUE(text.contains(QString::fromUtf8(value))) << value;
    const bool cyrillic = text.contains(QRegularExpression(QStringLiteral("[А-Яа-яЁё]")));
    EXPECT_EQ(cyrillic, row.language == TLanguage::Russian) << text.toStdString();
}

TEST_P(SheetDisplay, NamesItsJobAndFilesInItsLanguage)
{
    const Display& row = GetParam();
    const TVpReportNames names = SheetNames(report(), QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9)), row.language);
    EXPECT_EQ(QString::fromStdString(names.Title), row.captions.front() + QLatin1Char(' ') +
                                                       QString::fromUtf8(row.date) + QLatin1Char(' ') +
                                                       QString::fromUtf8(row.time));
    EXPECT_EQ(names.FileNameStem, row.fileNameStart);
    // What the preview, the print job and the PDF are named by.
    std::string shown;
    std::string stem;
    test::PreviewAndInspect(report(), [&](TVpPrinter& printer) {
        shown = printer.Title();
        stem = printer.FileNameStem();
    });
    EXPECT_EQ(shown, names.Title);
    // Less its moment, "YYYY-MM-DD HH-MM-SS": the preview's own.
    const std::string start(row.fileNameStart);
    EXPECT_EQ(stem.substr(0, start.size() - 19), start.substr(0, start.size() - 19));
}

INSTANTIATE_TEST_SUITE_P(LanguagesAndUnits, SheetDisplay, ::testing::ValuesIn(kDisplays), [](const auto& instance) {
    QString name = QString::fromLatin1(instance.param.name);
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("_"));
    return name.toStdString();
});

// Whatever was shown before, Russian and metric is the designed sheet again:
// every label where it was designed, as big as designed, with its designed
// caption, and its files named in Russian.
TEST(SheetDisplayBack, RussianMetricIsTheDesignedSheetWhateverCameBefore)
{
    struct Row {
        const char* name;
        std::vector<std::pair<TLanguage, TUnitSystem>> before;
    };
    const Row rows[] = {
        {"never chosen", {}},
        {"after English oilfield", {{TLanguage::English, TUnitSystem::Oilfield}}},
        {"after Russian oilfield", {{TLanguage::Russian, TUnitSystem::Oilfield}}},
        {"after English metric, then Russian oilfield",
         {{TLanguage::English, TUnitSystem::Metric}, {TLanguage::Russian, TUnitSystem::Oilfield}}},
    };
    const auto native = [](int pixels) { return static_cast<Extended>(pixels) * 254 / 96; };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TSheetHolder form;
        for (const auto& [language, units] : row.before) form.SetDisplay(language, units);
        if (!row.before.empty())
            form.SetDisplay(TLanguage::Russian, TUnitSystem::Metric);
        for (const TSheetLabel& label : SheetLabels()) {
            const TVpPrintableSize& size = form.VpLabel(label.Number).Size();
            SCOPED_TRACE("VpLabel" + std::to_string(label.Number));
            EXPECT_EQ(size.NativeValue(TVpPrintableSize::kHeight), native(label.Height));
            EXPECT_EQ(size.NativeValue(TVpPrintableSize::kLeft), native(label.Left));
            EXPECT_EQ(size.NativeValue(TVpPrintableSize::kTop), native(label.Top));
            EXPECT_EQ(size.NativeValue(TVpPrintableSize::kWidth), native(label.Width));
            if (label.Source == TSheetSource::Caption)
                EXPECT_EQ(form.VpLabel(label.Number).Caption(), QString::fromUtf8(label.Caption));
        }
        test::UseBackend(form.VpReport1(), test::A3Backend());
        std::string stem;
        test::PreviewAndInspect(form.VpReport1(), [&stem](TVpPrinter& printer) { stem = printer.FileNameStem(); });
        EXPECT_EQ(QString::fromStdString(stem).left(16), QStringLiteral("Вес инструмента "));
    }
}

// ПЕЧАТЬ in the window of a choice kept in the profile, or made in the
// window menu's dialog since: the sheet is the window's language and units.
TEST(SheetDisplayOfTheWindow, PrintsTheSheetOfTheWindowsLanguageAndUnits)
{
    struct Row {
        const char* name;
        const char* profile;
        std::optional<units::TDisplaySettings> chosenSince;
        std::vector<const char*> texts;  // among the printed page's
        const char* notPrinted;
    };
    const char* const oilfieldInputs =
        "[TForm1]\nCurrencyEdit38_Value=8\nCurrencyEdit9_Value=10000\n"
        "CurrencyEdit25_Value=19.5\nCurrencyEdit44_Value=10.5\n"
        "CurrencyEdit45_Value=65.5\n";
    const Row rows[] = {
        {"nothing chosen", "", std::nullopt, {"ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА", "Вес 1 метра"}, "Вес 1 фута"},
        {"English and oilfield kept",
         "[Display]\nLanguage=en\nUnits=oilfield\n",
         std::nullopt,
         {"DRILL STRING WEIGHT", "Weight per ft", "8,00 klb", "10 000,0 ft", "195,000 klb"},
         "Вес квадрата"},
        {"oilfield kept, no language: the Russian sheet",
         "[Display]\nUnits=oilfield\n",
         std::nullopt,
         {"ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА", "Вес 1 фута", "8,00 кип", "10,50 фн/гал"},
         "Вес 1 метра"},
        {"English and metric chosen in the dialog since",
         "",
         units::TDisplaySettings{units::TLanguage::English, units::TUnitSystem::Metric},
         {"DRILL STRING WEIGHT", "Weight per m"},
         "Вес квадрата"},
        {"back to Russian and metric in the dialog",
         "[Display]\nLanguage=en\nUnits=oilfield\n",
         units::TDisplaySettings{units::TLanguage::Russian, units::TUnitSystem::Metric},
         {"ИЗМЕРЕНИЕ ВЕСА БУРОВОГО ИНСТРУМЕНТА", "Вес 1 метра"},
         "DRILL STRING WEIGHT"},
    };
    // A desktop without the Russian catalogue: a Russian word on the sheet
    // comes from the choice, not from the machine.
    const Translations language(QLocale::c(), {QStringLiteral(DW_TRANSLATIONS_DIR)});
    const ScopedLocaleFormats marks(test::CommaSpaceMarks());
    RegisterStandardPreview();
    std::vector<std::string> errors;
    ErrorDisplayHandler previous =
        SetErrorDisplay([&errors](const std::string& message) { errors.push_back(message); });
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::WriteBytes(ProfilePath("davov"), std::string(row.profile) + oilfieldInputs);
        QStringList texts;
        {
            TSheetHolder sheet;
            TForm1 form(&sheet);
            form.show();
            if (row.chosenSince)
                form.ChangeDisplay(*row.chosenSince);
            QTimer poll;
            int looks = 0;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                // The page made, in whatever language the preview speaks;
                // a preview that never gets it is closed, so the test fails
                // instead of waiting for ever.
                TVpStandardPreview* preview = test::OpenPreview();
                TVpPrinter* printer = preview != nullptr ? preview->VpPreview()->VpPrinter() : nullptr;
                const bool made =
                    printer != nullptr && printer->Status() == TVpPrinterStatus::Finished && printer->PageCount() == 1;
                if (!made && ++looks < 1000)
                    return;
                poll.stop();
                if (preview == nullptr)
                    return;
                if (const auto page = made ? printer->GetPage(1) : nullptr)
                    for (const test::PageText& text : test::ReadPage(*page).Texts) texts << Plain(text.Text);
                preview->close();
            });
            poll.start(20);
            QTest::mouseClick(form.TransparentButton1(), Qt::LeftButton);
            poll.stop();
        }
        ASSERT_FALSE(texts.isEmpty()) << "no sheet was shown";
        for (const char* text : row.texts)
            EXPECT_TRUE(texts.contains(QString::fromUtf8(text)))
                << text << " not among " << texts.join(" | ").toStdString();
        EXPECT_FALSE(texts.contains(QString::fromUtf8(row.notPrinted))) << row.notPrinted;
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
    SetErrorDisplay(std::move(previous));
    SetStandardPreviewFactory(nullptr);
}

}  // namespace
}  // namespace dw
