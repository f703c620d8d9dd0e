// SPDX-License-Identifier: MIT
#pragma once

// The steps the zoom-in and zoom-out commands climb: the round percentages
// a reader of documents expects, from the least zoom the preview allows to
// the most. A zoom between two steps goes to the next one in the direction
// asked, so a page fitted to 82 % zooms in to 100 % and out to 75 %.

namespace dw {

// The first step above zoom; zoom itself at or above the top.
int ZoomStepIn(int zoom) noexcept;
// The last step below zoom; zoom itself at or below the bottom.
int ZoomStepOut(int zoom) noexcept;

}  // namespace dw
