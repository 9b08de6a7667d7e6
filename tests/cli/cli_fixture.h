// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/environment.h"
#include "cli/runner.h"
#include "converter/registers.h"
#include "link/frame.h"
#include "seams/clock.h"
#include "sim/sim_bus.h"

namespace orv::test {

// What one run of the command line left behind.
struct CliRun {
    int code = -1;
    std::string out;
    std::string err;

    bool errSays(const std::string& text) const { return err.find(text) != std::string::npos; }

    // Standard output as the one JSON document it must be: an object, or a
    // failed comparison. Constant, so that members chain: json()["a"]["b"].
    const QJsonObject json() const {
        QJsonParseError error{};
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
        if (error.error != QJsonParseError::NoError || !document.isObject()) {
            qWarning("not one JSON object (%s): %s", qPrintable(error.errorString()), out.c_str());
            return {};
        }
        return document.object();
    }
};

// The command line over an in-memory simulated EVM on port "ttyEVM", the
// only port the system lists, on a manual clock: no run costs real time.
// Every device made and every listing of the system's ports is counted, so
// a test sees whether a run touched any port at all.
class CliFixture {
public:
    static constexpr const char* kPort = "ttyEVM";

    explicit CliFixture(sim::EvmConfig config = {})
        : evm(bus.addEvm(kPort, std::move(config))), systemPorts{kPort} {
        clock.setUtcTime({2026, 12, 11, 12, 0, 0});
    }

    CliRun run(const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        cli::CliEnvironment environment{
            .systemPorts =
                [this] {
                    ++listings;
                    return systemPorts;
                },
            .devices =
                [this] {
                    ++devicesMade;
                    return bus.factory()();
                },
            .simulator =
                [this] {
                    ++simulatorsMade;
                    simulated.emplace(clock);
                    simulated->addEvm("SIM");
                    return cli::SimulatedEvmPort{"SIM", simulated->factory()};
                },
            .clock = clock,
            .out = out,
            .err = err,
            .errIsTerminal = errIsTerminal,
            .stopRequested = stopRequested,
        };
        CliRun result;
        result.code = cli::runCommandLine(args, environment);
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    // The frames the EVM received with this command code, in order.
    std::vector<Frame> framesOf(Command command) const {
        std::vector<Frame> frames;
        std::copy_if(evm.frames().begin(), evm.frames().end(), std::back_inserter(frames),
                     [command](const Frame& frame) { return frame[2] == std::uint8_t(command); });
        return frames;
    }

    bool touchedNothing() const {
        return devicesMade == 0 && listings == 0 && simulatorsMade == 0 && evm.frames().empty();
    }

    ManualClock clock;
    sim::SimBus bus{clock};
    sim::EvmModel& evm;
    std::vector<std::string> systemPorts;
    bool errIsTerminal = false;
    std::function<bool()> stopRequested;
    std::optional<sim::SimBus> simulated;  // --simulate's own bus

    int devicesMade = 0;
    int listings = 0;
    int simulatorsMade = 0;
};

// A frame for the EVM the command line talks to (type 1).
inline Frame frame(Command command, std::uint8_t high = 0, std::uint8_t low = 0) {
    return CommandFrame(1, command, high, low);
}

// A path in a temporary folder, as UTF-8.
inline std::string pathIn(const QTemporaryDir& folder, const char* name) {
    return folder.filePath(QString::fromUtf8(name)).toStdString();
}

}  // namespace orv::test
