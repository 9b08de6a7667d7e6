// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "capture/capture.h"
#include "cli/arguments.h"
#include "cli/environment.h"
#include "cli/progress.h"
#include "cli/register_report.h"
#include "cli/stream_prompts.h"
#include "converter/registers.h"
#include "link/link.h"

namespace orv::cli {

// The exit codes, as --help lists them.
namespace exit_code {
inline constexpr int kDone = 0;
inline constexpr int kEvmFailed = 1;       // time-out, wrong reply, bad item check byte
inline constexpr int kBadCommandLine = 2;  // nothing was sent
inline constexpr int kNoEvm = 3;
inline constexpr int kFileFailed = 4;
inline constexpr int kInterrupted = 130;  // Ctrl-C during a collection; nothing written
}  // namespace exit_code

// The EVM type the command line talks to: the only one of the EVM table.
inline constexpr int kEvmTypeCode = 1;

// What a command came to: its exit code, and what it shows on standard
// output: `text` as it is, or with --json the document `json`. A failed
// command may leave both empty; with --json its document then gets an
// "error" member (see runner.h).
struct Outcome {
    int exitCode = exit_code::kDone;
    Json json;
    std::string text;
};

inline Outcome failure(int exitCode) {
    return {exitCode, {}, {}};
}

// One run of the program: the checked options, the environment, the
// messages and the link, made when a command first needs it so that a
// command that fails before it talks to the EVM opens nothing.
class Session {
public:
    Session(const CliOptions& options, CliEnvironment& environment);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const CliOptions& options() const { return options_; }
    CliEnvironment& environment() { return environment_; }
    StreamPrompts& prompts() { return prompts_; }
    Clock& clock() { return environment_.clock; }

    // The link over the candidate ports: the --port names, then the simulated
    // EVM's port with --simulate, then the system's ports, listed afresh at
    // every scan.
    Link& link();

    // Finds the EVM by the handshake alone, so that the converter keeps its
    // settings: the number of the port it answered on, or nothing after
    // "Can't find VXR5307 !". The --port names and --simulate's port are
    // tried before the system is asked for its ports, which is only done
    // when none of them answers: listing them walks every terminal device
    // the system has, which costs more than the handshake itself.
    std::optional<int> findEvm();

    // Reads the eleven registers as the panel's Read does; false after its
    // message ("Read Register Address 03 Failed !").
    bool readRegisters(RegisterImage& image);

    // What a capture or a trend records of a run that starts now on port
    // `port` with the registers `image`: the time in UTC, "orvellin
    // <version>", the port's full name, the registers, and the gain and
    // data rate they hold with `vref`.
    CaptureInfo captureInfo(int port, const RegisterImage& image, double vref);

    // A progress bar on the error stream, drawn when that is a terminal,
    // that stops its collection once Ctrl-C was pressed.
    ProgressView progressView();

    // A program's own message on the error stream: "orvellin-cli: <text>".
    void note(const std::string& text) { prompts_.note(text); }

    // How many lines the error stream has had, for a command that must say
    // something itself when the function it called failed in silence.
    std::size_t linesShown() const { return prompts_.shown().size(); }

private:
    const CliOptions& options_;
    CliEnvironment& environment_;
    StreamPrompts prompts_;
    std::unique_ptr<Link> link_;
    // Which candidates the link's next scan lists: all of them (scan, reset),
    // or findEvm's two rounds, the ports known without the system's list
    // and then the system's ports not tried in the first round.
    enum class Listing { Everything, KnownOnly, SystemOnly };
    Listing listing_ = Listing::Everything;
};

}  // namespace orv::cli
