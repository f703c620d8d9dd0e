// SPDX-License-Identifier: MIT
#pragma once

namespace dw {

// Screen readers see a drawn button as a push button named by its caption,
// pressed through their press action like any other button. Installed once
// for the process by the first transparent button.
void InstallTransparentButtonAccessibility();

}  // namespace dw
