// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/link.h"
#include "seams/prompts.h"

namespace orv {

// Lists the candidate ports afresh and tries them in order: the first whose
// device answers the handshake (00 00 F0) and the reset (00 00 0A) stays
// open, the link records `typeCode`, and its number (1-based) is returned.
// Otherwise -1, no port is open and the EVM type is -1. A reset that fails
// shows "Reset EVM failed !"; a scan that finds nothing shows "Can't find
// <name> !" when the type code is in the EVM table. Both messages have no
// owner.
int DetectEvm(Link& link, Prompts& prompts, int typeCode);

// The same scan with the handshake alone: the converter keeps the settings
// it has, and no "Reset EVM failed !" can arise.
int FindEvm(Link& link, Prompts& prompts, int typeCode);

}  // namespace orv
