// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_catalog.h"

#include <QSerialPortInfo>
#include <algorithm>

#include "link/link.h"

namespace orv {

std::vector<std::string> candidatePorts(const std::vector<std::string>& commandLinePorts,
                                        const std::string& simulatorPort) {
    std::vector<std::string> ports;
#ifdef _WIN32
    (void)commandLinePorts;
    (void)simulatorPort;
    for (int n = 1; n <= Link::kMaxPorts; ++n) {
        ports.push_back("COM" + std::to_string(n));
    }
#else
    ports = commandLinePorts;
    if (!simulatorPort.empty()) {
        ports.push_back(simulatorPort);
    }
    std::vector<std::string> listed;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        listed.push_back(info.systemLocation().toStdString());
    }
    std::sort(listed.begin(), listed.end());
    ports.insert(ports.end(), listed.begin(), listed.end());
    if (ports.size() > static_cast<std::size_t>(Link::kMaxPorts)) {
        ports.resize(Link::kMaxPorts);
    }
#endif
    return ports;
}

}  // namespace orv
