// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "report/core/page_list.h"

namespace dw {

class TVpStream;

// Where a report's printer object is in its document: ready for a run, busy
// with one (a document is open) or finished (the run ended, or pages were
// loaded from a file).
enum class TVpPrinterStatus : std::uint8_t { Ready = 0, Busy = 1, Finished = 2 };

// The stored pages of one report command: the page stream and the page list
// over it, with the lifecycle the printer object drives when its destination
// is the page store, and the Save and Load of the preview's buttons.
class TVpPageStore {
public:
    TVpPageStore();
    ~TVpPageStore();
    TVpPageStore(const TVpPageStore&) = delete;
    TVpPageStore& operator=(const TVpPageStore&) = delete;

    // Opens a document: a fresh stream that stays in memory up to
    // spillThreshold bytes. EVpError "VpPrinter not ready" unless Ready.
    void BeginDoc(bool compressed, std::int64_t spillThreshold = 100000);
    // Stores one finished page. EVpError "Illegal call to NewPage" unless Busy.
    void AppendPage(std::span<const std::uint8_t> metafile);
    // Ends the document normally: the header gets the final page count.
    void EndDoc();
    // Ends the document without rewriting the header.
    void AbortDoc();
    // Drops the pages and the stream (and with it any temporary file).
    void CleanUp();

    TVpPrinterStatus Status() const { return m_status; }
    std::int32_t PageCount() const { return m_pageList ? m_pageList->PageCount() : 0; }
    bool Compressed() const { return m_pageList && m_pageList->Compressed(); }

    // Page n while Busy or Finished and 1 <= n <= PageCount; none otherwise.
    std::optional<TVpPageBytes> GetPage(std::int32_t n);

    // Writes the stored pages as a report file; only while Finished,
    // otherwise does nothing.
    void Save(const std::string& fileName);
    // Replaces the stored pages by those of a report file. The pages held
    // before are dropped first, also when the file turns out unreadable.
    void Load(const std::string& fileName);

    TVpStream* PageStream() const;

private:
    TVpPrinterStatus m_status = TVpPrinterStatus::Ready;
    // The stream of a run; a loaded file's stream lives in its page list.
    std::unique_ptr<TVpStream> m_pageStream;
    std::unique_ptr<TVpPageList> m_pageList;
};

}  // namespace dw
