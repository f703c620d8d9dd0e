// SPDX-License-Identifier: MIT
#include "report/core/page_store.h"

#include "common/errors.h"
#include "report/core/page_stream.h"

namespace dw {

TVpPageStore::TVpPageStore() : m_pageList(std::make_unique<TVpPageList>()) {}

TVpPageStore::~TVpPageStore()
{
    CleanUp();
}

TVpStream* TVpPageStore::PageStream() const
{
    return m_pageList ? m_pageList->Stream() : nullptr;
}

void TVpPageStore::BeginDoc(bool compressed, std::int64_t spillThreshold)
{
    if (m_status != TVpPrinterStatus::Ready) {
        throw EVpError(DW_TEXT("Message", "VpPrinter not ready"));
    }
    auto stream = std::make_unique<TVpStream>(spillThreshold);
    auto list = std::make_unique<TVpPageList>();
    list->SetCompressed(compressed);
    list->SetStream(stream.get());
    m_pageList = std::move(list);
    m_pageStream = std::move(stream);
    m_status = TVpPrinterStatus::Busy;
}

void TVpPageStore::AppendPage(std::span<const std::uint8_t> metafile)
{
    if (m_status != TVpPrinterStatus::Busy) {
        throw EVpError(DW_TEXT("Message", "Illegal call to NewPage"));
    }
    m_pageList->AppendPage(metafile);
}

void TVpPageStore::EndDoc()
{
    if (m_status != TVpPrinterStatus::Busy) {
        return;
    }
    m_status = TVpPrinterStatus::Finished;
    m_pageList->WriteStreamHeader();
}

void TVpPageStore::AbortDoc()
{
    if (m_status == TVpPrinterStatus::Busy) {
        m_status = TVpPrinterStatus::Finished;
    }
}

void TVpPageStore::CleanUp()
{
    // The list goes first: it may point at the stream.
    m_pageList = std::make_unique<TVpPageList>();
    m_pageStream.reset();
    m_status = TVpPrinterStatus::Ready;
}

std::optional<TVpPageBytes> TVpPageStore::GetPage(std::int32_t n)
{
    if (m_status == TVpPrinterStatus::Ready || n < 1 || n > PageCount()) {
        return std::nullopt;
    }
    return m_pageList->FetchPage(n);
}

void TVpPageStore::Save(const std::string& fileName)
{
    if (m_status != TVpPrinterStatus::Finished) {
        return;
    }
    TVpStream* stream = PageStream();
    if (stream == nullptr) {
        return;
    }
    if (stream->Size() == 0) {
        // A run aborted before its first page never wrote a header; the
        // file still gets one, so that it loads as a report without pages.
        m_pageList->WriteStreamHeader();
    }
    m_pageList->CopyToFile(fileName);
}

void TVpPageStore::Load(const std::string& fileName)
{
    if (m_status != TVpPrinterStatus::Ready) {
        CleanUp();
    }
    auto list = std::make_unique<TVpPageList>();
    list->OpenFromFile(fileName);
    m_pageList = std::move(list);
    m_status = TVpPrinterStatus::Finished;
}

}  // namespace dw
