// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that act on the EVM as a whole: scan, reset, the
// calibrations and the power commands.

#include <algorithm>
#include <chrono>

#include "cli/commands.h"
#include "link/commands.h"
#include "link/detect.h"
#include "link/evm_table.h"

namespace orv::cli {

namespace {

constexpr const char* kResetFailed = "Reset EVM failed !";
constexpr const char* kSelfCalibrationFailed = "Self calibration failed !";

std::string evmName() {
    const EvmTypeEntry* entry = findEvmType(kEvmTypeCode);
    return entry ? entry->name : "EVM";
}

std::string padded(std::string text, std::size_t width) {
    text.append(text.size() < width ? width - text.size() : 1, ' ');
    return text;
}

// The calibration page's self calibration, with its reply examined as
// well, which the window never does: a program that exits with a status
// must know whether the EVM answered 00 00 03. A wrong or missing reply
// gets the message the window shows for a frame that could not be sent.
bool selfCalibrate(Link& link, Clock& clock, Prompts& prompts) {
    switch (SelfCalibrate(link, clock, prompts, nullptr)) {
        case SelfCalibration::Answered:
            return true;
        case SelfCalibration::NotAnswered:
            prompts.message(nullptr, kSelfCalibrationFailed, "Error");
            return false;
        case SelfCalibration::NotSent:
            break;
    }
    return false;
}

}  // namespace

// The detection's steps on every port in turn, not only up to the first
// EVM: the handshake, then for an EVM that answers it the reset, with the
// detection's message when the reset fails. Every port is closed again.
Outcome runScan(Session& session) {
    Link& link = session.link();
    link.refreshPorts();
    Json ports = Json::array();
    std::string text = "Port                 EVM\n";
    std::optional<std::string> evmPort;
    bool resetFailed = false;
    for (int n = 1; n <= link.portCount(); ++n) {
        const std::string name = link.portName(n);
        Json entry = {{"port", name}, {"opened", false}, {"answered", false}, {"reset", nullptr}};
        std::string state = "cannot open";
        if (link.OpenPort(n)) {
            entry["opened"] = true;
            state = "no answer";
            if (answeredPlainly(link, CommandFrame(kEvmTypeCode, Command::Handshake))) {
                entry["answered"] = true;
                const bool reset =
                    answeredPlainly(link, CommandFrame(kEvmTypeCode, Command::Reset));
                entry["reset"] = reset;
                if (reset) {
                    state = evmName() + ", reset";
                    evmPort = evmPort.value_or(name);
                } else {
                    session.prompts().message(nullptr, kResetFailed, "Error");
                    state = evmName() + ", reset failed";
                    resetFailed = true;
                }
            }
            link.ClosePort();
        }
        ports.push_back(std::move(entry));
        text += padded(name, 21) + state + "\n";
    }
    Outcome outcome{exit_code::kDone, {{"ports", ports}}, text};
    outcome.json["evm_port"] = evmPort ? Json(*evmPort) : Json(nullptr);
    if (!evmPort) {
        session.prompts().message(nullptr, "Can't find " + evmName() + " !", "Error");
        outcome.exitCode = resetFailed ? exit_code::kEvmFailed : exit_code::kNoEvm;
    }
    return outcome;
}

// A port whose EVM answered the handshake but not the reset is passed over,
// as a detection passes it over; the run then ends with 1, not 3.
Outcome runReset(Session& session) {
    const int port = DetectEvm(session.link(), session.prompts(), kEvmTypeCode);
    if (port < 0) {
        const auto& shown = session.prompts().shown();
        const bool resetFailed = std::find(shown.begin(), shown.end(), kResetFailed) != shown.end();
        return failure(resetFailed ? exit_code::kEvmFailed : exit_code::kNoEvm);
    }
    const std::string name = session.link().portName(port);
    return {exit_code::kDone,
            {{"port", name}, {"reset", true}},
            evmName() + " on " + name + " reset\n"};
}

Outcome runCalibrate(Session& session) {
    const auto port = session.findEvm();
    if (!port) {
        return failure(exit_code::kNoEvm);
    }
    const Command calibration = session.options().calibration;
    Link& link = session.link();
    const bool done = calibration == Command::SelfCal
                          ? selfCalibrate(link, session.clock(), session.prompts())
                          : Calibrate(link, session.prompts(), nullptr, calibration);
    if (!done) {
        return failure(exit_code::kEvmFailed);
    }
    const std::string name = link.portName(*port);
    const std::string kind = calibrationName(calibration);
    return {exit_code::kDone,
            {{"port", name}, {"calibration", kind}},
            "Calibration " + kind + " done on " + name + "\n"};
}

// SendPowerCommand is silent about a wrong reply, and standby's unreadable
// reply shows an empty box: a failure says so itself when nothing was shown.
Outcome runPowerCommand(Session& session) {
    const auto port = session.findEvm();
    if (!port) {
        return failure(exit_code::kNoEvm);
    }
    Command command = Command::Standby;
    const char* name = "standby";
    if (session.options().command == CommandKind::Wakeup) {
        command = Command::Wakeup;
        name = "wakeup";
    } else if (session.options().command == CommandKind::PowerDown) {
        command = Command::PowerDown;
        name = "power-down";
    }
    const std::size_t before = session.linesShown();
    if (!SendPowerCommand(session.link(), session.prompts(), nullptr, command)) {
        if (session.linesShown() == before) {
            session.note(std::string("the EVM did not confirm ") + name);
        }
        return failure(exit_code::kEvmFailed);
    }
    const std::string where = session.link().portName(*port);
    return {exit_code::kDone,
            {{"port", where}, {"command", name}},
            std::string(name) + " done on " + where + "\n"};
}

}  // namespace orv::cli
