// SPDX-License-Identifier: MIT
#pragma once

#include "numeric/core/extended.h"
#include "numeric/core/num_edit_rules.h"
#include "numeric/widgets/extended_metatype.h"

#include <QClipboard>
#include <QLineEdit>
#include <QString>

class QMenu;
class QPainter;

namespace dw {

// A single-line field that holds one extended value. With the keyboard focus
// it edits the plain number (no thousands marks, at most DecimalPlaces
// decimals, every key checked before it lands); without the focus it paints
// the value in its DisplayFormat. The committed value (StoredValue) changes
// only when the focus leaves, when Value is read or written, when Text is
// written and after a paste, so what the field displays and what a printout
// copies (DisplayedText) never show a half-typed number.
//
// Errors never leave an event handler: a refused key or paste beeps, and a
// focus change that cannot commit the text keeps the focus in the field and
// hands the error to ShowError (common/error_display.h).
class TCustomNumEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(dw::Extended Value READ Value WRITE SetValue)
    Q_PROPERTY(QString Text READ Text WRITE SetText STORED false)
    Q_PROPERTY(QString DisplayFormat READ DisplayFormat WRITE SetDisplayFormat)
    Q_PROPERTY(uint DecimalPlaces READ DecimalPlaces WRITE SetDecimalPlaces)
    Q_PROPERTY(bool ZeroEmpty READ ZeroEmpty WRITE SetZeroEmpty)
    Q_PROPERTY(Qt::Alignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool BeepOnError READ BeepOnError WRITE SetBeepOnError)
    Q_PROPERTY(bool CheckOnExit READ CheckOnExit WRITE SetCheckOnExit)
    Q_PROPERTY(bool FormatOnEditing READ FormatOnEditing WRITE SetFormatOnEditing)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)
    Q_PROPERTY(dw::Extended MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(dw::Extended MaxValue READ MaxValue WRITE SetMaxValue)

public:
    explicit TCustomNumEdit(QWidget* parent = nullptr);

    // Reading commits the edit text first (never raises: a text that is not a
    // number gives MinValue) and returns the committed value, so a value
    // written with more decimals than DecimalPlaces reads back rounded.
    // Writing clamps to the range, rewrites the edit text and repaints.
    Extended Value();
    void SetValue(Extended value);
    Extended StoredValue() const { return m_storedValue; }
    // What reading Value would give now, without committing the edit text:
    // lets a window compare what is being typed with what it last read.
    Extended EditTextValue() const;

    // The edit text. Writing parses it (EConvertError for a text that is not a
    // number, nothing changed then), clamps and rewrites the edit text.
    QString Text() const { return text(); }
    void SetText(const QString& text);

    // The committed value in the display pattern; the edit text is not re-read.
    virtual QString DisplayedText() const;
    QString FormatForDisplay(Extended value) const;
    // Whether the value's display text fits the field. One that does not is
    // never shown cut (a cut number reads as another number): the field
    // shows kTooLongMark instead.
    bool FitsDisplay(Extended value) const;
    static inline const QString kTooLongMark = QStringLiteral("###");

    QString DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const QString& format);
    unsigned DecimalPlaces() const { return m_settings.DecimalPlaces; }
    void SetDecimalPlaces(unsigned decimalPlaces);
    bool ZeroEmpty() const { return m_zeroEmpty; }
    void SetZeroEmpty(bool zeroEmpty);
    // Alignment of the unfocused display (and of editing with FormatOnEditing).
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);
    bool BeepOnError() const { return m_beepOnError; }
    void SetBeepOnError(bool beepOnError) { m_beepOnError = beepOnError; }
    bool CheckOnExit() const { return m_checkOnExit; }
    void SetCheckOnExit(bool checkOnExit) { m_checkOnExit = checkOnExit; }
    bool FormatOnEditing() const { return m_formatOnEditing; }
    void SetFormatOnEditing(bool formatOnEditing);
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }
    Extended MinValue() const { return m_settings.MinValue; }
    void SetMinValue(Extended minValue);
    Extended MaxValue() const { return m_settings.MaxValue; }
    void SetMaxValue(Extended maxValue);

    // Background and text colours (the palette's Base and Text roles).
    QColor Color() const;
    void SetColor(const QColor& color);
    QColor FontColor() const;
    void SetFontColor(const QColor& color);

    // Rewrites the edit text from StoredValue.
    virtual void RefreshEditText();
    // Parses the edit text into StoredValue (clamped, never raising for range);
    // EConvertError when the text is not a number.
    void CommitEditText();
    // With CheckOnExit: ERangeError when the edit text is outside the range.
    void VerifyRangeOnExit();
    // While the field is being edited: takes the edit text as leaving the
    // field would (range check, commit) and goes on editing. What leaving
    // would raise is raised, with the text selected and the focus kept, as
    // leaving would leave them.
    void CommitTyping();
    // The default display pattern of the class.
    virtual QString BaseDisplayFormat() const;
    // Whether the key may be typed at the caret (key already mapped).
    virtual bool AcceptsKey(const QString& key) const;

    // The clipboard operations of the field. Use these rather than QLineEdit's
    // paste()/cut() slots, which bypass the commit and the read-only rule;
    // the field's keys, context menu and middle button come here.
    void Paste(QClipboard::Mode mode = QClipboard::Clipboard);
    void Cut();
    // Copies the selection; the whole text (or, in a read-only field, no
    // selection) copies the number as the field displays it, unit and all,
    // which a paste into any field reads back.
    void Copy();

    // Why the last key or paste was refused, as the tooltip said it.
    QString LastRefusal() const { return m_lastRefusal; }

    // Typed text back to the committed value, all selected (the Escape key).
    void RevertEdit();

    // True between focus entry and a successful exit.
    bool IsFocusedState() const { return m_focused; }

signals:
    // Edit text changes, except the field's own rewrites on focus entry and
    // exit and while regrouping.
    void OnChange();
    void OnEnter();
    void OnExit();
    // A key or a paste was refused (sounded when BeepOnError is on).
    void Beeped();
    // A key or a paste was refused, and why (shown in a tooltip).
    void Refused(const QString& reason);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    // Called by the most derived constructor: the display pattern starts as
    // that class's BaseDisplayFormat.
    void ResetDisplayFormat();

private:
    void HandleCharacter(QKeyEvent* event, const QString& character);
    QMenu* CreateEditMenu();
    void HandleTextChanged();
    void ReformatWhileEditing();
    void SetFocusedState(bool focused);
    void SoundBeep();
    void Refuse(const MessageText& reason);
    void UpdateEditAlignment();
    void UpdateMinimumHeight();
    bool CanTakeFocus() const;
    bool PaintingAsCopy() const;
    void PaintDisplayText(QPainter& painter);
    QRect DisplayArea() const;
    int DisplayMarginX() const;

    Extended m_storedValue = 0;
    NumEditSettings m_settings;  // DecimalPlaces 2, no range
    QString m_displayFormat;
    Qt::Alignment m_alignment = Qt::AlignRight;
    bool m_beepOnError = true;
    bool m_checkOnExit = false;
    bool m_zeroEmpty = true;
    bool m_formatOnEditing = false;
    bool m_autoSelect = true;
    bool m_focused = false;
    bool m_formatting = false;
    QString m_lastRefusal;
};

// The field of the main window. Its default display pattern is the locale's
// currency format.
class TCurrencyEdit : public TCustomNumEdit {
    Q_OBJECT

public:
    explicit TCurrencyEdit(QWidget* parent = nullptr);

    QString BaseDisplayFormat() const override;
};

}  // namespace dw
