// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/runner.h"

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "cli/usage.h"

namespace orv::cli {

namespace {

Outcome dispatch(Session& session) {
    switch (session.options().command) {
        case CommandKind::Scan:
            return runScan(session);
        case CommandKind::Regs:
            return runRegs(session);
        case CommandKind::Write:
            return runWrite(session);
        case CommandKind::Set:
            return runSet(session);
        case CommandKind::Calibrate:
            return runCalibrate(session);
        case CommandKind::Standby:
        case CommandKind::Wakeup:
        case CommandKind::PowerDown:
            return runPowerCommand(session);
        case CommandKind::Reset:
            return runReset(session);
        case CommandKind::Collect:
            return runCollect(session);
        case CommandKind::Analyze:
            return runAnalyze(session);
        case CommandKind::ProfileSave:
            return runProfileSave(session);
        case CommandKind::ProfileLoad:
            return runProfileLoad(session);
        case CommandKind::Sweep:
            return runSweep(session);
        case CommandKind::Log:
            return runLog(session);
    }
    return failure(exit_code::kBadCommandLine);
}

Json errorJson(int exitCode, const std::vector<std::string>& messages) {
    return {{"exit_code", exitCode}, {"messages", messages}};
}

// Doubles come out as the shortest text that reads back as the same number,
// NaN and infinities (none should arrive) as null. Texts that are not UTF-8
// (a file name from the command line) have their bad bytes replaced rather
// than failing the document.
void printJson(std::ostream& out, const Json& document) {
    out << document.dump(2, ' ', false, Json::error_handler_t::replace) << '\n' << std::flush;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, CliEnvironment& environment) {
    const ParsedCommandLine parsed = parseArguments(args);
    if (!parsed.options) {
        StreamPrompts prompts(environment.err);
        prompts.note(parsed.error);
        if (asksForJson(args)) {
            printJson(environment.out,
                      {{"error", errorJson(exit_code::kBadCommandLine, prompts.shown())}});
        }
        return exit_code::kBadCommandLine;
    }
    const CliOptions& options = *parsed.options;
    if (options.help) {
        environment.out << usageText() << std::flush;
        return exit_code::kDone;
    }
    if (options.version) {
        environment.out << versionText() << std::flush;
        return exit_code::kDone;
    }

    Session session(options, environment);
    Outcome outcome = dispatch(session);
    if (options.json) {
        if (outcome.exitCode != exit_code::kDone) {
            if (!outcome.json.is_object()) {
                outcome.json = Json::object();
            }
            outcome.json["error"] = errorJson(outcome.exitCode, session.prompts().shown());
        }
        printJson(environment.out, outcome.json);
    } else {
        environment.out << outcome.text << std::flush;
    }
    return outcome.exitCode;
}

}  // namespace orv::cli
