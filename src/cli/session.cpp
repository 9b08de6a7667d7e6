// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/session.h"

#include "link/routed_devices.h"
#include "converter/register_io.h"
#include "link/detect.h"
#include "link/port_catalog.h"

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
        const std::vector<std::string> listed =
            environment_.systemPorts ? environment_.systemPorts() : std::vector<std::string>{};
        return candidatePorts(kHostPlatform, options_.ports, simulatorPort, listed);
    };
    link_ = std::make_unique<Link>(std::move(candidates), std::move(devices), environment_.clock);
    return *link_;
}

std::optional<int> Session::findEvm() {
    const int port = FindEvm(link(), prompts_, kEvmTypeCode);
    if (port < 0) {
        return std::nullopt;
    }
    return port;
}

bool Session::readRegisters(RegisterImage& image) {
    return orv::readRegisters(link(), prompts_, nullptr, image);
}

}  // namespace orv::cli
