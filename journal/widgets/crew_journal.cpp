// SPDX-License-Identifier: MIT
#include "journal/widgets/crew_journal.h"

#include "common/error_display.h"

#include <QTimer>

namespace dw {

namespace {

// Shows the message once the event that led to it is handled.
void ShowLater(QObject* context, const MessageText& text)
{
    QTimer::singleShot(0, context, [text] { ShowErrorText(text); });
}

}  // namespace

TCrewJournal::TCrewJournal(std::string fileName, QObject* parent) : QObject(parent), m_journal(std::move(fileName)) {}

std::optional<std::int64_t> TCrewJournal::Keep(const JournalRecord& record) noexcept
{
    std::optional<std::int64_t> id;
    try {
        id = m_journal.Add(record);
    } catch (const Exception& error) {
        Failed(error);
    } catch (const std::exception&) {
        Failed(EJournalError(MessageText(DW_TEXT("Message", "Unexpected error"))));
    }
    ShowNotice();
    if (id)
        emit RecordsChanged();
    return id;
}

void TCrewJournal::MarkPrinted(std::int64_t id, const std::vector<std::uint8_t>& sheet) noexcept
{
    try {
        m_journal.MarkPrinted(id, sheet);
        emit RecordsChanged();
    } catch (const Exception& error) {
        Failed(error);
    } catch (const std::exception&) {
        Failed(EJournalError(MessageText(DW_TEXT("Message", "Unexpected error"))));
    }
    ShowNotice();
}

void TCrewJournal::ShowNotice()
{
    if (const std::optional<MessageText> notice = m_journal.TakeNotice())
        ShowLater(this, *notice);
}

void TCrewJournal::CheckAtStart() noexcept
{
    if (!Journal::HeaderDamaged(m_journal.FileName()))
        return;
    try {
        m_journal.Count();
    } catch (const Exception& error) {
        Failed(error);
    } catch (const std::exception&) {
        Failed(EJournalError(MessageText(DW_TEXT("Message", "Unexpected error"))));
    }
    ShowNotice();
}

void TCrewJournal::Failed(const Exception& error)
{
    if (m_failureShown)
        return;
    m_failureShown = true;
    ShowLater(this, MessageText(DW_TEXT("Message",
                                        "The measurement was not kept in the journal; the calculation and the sheet "
                                        "are not affected, and this is said once while the program runs. %1"),
                                {error.Text()}));
}

}  // namespace dw
