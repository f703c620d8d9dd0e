// SPDX-License-Identifier: MIT
// Compiled by the tests with PROBE_CONTEXT set to the context a message is
// marked with: "Message" compiles, anything else must stop the build, since
// the windows would never find its translation.
#include "common/message_text.h"

#define DW_PROBE_TEXT(x) #x
#define DW_PROBE_CONTEXT(x) DW_PROBE_TEXT(x)

const dw::MessageText kProbe(DW_TEXT(DW_PROBE_CONTEXT(PROBE_CONTEXT), "Printer is not currently printing"));
