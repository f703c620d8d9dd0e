// SPDX-License-Identifier: MIT
#pragma once

// A PNG picture written a strip of rows at a time: a page drawn at a high
// resolution is tens of thousands of pixels each way, and only the strip
// being drawn is kept in memory; the compressed bytes grow as it goes.

#include <QByteArray>
#include <QImage>

#include <memory>

namespace dw::vprtool {

class PngStripWriter {
public:
    // A picture of width x height pixels, 8-bit RGB, marked with dpi.
    PngStripWriter(int width, int height, int dpi);
    ~PngStripWriter();
    PngStripWriter(const PngStripWriter&) = delete;
    PngStripWriter& operator=(const PngStripWriter&) = delete;

    // The next rows of the picture, the whole of strip (RGB32, the
    // picture's width); raises std::bad_alloc when compressing fails.
    void AddRows(const QImage& strip);
    // The whole file, once every row has been added.
    QByteArray Finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace dw::vprtool
