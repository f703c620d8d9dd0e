// SPDX-License-Identifier: MIT
#pragma once

// Metafile pages as a PDF document, for every place that makes one from
// pages (the preview's Save, the companion tool): one PDF page per page, on
// the paper the page was drawn for, its texts kept as text, drawn by the
// same player that puts pages on a printer's sheet.

#include "report/emf/emf_reader.h"

#include <QString>

#include <functional>
#include <memory>

class QIODevice;

namespace dw::emf {

struct PdfPagesInfo {
    QString Title;
    QString Creator;
    // The paper of a page that cannot tell its own (or is missing).
    EmfDocument::PaperSize FallbackPaper{210, 297};
};

// Writes pageCount pages (pageAt(n), n from 1; an empty pointer gives a
// blank page) as a PDF document into device. 0 when done, otherwise the
// number of the page that could not be laid out; the device then holds no
// usable document. Throws EStopped (common/stop_request.h), the device
// holding no usable document either, when the program is asked to end
// while a page is drawn.
int WritePdfPages(QIODevice& device, const PdfPagesInfo& info, int pageCount,
                  const std::function<std::shared_ptr<const EmfDocument>(int)>& pageAt);

}  // namespace dw::emf
