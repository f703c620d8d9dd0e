// SPDX-License-Identifier: MIT
#include "numeric/widgets/currency_edit.h"

#include "common/error_display.h"
#include "common/errors.h"
#include "common/scope_exit.h"
#include "design/text_line.h"
#include "numeric/core/locale_formats.h"
#include "numeric/core/number_format.h"
#include "numeric/core/number_parse.h"

#include <QAction>
#include <QApplication>
#include <QBackingStore>
#include <QDialog>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>

#include <algorithm>
#include <mutex>
#include <string>

namespace dw {

namespace {

std::string ToUtf8(const QString& text)
{
    return text.toStdString();
}
QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// Qt counts positions in UTF-16 units, the rules in characters.
std::size_t CharacterIndex(const QString& text, int utf16Index)
{
    utf16Index = std::clamp(utf16Index, 0, static_cast<int>(text.size()));
    return static_cast<std::size_t>(QStringView(text).left(utf16Index).toUcs4().size());
}

MessageText MessageOf(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        return own->Text();
    return MessageText::Verbatim(error.what());
}

// A character key: printable text that is not a Ctrl (or Command) chord,
// which the edit control treats as a command rather than as typing.
bool IsCharacterKey(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const char16_t first = text.at(0).unicode();
    if (first < 32 || first == 127)
        return false;
    const Qt::KeyboardModifiers chord = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier);
    return chord == Qt::NoModifier || (chord & Qt::AltModifier);
}

}  // namespace

void RegisterExtendedMetaType()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (!QMetaType::hasRegisteredConverterFunction<double, Extended>())
            QMetaType::registerConverter<double, Extended>([](double value) { return static_cast<Extended>(value); });
        if (!QMetaType::hasRegisteredConverterFunction<Extended, double>())
            QMetaType::registerConverter<Extended, double>([](Extended value) { return static_cast<double>(value); });
    });
}

// ---------------------------------------------------------------------------

TCustomNumEdit::TCustomNumEdit(QWidget* parent) : QLineEdit(parent)
{
    RegisterExtendedMetaType();
    // Every character must come through the key handler to be checked, and
    // text dropped on the field would bypass it.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    m_displayFormat = TCustomNumEdit::BaseDisplayFormat();
    UpdateEditAlignment();
    UpdateMinimumHeight();
    connect(this, &QLineEdit::textChanged, this, &TCustomNumEdit::HandleTextChanged);
    RefreshEditText();
}

void TCustomNumEdit::ResetDisplayFormat()
{
    m_displayFormat = BaseDisplayFormat();
    RefreshEditText();
    update();
}

QString TCustomNumEdit::BaseDisplayFormat() const
{
    return QStringLiteral(",0.##");
}

// --- value and text --------------------------------------------------------

Extended TCustomNumEdit::Value()
{
    m_storedValue = EditTextValue();
    return m_storedValue;
}

Extended TCustomNumEdit::EditTextValue() const
{
    try {
        return ClampToRange(ParseNumber(NormalizeNumberText(ToUtf8(text()))), m_settings, false);
    } catch (const std::exception&) {
        // A reader of the value gets a number in every case; a text that
        // does not parse counts as the lowest value the field allows.
        return m_settings.MinValue;
    }
}

void TCustomNumEdit::SetValue(Extended value)
{
    m_storedValue = ClampToRange(value, m_settings, false);
    RefreshEditText();
    update();
}

void TCustomNumEdit::SetText(const QString& text)
{
    const Extended value = ParseNumber(NormalizeNumberText(ToUtf8(text)));
    m_storedValue = ClampToRange(value, m_settings, false);
    RefreshEditText();
    update();
}

QString TCustomNumEdit::DisplayedText() const
{
    return FormatForDisplay(m_storedValue);
}

QString TCustomNumEdit::FormatForDisplay(Extended value) const
{
    if (m_displayFormat.isEmpty())
        return FromUtf8(NumberToText(value));
    return FromUtf8(FormatNumberPattern(ToUtf8(m_displayFormat), value));
}

void TCustomNumEdit::RefreshEditText()
{
    const QString edited = FromUtf8(EditTextFor(m_storedValue, m_settings.DecimalPlaces, m_zeroEmpty));
    // An empty field that stays empty has nothing to reset (no caret to move,
    // no selection, no undo history); a window of 37 fields at zero starts
    // faster for not rewriting each of them.
    if (edited.isEmpty() && text().isEmpty() && !isUndoAvailable())
        return;
    setText(edited);
}

void TCustomNumEdit::CommitEditText()
{
    const Extended value = ParseNumber(NormalizeNumberText(ToUtf8(text())));
    m_storedValue = ClampToRange(value, m_settings, false);
}

void TCustomNumEdit::VerifyRangeOnExit()
{
    if (m_checkOnExit)
        ClampToRange(ParseNumber(NormalizeNumberText(ToUtf8(text()))), m_settings, true);
}

void TCustomNumEdit::CommitTyping()
{
    if (!m_focused)
        return;
    try {
        VerifyRangeOnExit();
        CommitEditText();
    } catch (const std::exception&) {
        selectAll();
        if (CanTakeFocus())
            setFocus(Qt::OtherFocusReason);
        throw;
    }
}

bool TCustomNumEdit::AcceptsKey(const QString& key) const
{
    const QString current = text();
    std::size_t selectionFrom = 0;
    std::size_t selectionLength = 0;
    if (hasSelectedText()) {
        const int from = selectionStart();
        selectionFrom = CharacterIndex(current, from);
        selectionLength = CharacterIndex(current, from + static_cast<int>(selectedText().size())) - selectionFrom;
    }
    return dw::AcceptsKey(ToUtf8(current), selectionFrom, selectionLength, CharacterIndex(current, cursorPosition()),
                          ToUtf8(key), m_settings);
}

// --- properties --------------------------------------------------------------

void TCustomNumEdit::SetDisplayFormat(const QString& format)
{
    if (format == m_displayFormat)
        return;
    m_displayFormat = format;
    update();
    RefreshEditText();
}

void TCustomNumEdit::SetDecimalPlaces(unsigned decimalPlaces)
{
    if (decimalPlaces == m_settings.DecimalPlaces)
        return;
    m_settings.DecimalPlaces = decimalPlaces;
    RefreshEditText();
    update();
}

void TCustomNumEdit::SetZeroEmpty(bool zeroEmpty)
{
    if (zeroEmpty == m_zeroEmpty)
        return;
    m_zeroEmpty = zeroEmpty;
    RefreshEditText();
}

void TCustomNumEdit::SetAlignment(Qt::Alignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    UpdateEditAlignment();
    update();
}

void TCustomNumEdit::SetFormatOnEditing(bool formatOnEditing)
{
    if (formatOnEditing == m_formatOnEditing)
        return;
    m_formatOnEditing = formatOnEditing;
    UpdateEditAlignment();
    if (m_focused) {
        if (m_formatOnEditing) {
            ReformatWhileEditing();
        } else {
            CommitEditText();
            RefreshEditText();
        }
    }
    update();
}

void TCustomNumEdit::SetMinValue(Extended minValue)
{
    if (minValue == m_settings.MinValue)
        return;
    m_settings.MinValue = minValue;
    SetValue(m_storedValue);
}

void TCustomNumEdit::SetMaxValue(Extended maxValue)
{
    if (maxValue == m_settings.MaxValue)
        return;
    m_settings.MaxValue = maxValue;
    SetValue(m_storedValue);
}

QColor TCustomNumEdit::Color() const
{
    return palette().color(QPalette::Base);
}

void TCustomNumEdit::SetColor(const QColor& color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Base, color);
    setPalette(colours);
}

QColor TCustomNumEdit::FontColor() const
{
    return palette().color(QPalette::Text);
}

void TCustomNumEdit::SetFontColor(const QColor& color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Text, color);
    setPalette(colours);
}

void TCustomNumEdit::UpdateEditAlignment()
{
    // The edit control writes from the top like the unfocused display, so the
    // number does not jump when the focus arrives.
    const Qt::Alignment horizontal = m_formatOnEditing ? (m_alignment & Qt::AlignHorizontal_Mask) : Qt::AlignLeft;
    setAlignment(horizontal | Qt::AlignTop);
}

void TCustomNumEdit::UpdateMinimumHeight()
{
    // Room for one line of the smaller of the two fonts and the borders.
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    const int ownHeight = QFontMetrics(font()).height();
    constexpr int kBorderHeight = 1;
    setMinimumHeight(std::min(systemHeight, ownHeight) + 4 * kBorderHeight + 1);
}

// --- editing -------------------------------------------------------------------

void TCustomNumEdit::SoundBeep()
{
    if (!m_beepOnError)
        return;
    QApplication::beep();
    emit Beeped();
}

void TCustomNumEdit::Refuse(const MessageText& reason)
{
    SoundBeep();
    // A bare beep says nothing to a crew in a noisy cabin: the reason shows
    // under the field.
    m_lastRefusal = QString::fromStdString(Localized(reason));
    if (isVisible())
        QToolTip::showText(mapToGlobal(QPoint(0, height())), m_lastRefusal, this);
    emit Refused(m_lastRefusal);
}

void TCustomNumEdit::RevertEdit()
{
    RefreshEditText();
    selectAll();
}

void TCustomNumEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        Paste();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        Cut();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        event->accept();
        return;
    }
    const int key = event->key();
    const bool inDialog = qobject_cast<QDialog*>(window()) != nullptr;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // A dialog's default button gets Enter; anywhere else the window
        // decides (the main window moves on to the next field).
        if (inDialog) {
            event->ignore();
        } else {
            event->accept();
            emit returnPressed();
        }
        return;
    }
    if (key == Qt::Key_Escape) {
        if (inDialog) {
            event->ignore();  // the dialog's cancel
            return;
        }
        RevertEdit();
        event->accept();
        return;
    }
    if (!IsCharacterKey(event)) {
        // Backspace, Delete, movement and the edit commands pass unchecked.
        QLineEdit::keyPressEvent(event);
        return;
    }
    // A key may carry more than one character; each is checked against the
    // text the previous one left.
    const QList<uint> characters = event->text().toUcs4();
    for (uint character : characters) {
        const char32_t code = static_cast<char32_t>(character);
        HandleCharacter(event, QString::fromUcs4(&code, 1));
    }
    event->accept();
}

void TCustomNumEdit::HandleCharacter(QKeyEvent* event, const QString& character)
{
    const QString current = text();
    std::size_t selectionFrom = 0;
    std::size_t selectionLength = 0;
    if (hasSelectedText()) {
        const int from = selectionStart();
        selectionFrom = CharacterIndex(current, from);
        selectionLength = CharacterIndex(current, from + static_cast<int>(selectedText().size())) - selectionFrom;
    }
    const TypedKey typed = TypeKey(ToUtf8(current), selectionFrom, selectionLength,
                                   CharacterIndex(current, cursorPosition()), ToUtf8(character), m_settings);
    const QString key = FromUtf8(typed.Text);
    if (!typed.Accepted || !AcceptsKey(key)) {
        Refuse(typed.Accepted ? KeyRefusal(ToUtf8(current), selectionFrom, selectionLength,
                                           CharacterIndex(current, cursorPosition()), typed.Text, m_settings)
                              : typed.Refusal);
        return;
    }
    QKeyEvent keyTyped(QEvent::KeyPress, event->key(), event->modifiers(), key, event->isAutoRepeat());
    QLineEdit::keyPressEvent(&keyTyped);
}

void TCustomNumEdit::Paste(QClipboard::Mode mode)
{
    const QString saved = text();
    MessageText refusal;
    if (!isReadOnly()) {
        const QString clip = QGuiApplication::clipboard()->text(mode);
        if (!clip.isEmpty() || hasSelectedText()) {
            // Text copied from anywhere, this program's own display with its
            // unit included, goes in as the plain number it stands for.
            std::string prefix;
            std::string suffix;
            DisplayAffixes(ToUtf8(FormatForDisplay(1)), prefix, suffix);
            const PastedNumber pasted = ReadPastedNumber(ToUtf8(clip), prefix, suffix);
            insert(pasted.Ok ? FromUtf8(pasted.EditText) : clip);
            refusal = pasted.Ok ? MessageText(DW_TEXT("Message",
                                                      "The pasted number does not fit with the text of "
                                                      "the field around it"))
                                : pasted.Refusal;
        }
    }
    // A read-only field commits its unchanged text, so a paste always leaves
    // StoredValue equal to what the edit text says.
    try {
        CommitEditText();
    } catch (const std::exception&) {
        setText(saved);
        selectAll();
        if (CanTakeFocus())
            setFocus();
        Refuse(refusal);
    }
}

void TCustomNumEdit::Cut()
{
    if (isReadOnly())
        return;
    QLineEdit::cut();
}

void TCustomNumEdit::Copy()
{
    const bool whole = hasSelectedText() ? selectedText() == text() : isReadOnly();
    if (!whole) {
        copy();
        return;
    }
    QString shown;
    try {
        shown = FormatForDisplay(EditTextValue());
    } catch (const std::exception&) {
        shown = FromUtf8(NumberToText(EditTextValue()));
    }
    QGuiApplication::clipboard()->setText(shown);
}

void TCustomNumEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateEditMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

QMenu* TCustomNumEdit::CreateEditMenu()
{
    // The line edit's own menu calls its paste and cut slots directly, past
    // the commit and the read-only rule, so the field builds the same menu
    // around its own operations.
    auto* menu = new QMenu(this);
    const bool editable = !isReadOnly();
    const bool selected = hasSelectedText();
    const auto add = [menu](const char* name, const char* text, QKeySequence::StandardKey shortcut, bool enabled,
                            auto&& slot) {
        QString caption = QCoreApplication::translate("QLineEdit", text);
        const QKeySequence keys(shortcut);
        if (!keys.isEmpty())
            caption += QLatin1Char('\t') + keys.toString(QKeySequence::NativeText);
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, menu, slot);
        return action;
    };
    add("edit-undo", "&Undo", QKeySequence::Undo, editable && isUndoAvailable(), [this] { undo(); });
    add("edit-redo", "&Redo", QKeySequence::Redo, editable && isRedoAvailable(), [this] { redo(); });
    menu->addSeparator();
    add("edit-cut", "Cu&t", QKeySequence::Cut, editable && selected, [this] { Cut(); });
    add("edit-copy", "&Copy", QKeySequence::Copy, selected || isReadOnly(), [this] { Copy(); });
    add("edit-paste", "&Paste", QKeySequence::Paste, editable && !QGuiApplication::clipboard()->text().isEmpty(),
        [this] { Paste(); });
    add("edit-delete", "Delete", QKeySequence::UnknownKey, editable && selected, [this] { del(); });
    menu->addSeparator();
    add("select-all", "Select All", QKeySequence::SelectAll, !text().isEmpty() && selectedText() != text(),
        [this] { selectAll(); });
    return menu;
}

void TCustomNumEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button pastes the primary selection where the system has one.
    if (event->button() == Qt::MiddleButton && !isReadOnly() && QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        Paste(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TCustomNumEdit::HandleTextChanged()
{
    if (m_formatting)
        return;
    if (m_formatOnEditing && m_focused)
        ReformatWhileEditing();
    emit OnChange();
}

void TCustomNumEdit::ReformatWhileEditing()
{
    const auto formatting = RaiseForScope(m_formatting);
    const QString old = text();
    const QString reformatted = FromUtf8(ReformattedEditText(ToUtf8(old), m_displayFormat.contains(QLatin1Char(','))));
    if (reformatted == old)
        return;
    const int caret = cursorPosition();
    setText(reformatted);
    if (hasFocus())
        setCursorPosition(std::clamp(caret + static_cast<int>(reformatted.size() - old.size()), 0,
                                     static_cast<int>(reformatted.size())));
}

// --- focus ---------------------------------------------------------------------

void TCustomNumEdit::SetFocusedState(bool focused)
{
    if (m_focused == focused)
        return;
    m_focused = focused;
    update();
    const auto formatting = RaiseForScope(m_formatting);
    RefreshEditText();
}

bool TCustomNumEdit::CanTakeFocus() const
{
    return isVisible() && isEnabled() && focusPolicy() != Qt::NoFocus;
}

void TCustomNumEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // Still editing: the window was re-activated, a menu closed, or a failed
    // exit took the focus back. The typed text stays as it is.
    if (m_focused)
        return;
    RunReportingErrors([this] {
        SetFocusedState(true);
        if (m_formatOnEditing)
            ReformatWhileEditing();
    });
    if (m_autoSelect && event->reason() != Qt::MouseFocusReason)
        selectAll();
    emit OnEnter();
}

void TCustomNumEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!m_focused)
        return;
    // Another window or a menu took the keyboard for a while; the field
    // itself is still the one being edited.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    try {
        // A thousands mark typed before a short group would silently make
        // 1,5 read as 15: the crew finishes the number or puts it right.
        if (!ThousandsInGroupsOfThree(ToUtf8(text())))
            throw EConvertError(MessageText(DW_TEXT("Message", "Thousands go in groups of three digits: %1"),
                                            {MessageText::Verbatim(ToUtf8(text()))}));
        VerifyRangeOnExit();
        CommitEditText();
    } catch (const std::exception& error) {
        // The field keeps the focus and the typed text so it can be put right.
        // The message is shown once the focus change is over, not from inside it.
        selectAll();
        if (CanTakeFocus())
            setFocus(Qt::OtherFocusReason);
        const MessageText message = MessageOf(error);
        QMetaObject::invokeMethod(
            this, [message] { ShowErrorText(message); }, Qt::QueuedConnection);
        return;
    }
    SetFocusedState(false);
    setCursorPosition(0);
    emit OnExit();
}

// --- painting --------------------------------------------------------------------

void TCustomNumEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateMinimumHeight();
        update();
    } else if (event->type() == QEvent::EnabledChange && !m_focused) {
        update();
    }
}

bool TCustomNumEdit::PaintingAsCopy() const
{
    // Painting for the screen goes to the window's backing store; anything
    // else (grab, render into a pixmap or a printer) is a copy of the field.
    QPaintDevice* device = redirected(nullptr);
    if (!device)
        return false;
    QBackingStore* store = backingStore();
    return !store || device != store->paintDevice();
}

namespace {

// The sunken two-pixel edge of a three-dimensional edit control: shadow over
// highlight outside, dark shadow over the light face inside. Drawn with plain
// fills; the style's rounded, antialiased panel cost more than the whole
// field's text.
void DrawSunkenEdge(QPainter& painter, const QRect& bounds, const QPalette& palette)
{
    const auto ring = [&painter](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    };
    if (bounds.width() < 2 || bounds.height() < 2)
        return;
    ring(bounds, palette.color(QPalette::Dark), palette.color(QPalette::Light));
    if (bounds.width() >= 4 && bounds.height() >= 4)
        ring(bounds.adjusted(1, 1, -1, -1), palette.color(QPalette::Shadow), palette.color(QPalette::Midlight));
}

}  // namespace

void TCustomNumEdit::paintEvent(QPaintEvent* event)
{
    if (m_focused && !PaintingAsCopy()) {
        QLineEdit::paintEvent(event);
        if (hasFrame()) {
            // The same edge as without the focus, over the style's frame.
            QPainter painter(this);
            DrawSunkenEdge(painter, rect(), palette());
        }
        return;
    }
    QPainter painter(this);
    PaintDisplayText(painter);
}

QRect TCustomNumEdit::DisplayArea() const
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    panel.state &= ~QStyle::State_HasFocus;
    return style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
}

int TCustomNumEdit::DisplayMarginX() const
{
    // The text sits where the edit control writes it: inside the border,
    // after the control's left margin.
    const int border = hasFrame() ? 1 : 0;
    return border + 1 + textMargins().left();
}

bool TCustomNumEdit::FitsDisplay(Extended value) const
{
    QString shown;
    try {
        shown = FormatForDisplay(value);
    } catch (const std::exception&) {
        shown = FromUtf8(NumberToText(value));
    }
    // Right-aligned text starts at width - text - margin - 2; left of 0 the
    // clip would take its first digits.
    return TTextLine(shown, font()).Width() <= DisplayArea().width() - DisplayMarginX() - 2;
}

void TCustomNumEdit::PaintDisplayText(QPainter& painter)
{
    painter.fillRect(rect(), palette().brush(QPalette::Base));
    if (hasFrame())
        DrawSunkenEdge(painter, rect(), palette());
    const QRect area = DisplayArea();

    QString shown;
    try {
        shown = DisplayedText();
    } catch (const std::exception&) {
        // A pattern the formatter refuses still leaves the number readable.
        shown = FromUtf8(NumberToText(m_storedValue));
    }
    if (!FitsDisplay(m_storedValue))
        shown = kTooLongMark;

    QColor textColour = palette().color(QPalette::Text);
    const QColor greyText = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    if (!isEnabled() && Color() != greyText)
        textColour = greyText;

    const int border = hasFrame() ? 1 : 0;
    const QMargins margins = textMargins();
    const int marginX = DisplayMarginX();
    const int marginY = border + margins.top();
    const TTextLine line(shown, font());
    const int textWidth = line.Width();
    int x = marginX;
    if (m_alignment & Qt::AlignRight)
        x = area.width() - textWidth - marginX - 2;
    else if (m_alignment & Qt::AlignHCenter)
        x = (area.width() - textWidth) / 2;

    painter.setClipRect(area);
    painter.setPen(textColour);
    line.Draw(painter, QPointF(area.left() + x, area.top() + marginY));
}

// ---------------------------------------------------------------------------

TCurrencyEdit::TCurrencyEdit(QWidget* parent) : TCustomNumEdit(parent)
{
    ResetDisplayFormat();
}

QString TCurrencyEdit::BaseDisplayFormat() const
{
    const LocaleFormatSettings& locale = LocaleFormats();
    std::string number = ",0." + std::string(locale.CurrencyDigits, '0');
    // The marks inside a currency symbol are literals, not the pattern's own.
    std::string symbol;
    for (char c : locale.CurrencySymbol) {
        if (c == ',' || c == '.')
            symbol += std::string("'") + c + "'";
        else
            symbol += c;
    }
    if (!symbol.empty()) {
        switch (locale.CurrencyPlacement) {
            case 0:
                number = symbol + number;
                break;
            case 1:
                number = number + symbol;
                break;
            case 2:
                number = symbol + " " + number;
                break;
            case 3:
                number = number + " " + symbol;
                break;
            default:
                break;
        }
    }
    return FromUtf8(number + ";-" + number);
}

}  // namespace dw
