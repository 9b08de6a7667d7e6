// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "characterise/long_run.h"
#include "characterise/noise_table.h"
#include "cli/fields.h"
#include "converter/register_io.h"
#include "converter/samples.h"
#include "link/frame.h"

namespace orv::cli {

enum class CommandKind {
    Scan,
    Regs,
    Write,
    Set,
    Calibrate,
    Standby,
    Wakeup,
    PowerDown,
    Reset,
    Collect,
    Analyze,
    ProfileSave,
    ProfileLoad,
    Sweep,
    Log,
};

// Where `collect` puts its block: on standard output as a capture, in a
// capture file (.csv), or in the text file and its raw file beside it (.txt).
enum class OutputKind { Stdout, Capture, TextPair };

// The command line, parsed and checked: every value in range, so that a
// command that starts never stops for a bad argument. Only the members of
// the chosen command are set.
struct CliOptions {
    std::vector<std::string> ports;  // --port NAME, tried first, in order
    bool simulate = false;
    bool json = false;
    bool help = false;
    bool version = false;

    CommandKind command = CommandKind::Regs;
    std::vector<RegisterWrite> writes;  // write, in the order given
    FieldSettings fields;               // set
    Command calibration = Command::SelfCal;

    int count = kDefaultDataCount;  // collect, and analyze without a file
    OutputKind output = OutputKind::Stdout;
    std::string outputPath;  // collect, sweep and log -o

    // sweep: defaultSweepPlan() with the values given, which planError
    // accepts.
    characterise::SweepPlan sweep;
    // log: -n, --blocks or --for (or neither), --keep-blocks; -o names the
    // trend, which it always has.
    characterise::LongRunPlan longRun;

    std::string file;  // analyze FILE (may be empty), profile save/load FILE
    std::optional<int> gain;
    std::optional<double> vref;
    std::optional<double> rate;
};

// Either the options or what is wrong with the command line, as one line
// for the user (without the program's name).
struct ParsedCommandLine {
    std::optional<CliOptions> options;
    std::string error;
};

// Parses the arguments after the program's name. Options may stand before
// or after the command; "--name=value" and "--name value" are the same, and
// "--" ends the options. --help and --version need no command and win over
// any error elsewhere on the line. Nothing here opens a port or a file.
ParsedCommandLine parseArguments(const std::vector<std::string>& args);

// Whether the arguments ask for JSON, judged before they are parsed, so
// that even a refused command line answers with a JSON document.
bool asksForJson(const std::vector<std::string>& args);

// The name `calibrate` takes for a calibration command: "self",
// "self-offset", "self-gain", "system-offset", "system-gain".
std::string calibrationName(Command calibration);

}  // namespace orv::cli
