// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/session.h"

#include "analysis/scale.h"
#include "converter/register_io.h"
#include "link/detect.h"
#include "link/port_catalog.h"
#include "link/routed_devices.h"

#ifndef ORVELLIN_VERSION
#error "ORVELLIN_VERSION must name the project's version"
#endif

namespace orv::cli {

Session::Session(const CliOptions& options, CliEnvironment& environment)
    : options_(options), environment_(environment), prompts_(environment.err) {}

Session::~Session() = default;

Link& Session::link() {
    if (link_) {
        return *link_;
    }
    std::string simulatorPort;
    SerialDeviceFactory devices = environment_.devices;
    if (options_.simulate && environment_.simulator) {
        SimulatedEvmPort simulated = environment_.simulator();
        simulatorPort = simulated.name;
        devices = routedDevices(simulated.name, std::move(simulated.factory), std::move(devices));
    }
    PortLister candidates = [this, simulatorPort] {
        const std::vector<std::string> known =
            candidatePorts(kHostPlatform, options_.ports, simulatorPort, {});
        if (listing_ == Listing::KnownOnly) {
            return known;
        }
        const std::vector<std::string> listed =
            environment_.systemPorts ? environment_.systemPorts() : std::vector<std::string>{};
        std::vector<std::string> all =
            candidatePorts(kHostPlatform, options_.ports, simulatorPort, listed);
        if (listing_ == Listing::SystemOnly) {
            // The known ports lead the whole list, in the same order.
            all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(known.size()));
        }
        return all;
    };
    link_ = std::make_unique<Link>(std::move(candidates), std::move(devices), environment_.clock);
    return *link_;
}

namespace {

// The first round's prompts: a handshake-only scan says nothing but "Can't
// find", which waits for the second round.
class NoPrompts final : public Prompts {
public:
    void message(PromptOwner, const std::string&, const std::string&, MessageIcon) override {}
    std::optional<std::uint32_t> chooseColour(PromptOwner, std::uint32_t) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFile(PromptOwner, const FileRequest&) override {
        return std::nullopt;
    }
};

}  // namespace

std::optional<int> Session::findEvm() {
    Link& scanning = link();
    listing_ = Listing::KnownOnly;
    NoPrompts quiet;
    int port = FindEvm(scanning, quiet, kEvmTypeCode);
    if (port < 0) {
        listing_ = Listing::SystemOnly;
        port = FindEvm(scanning, prompts_, kEvmTypeCode);
    }
    listing_ = Listing::Everything;
    if (port < 0) {
        return std::nullopt;
    }
    return port;
}

bool Session::readRegisters(RegisterImage& image) {
    return orv::readRegisters(link(), prompts_, nullptr, image);
}

CaptureInfo Session::captureInfo(int port, const RegisterImage& image, double vref) {
    CaptureInfo info;
    info.created = clock().utcTime();
    info.tool = std::string("orvellin ") + ORVELLIN_VERSION;
    info.port = link().portName(port);
    info.registers = image;
    info.scale = analysis::scaleOf(image[ADCON], image[DRATE], vref);
    return info;
}

ProgressView Session::progressView() {
    return ProgressView(environment_.err, environment_.errIsTerminal, environment_.clock,
                        environment_.stopRequested);
}

}  // namespace orv::cli
