// SPDX-License-Identifier: MIT
#include "app/form1.h"

#include "app/app_icon.h"
#include "app/fonts.h"
#include "app/group_box.h"
#include "app/label.h"
#include "app/main_window_design.h"
#include "app/report_sheet.h"
#include "app/sheet_holder.h"
#include "app/weight_fields.h"
#include "app/window_zoom.h"
#include "calc/plausibility.h"
#include "common/error_display.h"
#include "decor/gradient_caption.h"
#include "decor/transparent_button.h"
#include "decor/window_frame.h"
#include "design/designed_palette.h"
#include "journal/widgets/crew_journal.h"
#include "journal/widgets/journal_window.h"
#include "numeric/core/date_time.h"
#include "numeric/core/date_time_format.h"
#include "numeric/core/extended.h"
#include "numeric/widgets/currency_edit.h"
#include "report/elements/label.h"
#include "report/generation/report.h"
#include "report/preview/standard_preview.h"
#include "storage/widgets/form_storage.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShortcut>

#include <algorithm>

namespace dw {

namespace {

// Results that were not calculated from the inputs shown: the designed yellow
// sunk halfway into the field's green, so they read as void at a glance.
const QColor kStaleResultText(128, 192, 0);

void SetColours(QWidget* widget, const QColor* background, const QColor& text)
{
    QPalette palette = widget->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) palette.setColor(role, text);
    if (background)
        palette.setColor(QPalette::Base, *background);
    widget->setPalette(palette);
}

// The field each caption names, from the field table: the equipment and the
// mud in the panel, then the results, each in the table's order.
constexpr std::array<const fields::TWeightField*, 13> kCaptionedFields = [] {
    std::array<const fields::TWeightField*, 13> named{};
    std::size_t n = 0;
    for (const fields::TWeightField& row : fields::kWeightFields)
        if (row.Home == fields::TFieldHome::Panel)
            named[n++] = &row;
    for (const fields::TWeightField& row : fields::kWeightFields)
        if (fields::IsResult(row))
            named[n++] = &row;
    return named;
}();
static_assert(std::ranges::all_of(kCaptionedFields, [](const auto* field) { return field != nullptr; }),
              "every caption names a field");

// An input the program doubts: a pale orange face, far from the results'
// green and the columns' silver, with the reason in the tooltip.
const QColor kImplausibleFace(255, 200, 150);

const fields::TWeightField& FieldRow(int number)
{
    return *std::find_if(fields::kWeightFields.begin(), fields::kWeightFields.end(),
                         [number](const fields::TWeightField& row) { return row.Number == number; });
}

QString FindingText(const PlausibilityFinding& finding, units::TUnitSystem system)
{
    const QString name = TForm1::FieldName(FieldRow(fields::InputField(finding.Input)), system);
    const bool feet = system == units::TUnitSystem::Oilfield;
    switch (finding.Rule) {
        case PlausibilityRule::Negative:
            return TForm1::tr("%1 is below zero").arg(name);
        case PlausibilityRule::LengthWithoutMetreWeight:
            return (feet ? TForm1::tr("Section %1: a length but no weight of one foot")
                         : TForm1::tr("Section %1: a length but no weight of one metre"))
                .arg(finding.Section);
        case PlausibilityRule::MetreWeightWithoutLength:
            return (feet ? TForm1::tr("Section %1: a weight of one foot but no length")
                         : TForm1::tr("Section %1: a weight of one metre but no length"))
                .arg(finding.Section);
        case PlausibilityRule::MudGravityZero:
            return feet ? TForm1::tr("The mud density is not given (0)")
                        : TForm1::tr("The mud specific gravity is not given (0)");
        case PlausibilityRule::MudNotLighterThanMetal:
            return feet ? TForm1::tr("The mud density is not below the steel's")
                        : TForm1::tr("The mud specific gravity is not below the steel's");
    }
    return name;
}

// A reader presents the main window as a window (a plain widget would be a
// "filler" it skips over), named by its title.
QAccessibleInterface* MainWindowAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("dw::TForm1") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

// A label sizes itself to its caption.
void FitToCaption(QLabel* label)
{
    label->resize(label->sizeHint());
}

}  // namespace

TForm1::TForm1(TSheetHolder* reportHolder, QWidget* parent) : QWidget(parent), m_reportHolder(reportHolder)
{
    setObjectName(QStringLiteral("Form1"));
    static const bool accessibleAsWindow = [] {
        QAccessible::installFactory(MainWindowAccessible);
        return true;
    }();
    (void)accessibleAsWindow;
    setWindowIcon(ProgramIcon());
    setFont(FormFont(11));
    // The background is the button face, and every colour the design does
    // not name comes from the designed desktop, so a dark desktop theme
    // cannot sink the navy captions or whiten the text of silver fields.
    QPalette palette = DesignedPalette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    setPalette(palette);
    setAutoFillBackground(true);
    // The controls live in the client area; what surrounds it (frame and
    // caption bar) belongs to the window's decoration.
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    m_client->setGeometry(0, 0, kClientWidth, kClientHeight);
    setGeometry(192, 109, kClientWidth, kClientHeight);

    // Creation order is stacking order: where rectangles touch, the later
    // control is drawn on top.
    CreateLabels();
    m_transparentButton1 = new TTransparentButton(m_client);
    m_transparentButton1->setObjectName(QStringLiteral("TransparentButton1"));
    m_transparentButton1->SetFontColor(colour::Blue);
    connect(m_transparentButton1, &TTransparentButton::OnClick, this,
            [this](QObject* sender) { RunReportingErrors([this, sender] { TransparentButton1Click(sender); }); });
    CreateColumns();
    CreateResults();
    CreatePanel();
    SetKeyboardOrder();
    SetKeys();
    DescribeForScreenReaders();
    WatchResultsCurrency();
    WatchPlausibility();

    // The frame and caption bar are drawn by the program: the window's outer
    // size is then exactly the designed 445 x 365 on every desktop.
    new TWindowFrame(this, m_client);
    CreateFormStorage();
    m_gradientCaption1 = new TGradientCaption(this);
    m_gradientCaption1->setObjectName(QStringLiteral("GradientCaption1"));
    m_gradientCaption1->SetGradientInactive(true);
    // Title, captions, their places and the commands: the designed window.
    ApplyMainWindowDesign(*this, units::TLanguage::Russian, units::TUnitSystem::Metric);
    SetUpJournal();
    m_bitBtn1->setFocus();
    // The units decide how many decimals a field keeps, so they come before
    // the stored values.
    SetUpDisplay();
    m_formStorage1->Loaded();
    AddZoomKeysAndMenu();
}

TForm1::~TForm1()
{
    // The journal window goes before the journal it shows.
    m_journalWindow.reset();
    // The controls go after this window's members: nothing they or the
    // application signal while going may reach a window already half gone.
    disconnect(qApp, nullptr, this, nullptr);
    for (TCurrencyEdit* field : m_fields)
        if (field != nullptr) {
            disconnect(field, nullptr, this, nullptr);
            field->removeEventFilter(this);
        }
}

void TForm1::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
}

TCurrencyEdit* TForm1::CurrencyEdit(int number) const
{
    return m_fields.at(number);
}

void TForm1::CreateLabels()
{
    // Their texts and places are the language's design.
    for (int i = 0; i < 13; ++i) {
        const bool result = fields::IsResult(*kCaptionedFields[i]);
        auto* label = new TLabel(m_client);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setFont(FormFont(11, result));
        SetColours(label, nullptr, result ? colour::Red : colour::Navy);
        m_labels[i] = label;
    }
    // The date of the last calculation; empty until the first one.
    auto* label14 = new TLabel(m_client);
    label14->setObjectName(QStringLiteral("Label14"));
    label14->setFont(FormFont(19, true));
    SetColours(label14, nullptr, colour::Maroon);
    FitToCaption(label14);
    m_labels[13] = label14;
}

void TForm1::CreateFields(fields::TFieldHome home, QWidget* parent)
{
    for (const fields::TWeightField& row : fields::kWeightFields) {
        if (row.Home != home)
            continue;
        auto* field = new TCurrencyEdit(parent);
        field->setObjectName(QStringLiteral("CurrencyEdit%1").arg(row.Number));
        field->setGeometry(row.Left, row.Top, row.Width, row.Height);
        field->SetDisplayFormat(QString::fromUtf8(row.DisplayFormat));
        if (fields::IsResult(row)) {
            field->setFont(FormFont(11, true));
            SetColours(field, &colour::Green, colour::Yellow);
            field->setReadOnly(row.Role == fields::TFieldRole::Result);
            // A result takes the focus by a click, never by Tab.
            field->setFocusPolicy(Qt::ClickFocus);
        }
        m_fields[static_cast<std::size_t>(row.Number)] = field;
    }
}

void TForm1::CreateColumns()
{
    // Their captions are the language's design.
    struct Column {
        QRect box;
        fields::TFieldHome home;
    };
    const Column columns[3] = {
        {{163, 3, 98, 187}, fields::TFieldHome::Lengths},
        {{260, 3, 91, 187}, fields::TFieldHome::Diameters},
        {{350, 3, 84, 187}, fields::TFieldHome::MetreWeights},
    };
    for (int c = 0; c < 3; ++c) {
        const Column& column = columns[c];
        auto* box = new TGroupBox(QString(), m_client);
        box->setObjectName(QStringLiteral("GroupBox%1").arg(c + 1));
        box->setGeometry(column.box);
        // The column's fields take their silver face and black text from the
        // box: one palette for eight fields, the caption in navy.
        QPalette colours = box->palette();
        colours.setColor(QPalette::WindowText, colour::Navy);
        colours.setColor(QPalette::Base, colour::Silver);
        colours.setColor(QPalette::Text, colour::Black);
        box->setPalette(colours);
        m_groupBoxes[c] = box;
        CreateFields(column.home, box);
    }
}

void TForm1::CreateResults()
{
    CreateFields(fields::TFieldHome::Window, m_client);
    // Its caption, place and font are the language's design.
    m_bitBtn1 = new QPushButton(m_client);
    m_bitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    SetColours(m_bitBtn1, nullptr, colour::Red);
    // Enter as well as Space presses the focused button.
    m_bitBtn1->setAutoDefault(true);
    connect(m_bitBtn1, &QPushButton::clicked, this,
            [this] { RunReportingErrors([this] { BitBtn1Click(m_bitBtn1); }); });
}

void TForm1::CreatePanel()
{
    m_panel1 = new QFrame(m_client);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_panel1->setLineWidth(1);
    m_panel1->setGeometry(81, 9, 83, 181);
    // The equipment fields keep the window's text colour on a silver face.
    QPalette colours = m_panel1->palette();
    colours.setColor(QPalette::Base, colour::Silver);
    colours.setColor(QPalette::Text, colours.color(QPalette::WindowText));
    m_panel1->setPalette(colours);
    CreateFields(fields::TFieldHome::Panel, m_panel1);
}

void TForm1::CreateFormStorage()
{
    m_formStorage1 = std::make_unique<TFormStorage>(this);
    m_formStorage1->setObjectName(QStringLiteral("FormStorage1"));
    m_formStorage1->SetIniFileName(QStringLiteral("davov"));
    // Smallest and largest drag size are the same: the window keeps its
    // designed size, and a maximized window stands at (199, 106).
    TWinMinMaxInfo limits;
    limits.SetMaxPosLeft(199);
    limits.SetMaxPosTop(106);
    limits.SetMaxSizeWidth(445);
    limits.SetMaxSizeHeight(365);
    limits.SetMaxTrackWidth(445);
    limits.SetMaxTrackHeight(365);
    limits.SetMinTrackWidth(445);
    limits.SetMinTrackHeight(365);
    m_formStorage1->SetMinMaxInfo(limits);
    // The 32 inputs and the date of the last calculation; the results are
    // computed afresh.
    QStringList stored;
    for (const fields::TWeightField& row : fields::kWeightFields)
        if (!fields::IsResult(row))
            stored << QStringLiteral("CurrencyEdit%1.Value").arg(row.Number);
    stored << QStringLiteral("Label14.Caption");
    m_formStorage1->SetStoredProps(stored);
}

void TForm1::SetKeyboardOrder()
{
    // BitBtn1, the lengths, the diameters, the weights of a metre, then the
    // equipment and the mud; Tab and Shift+Tab wrap around at both ends.
    std::vector<QWidget*> order{m_bitBtn1};
    for (const fields::TWeightField& row : fields::kWeightFields)
        if (!fields::IsResult(row))
            order.push_back(CurrencyEdit(row.Number));
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

bool TForm1::ResultsCurrent() const
{
    if (!m_calculated)
        return false;
    for (std::size_t i = 0; i < kWeightInputCount; ++i) {
        if (CurrencyEdit(fields::kInputFields[i])->EditTextValue() != m_calculated->Inputs[i])
            return false;
    }
    // A length typed over the total length is no result either.
    for (std::size_t i = 0; i < kWeightResultCount; ++i) {
        if (CurrencyEdit(fields::kResultFields[i])->EditTextValue() != m_calculated->Results[i])
            return false;
    }
    return true;
}

void TForm1::WatchResultsCurrency()
{
    // Every keystroke in an input can make the results void, and typing the
    // old value back makes them true again; the diameters play no part.
    for (int number : fields::kInputFields)
        connect(CurrencyEdit(number), &QLineEdit::textChanged, this, &TForm1::ShowResultsCurrency);
    for (int number : fields::kResultFields)
        connect(CurrencyEdit(number), &QLineEdit::textChanged, this, &TForm1::ShowResultsCurrency);
    ShowResultsCurrency();
}

void TForm1::ShowResultsCurrency()
{
    if (m_showingResults)
        return;
    const bool current = ResultsCurrent();
    for (int number : fields::kResultFields) {
        TCurrencyEdit* field = CurrencyEdit(number);
        const QColor& colour = current ? colour::Yellow : kStaleResultText;
        if (field->FontColor() != colour)
            field->SetFontColor(colour);
        const QString stale = tr("These results were calculated for other inputs: press %1").arg(CalculateCaption());
        field->setToolTip(current ? QString() : stale);
        // A reader announces the result as the window shows it, and whether
        // it still holds.
        field->setAccessibleDescription(current ? field->DisplayedText()
                                                : field->DisplayedText() + QLatin1Char(' ') + stale);
    }
}

void TForm1::SetKeys()
{
    // ПЕЧАТЬ takes no focus, so it needs a key of its own.
    auto* print = new QShortcut(QKeySequence::Print, this);
    connect(print, &QShortcut::activated, m_transparentButton1, &TTransparentButton::Click);
    auto* results = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(results, &QShortcut::activated, this, &TForm1::ToggleResultsFocus);
    for (int number : fields::kResultFields) CurrencyEdit(number)->installEventFilter(this);
    // Enter in an input leaves it as Tab does: the value is taken and the
    // next input in the keyboard order gets the focus (after the last one,
    // РАСЧЕТ, where Enter calculates).
    for (const fields::TWeightField& row : fields::kWeightFields)
        if (!fields::IsResult(row))
            connect(CurrencyEdit(row.Number), &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
}

void TForm1::DescribeForScreenReaders()
{
    // The fields carry their names from the field table; a caption also
    // leads a reader to the field it names.
    for (int i = 0; i < 13; ++i) m_labels[i]->setBuddy(CurrencyEdit(kCaptionedFields[i]->Number));
    Label14()->setAccessibleDescription(tr("Date of the last calculation"));
}

void TForm1::BitBtn1Click(QObject* /*sender*/)
try {
    // Every input is read once, through its field, and held at 40 significant
    // bits for the whole command; the arithmetic itself is 80-bit. An input
    // too large ends the command here, with nothing shown.
    std::array<Extended, kWeightInputCount> read{};
    WeightInputs inputs;
    try {
        inputs = ReadWeightInputs([this, &read](WeightInput input) {
            return read[static_cast<std::size_t>(input)] = CurrencyEdit(fields::InputField(input))->Value();
        });
    } catch (const EOverflow&) {
        // The results shown no longer belong to the inputs being read.
        m_calculated.reset();
        ShowResultsCurrency();
        throw;
    }
    const WeightResults results = CalculateWeights(inputs);
    ShowCalculation(read, results);
    if (results.Fault)
        std::rethrow_exception(results.Fault);
    AnnounceResults();
} catch (const std::exception& fault) {
    FocusFieldAtFault(fault);
    throw;
}

void TForm1::ShowCalculation(const std::array<Extended, kWeightInputCount>& inputs, const WeightResults& results)
{
    CurrencyEdit(fields::kKellyWeight)->setFocus();
    Label14()->setText(QString::fromStdString(DateToText(CurrentDate())));
    Label14()->adjustSize();
    {
        // One pass over the fields, one recolouring after it.
        const QScopedValueRollback<bool> writing(m_showingResults, true);
        for (std::size_t i = 0; i < results.Count; ++i)
            CurrencyEdit(fields::kResultFields[i])->SetValue(results.Values[i]);
    }
    // Results that are all there belong to the inputs read; after a fault
    // on the way they belong to nothing.
    if (results.Complete()) {
        TCalculated calculated;
        calculated.Inputs = inputs;
        // As a field reads what it shows: the comparison with what the fields
        // hold later must not see a rounding of its own as a change.
        for (std::size_t i = 0; i < kWeightResultCount; ++i) calculated.Results[i] = HeldInField(results.Values[i]);
        m_calculated = calculated;
    } else {
        m_calculated.reset();
    }
    ShowResultsCurrency();
    if (results.Complete())
        KeepMeasurement();
}

void TForm1::CommitTyping()
{
    for (TCurrencyEdit* field : m_fields)
        if (field != nullptr && field->IsFocusedState())
            field->CommitTyping();
}

void TForm1::TransparentButton1Click(QObject* sender)
{
    if (m_reportHolder == nullptr)
        return;  // a window built on its own
    const TSheetHolder& sheet = *m_reportHolder;
    // A report still producing its page takes no second request; calculating
    // for a sheet that will not be made would only move the focus.
    if (!sheet.VpReport1().Available())
        return;
    // What is being typed counts as typed: the field is taken as leaving it
    // would take it, so the check below and the sheet both see it (a text
    // that is no number stops here with leaving's message).
    CommitTyping();
    if (!ConfirmFindingsBeforePrint())
        return;
    // A signed sheet must never pair inputs with results of other inputs:
    // when they do not belong together, calculate first, exactly as РАСЧЕТ
    // would; a fault there is shown and nothing is printed.
    if (!ResultsCurrent()) {
        try {
            BitBtn1Click(sender);
        } catch (...) {
            // A preview still open shows a sheet of other inputs: it says so.
            if (TVpStandardPreview* open = OpenStandardPreview(sheet.VpReport1().VpPrinter()))
                open->MarkSheetOutdated();
            throw;
        }
    }
    // The captions of the crew's language and units, should a journal
    // record's page have been shown on the sheet since.
    m_reportHolder->ShowChosenDisplay();
    // The report prints what the fields show: a field's displayed text comes
    // from the value it holds.
    for (const fields::TWeightField& row : fields::kWeightFields)
        SetFieldCaption(sheet.VpLabel(row.SheetLabel), CurrencyEdit(row.Number)->DisplayedText());
    // Two readings of the clock, the date first.
    for (const TSheetLabel& row : SheetLabels()) {
        if (row.Source == TSheetSource::Date)
            sheet.VpLabel(row.Number).SetCaption(QString::fromStdString(DateToText(CurrentDate())));
    }
    for (const TSheetLabel& row : SheetLabels()) {
        if (row.Source == TSheetSource::Time)
            sheet.VpLabel(row.Number).SetCaption(QString::fromStdString(TimeToText(CurrentTime())));
    }
    KeepPrintedSheet();
    sheet.VpReport1().Preview();
}

namespace {

// The results as they stand in the window, top to bottom.
constexpr int kResultsTopDown[] = {32, 33, 34, 35, 37};

}  // namespace

void TForm1::ToggleResultsFocus()
{
    QWidget* focused = focusWidget();
    const bool inResults = std::any_of(std::begin(kResultsTopDown), std::end(kResultsTopDown),
                                       [&](int number) { return CurrencyEdit(number) == focused; });
    if (inResults) {
        QWidget* back = m_beforeResults ? m_beforeResults.data() : m_bitBtn1;
        back->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    m_beforeResults = focused;
    TCurrencyEdit* hookLoad = CurrencyEdit(fields::ResultField(WeightResult::HookLoad));
    hookLoad->setFocus(Qt::ShortcutFocusReason);
    hookLoad->selectAll();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int step = key->key() == Qt::Key_Down ? 1 : key->key() == Qt::Key_Up ? -1 : 0;
        if (step != 0 && key->modifiers() == Qt::NoModifier) {
            const auto* at = std::find_if(std::begin(kResultsTopDown), std::end(kResultsTopDown),
                                          [&](int number) { return CurrencyEdit(number) == watched; });
            if (at != std::end(kResultsTopDown)) {
                const std::ptrdiff_t index = (at - std::begin(kResultsTopDown)) + step;
                if (index >= 0 && index < static_cast<std::ptrdiff_t>(std::size(kResultsTopDown))) {
                    TCurrencyEdit* next = CurrencyEdit(kResultsTopDown[index]);
                    next->setFocus(Qt::ShortcutFocusReason);
                    next->selectAll();
                }
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::WatchPlausibility()
{
    for (const fields::TWeightField& row : fields::kWeightFields)
        connect(CurrencyEdit(row.Number), &QLineEdit::textChanged, this, &TForm1::ShowPlausibility);
    ShowPlausibility();
}

std::vector<std::pair<int, QString>> TForm1::Findings() const
{
    std::array<Extended, kWeightInputCount> inputs{};
    for (std::size_t i = 0; i < kWeightInputCount; ++i)
        inputs[i] = CurrencyEdit(fields::kInputFields[i])->EditTextValue();
    std::vector<std::pair<int, QString>> byField;
    const std::vector<PlausibilityFinding> findings = FindImplausibleInputs(inputs);
    for (const fields::TWeightField& row : fields::kWeightFields) {
        for (const PlausibilityFinding& finding : findings)
            if (fields::InputField(finding.Input) == row.Number)
                byField.emplace_back(row.Number, FindingText(finding, Units()));
        // A number cut at the left reads as another number: say so.
        const TCurrencyEdit* field = CurrencyEdit(row.Number);
        const Extended shown = fields::IsResult(row) ? field->StoredValue() : field->EditTextValue();
        if (!Fits(row.Number, shown))
            byField.emplace_back(row.Number, tr("%1: the number does not fit the field").arg(FieldName(row, Units())));
    }
    return byField;
}

bool TForm1::Fits(int number, Extended value) const
{
    std::optional<TFit>& known = m_fits[static_cast<std::size_t>(number)];
    if (!known || known->Value != value)
        known = TFit{value, CurrencyEdit(number)->FitsDisplay(value)};
    return known->Fits;
}

void TForm1::ShowPlausibility()
{
    const std::vector<std::pair<int, QString>> findings = Findings();
    for (const fields::TWeightField& row : fields::kWeightFields) {
        TCurrencyEdit* field = CurrencyEdit(row.Number);
        QStringList reasons;
        for (const auto& [number, text] : findings)
            if (number == row.Number)
                reasons << text;
        if (fields::IsResult(row)) {
            // A result keeps its colours; its tooltip says whether it holds.
            if (!reasons.isEmpty())
                field->setToolTip(reasons.join(QLatin1Char('\n')));
            continue;
        }
        field->setToolTip(reasons.join(QLatin1Char('\n')));
        const bool marked = !reasons.isEmpty();
        if (field->property("implausible").toBool() == marked)
            continue;
        field->setProperty("implausible", marked);
        if (marked) {
            field->SetColor(kImplausibleFace);
        } else {
            // Back to the face of its box, which it inherits.
            field->setPalette(QPalette());
        }
    }
}

bool TForm1::ConfirmFindingsBeforePrint()
{
    const std::vector<std::pair<int, QString>> findings = Findings();
    if (findings.empty())
        return true;
    QStringList lines;
    for (const auto& finding : findings) lines << QStringLiteral("• ") + finding.second;
    QMessageBox box(QMessageBox::Warning, windowTitle(), tr("Check the inputs before printing:"), QMessageBox::NoButton,
                    this);
    box.setObjectName(QStringLiteral("FindingsBeforePrint"));
    box.setInformativeText(lines.join(QLatin1Char('\n')));
    QPushButton* fix = box.addButton(tr("Correct"), QMessageBox::RejectRole);
    QPushButton* print = box.addButton(tr("Print as it is"), QMessageBox::AcceptRole);
    box.setDefaultButton(fix);
    box.setEscapeButton(fix);
    box.exec();
    if (box.clickedButton() == print)
        return true;
    TCurrencyEdit* first = CurrencyEdit(findings.front().first);
    first->setFocus(Qt::OtherFocusReason);
    first->selectAll();
    return false;
}

void TForm1::FocusFieldAtFault(const std::exception& fault)
{
    int number = 0;
    if (const auto* overflow = dynamic_cast<const EWeightInputOverflow*>(&fault))
        number = fields::InputField(overflow->Input());
    else if (dynamic_cast<const EMetalGravityZeroDivide*>(&fault) ||
             dynamic_cast<const EMetalGravityInvalidOp*>(&fault))
        number = fields::InputField(WeightInput::MetalGravity);
    if (number == 0)
        return;
    TCurrencyEdit* field = CurrencyEdit(number);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void TForm1::AnnounceResults()
{
    EndAnnouncement();
    QStringList parts;
    for (WeightResult result : {WeightResult::HookLoad, WeightResult::TravellingSystem, WeightResult::NetString,
                                WeightResult::BuoyedString, WeightResult::TotalLength}) {
        const int number = fields::ResultField(result);
        parts << FieldName(FieldRow(number), Units()) + QStringLiteral(": ") + CurrencyEdit(number)->DisplayedText();
    }
    const QString text = tr("Results of the calculation.") + QLatin1Char(' ') + parts.join(QStringLiteral("; "));
    Label14()->setAccessibleDescription(tr("Date of the last calculation") + QStringLiteral(". ") + text);
    // A reader speaks what changes on the object it is on: the field the
    // calculation left the focus in carries the results until it is left.
    QWidget* focused = focusWidget();
    if (focused == nullptr)
        return;
    m_announcedOn = focused;
    focused->setAccessibleDescription(text);
    QAccessibleEvent event(focused, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
    connect(qApp, &QApplication::focusChanged, this, &TForm1::EndAnnouncement, Qt::SingleShotConnection);
}

void TForm1::EndAnnouncement()
{
    if (m_announcedOn)
        m_announcedOn->setAccessibleDescription(QString());
    m_announcedOn = nullptr;
}

namespace {

// The zoom has a section of its own: the designed keys stay as they are.
const QString kZoomSection = QStringLiteral("Zoom");
const QString kZoomKey = QStringLiteral("Percent");

}  // namespace

void TForm1::AddZoomKeysAndMenu()
{
    m_zoom = std::make_unique<TWindowZoom>(m_client);
    const auto step = [this](int by) { SetZoom(Zoom() + by * TWindowZoom::kStep); };
    for (const QKeySequence& keys : {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [step] { step(1); });
    connect(new QShortcut(QKeySequence(QKeySequence::ZoomOut), this), &QShortcut::activated, this,
            [step] { step(-1); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), this), &QShortcut::activated, this,
            [this] { SetZoom(TWindowZoom::kMinimum); });
    if (TWindowFrame* frame = TWindowFrame::Of(this)) {
        connect(frame, &TWindowFrame::SystemMenuBuilt, this, [this](QMenu* menu) {
            QMenu* sizes = menu->addMenu(tr("Window size"));
            sizes->setObjectName(QStringLiteral("ZoomMenu"));
            for (int percent : TWindowZoom::kSteps) {
                QAction* action =
                    sizes->addAction(QStringLiteral("%1 %").arg(percent), this, [this, percent] { SetZoom(percent); });
                action->setCheckable(true);
                action->setChecked(percent == Zoom());
            }
        });
    }
    const QString stored = m_formStorage1->ProfileReadString(kZoomSection, kZoomKey, QString());
    bool number = false;
    const int percent = stored.toInt(&number);
    if (number)
        ApplyZoom(percent);
}

int TForm1::Zoom() const
{
    return m_zoom ? m_zoom->Percent() : TWindowZoom::kMinimum;
}

void TForm1::SetZoom(int percent)
{
    if (!ApplyZoom(percent))
        return;
    try {
        m_formStorage1->ProfileWriteString(kZoomSection, kZoomKey, QString::number(Zoom()));
    } catch (const std::exception& error) {
        ShowError(error);
    }
}

bool TForm1::ApplyZoom(int percent)
{
    const int before = Zoom();
    m_zoom->Apply(percent);
    if (Zoom() == before)
        return false;
    // The frame and caption bar grow with the controls; the window's fixed
    // size follows.
    m_fits.fill(std::nullopt);
    TWindowFrame* frame = TWindowFrame::Of(this);
    const QSize client = m_zoom->ClientSize(QSize(kClientWidth, kClientHeight));
    const TFrameMetrics metrics = FrameMetrics(TFormBorderStyle::bsSizeable, Zoom());
    const QSize outer = client + QSize(2 * metrics.FrameWidth, 2 * metrics.FrameHeight + metrics.CaptionHeight);
    TWinMinMaxInfo& limits = m_formStorage1->MinMaxInfo();
    limits.SetMaxSizeWidth(outer.width());
    limits.SetMaxSizeHeight(outer.height());
    limits.SetMaxTrackWidth(outer.width());
    limits.SetMaxTrackHeight(outer.height());
    limits.SetMinTrackWidth(outer.width());
    limits.SetMinTrackHeight(outer.height());
    if (frame != nullptr) {
        frame->UpdateSizeLimits();
        frame->SetScale(Zoom());
    }
    resize(outer);
    ShowPlausibility();
    return true;
}

}  // namespace dw
