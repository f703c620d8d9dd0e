// SPDX-License-Identifier: MIT
#include "report/output/replace_file_device.h"

#include <string_view>

namespace dw {

TReplaceFileDevice::TReplaceFileDevice(const std::string& fileName)
{
    try {
        m_file.emplace(fileName);
    } catch (const ENotAFile& error) {
        throw EFileError(error.Text());
    } catch (const EInOutError& error) {
        throw EFileError(MessageText(DW_TEXT("Message", "Cannot create file %1: %2"),
                                     {MessageText::Verbatim(fileName), MessageText(ReasonOf(error))}));
    }
    open(QIODevice::WriteOnly);
}

bool TReplaceFileDevice::Commit()
{
    try {
        m_file->Commit();
        return true;
    } catch (const EInOutError&) {
        return false;
    }
}

qint64 TReplaceFileDevice::writeData(const char* data, qint64 length)
{
    try {
        m_file->Write(std::string_view(data, static_cast<std::size_t>(length)));
        return length;
    } catch (const EInOutError&) {
        return -1;  // the writer remembers the failure, and Commit reports it
    }
}

}  // namespace dw
