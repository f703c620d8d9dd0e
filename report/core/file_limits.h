// SPDX-License-Identifier: MIT
#pragma once

// The largest files of each kind the program takes in. A file beyond its
// limit cannot have come from the program, so it is refused from its size
// before any of it is read, instead of being read whole into memory only to
// be found not valid.

#include <cstdint>
#include <limits>

namespace dw {

// A saved report links its records by signed 32-bit offsets, and the page
// list refuses a page whose record would end past them ("Page store is
// full"): no report the program writes reaches 2 GiB.
inline constexpr std::int64_t kMaxReportFileSize = std::numeric_limits<std::int32_t>::max();

// One page's metafile. The reader takes no bitmap above 2^25 pixels, which
// at 32 bits a pixel is 128 MiB; a page holding such a picture and the
// records around it stays below twice that. The program's own A3 pages of
// labels and frames come to some tens of kilobytes.
inline constexpr std::int64_t kMaxMetafileSize = std::int64_t{256} * 1024 * 1024;

}  // namespace dw
