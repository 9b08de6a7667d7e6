// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/session.h"

namespace orv::cli {

// The commands, each over a session whose options it alone reads. Each
// sends the frames the window sends for the same action, through the same
// functions and with the same messages; their JSON documents are listed in
// the usage text (usage.cpp).

// Every candidate port and whether the EVM answers there; each EVM found is
// reset, as a detection resets it (commands_device.cpp).
Outcome runScan(Session& session);
// The detection: the first port whose EVM answers, reset.
Outcome runReset(Session& session);
Outcome runCalibrate(Session& session);
// standby, wakeup, power-down.
Outcome runPowerCommand(Session& session);

// The registers (commands_registers.cpp).
Outcome runRegs(Session& session);
Outcome runWrite(Session& session);
Outcome runSet(Session& session);
Outcome runProfileSave(Session& session);
Outcome runProfileLoad(Session& session);

// A block of results (commands_block.cpp).
Outcome runCollect(Session& session);
Outcome runAnalyze(Session& session);

// Characterisation (commands_characterise.cpp): the noise table over gains
// and data rates, and a long run of blocks into a trend file. Both keep
// what they measured when they end early.
Outcome runSweep(Session& session);
Outcome runLog(Session& session);

}  // namespace orv::cli
