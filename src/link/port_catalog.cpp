// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_catalog.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <cctype>
#include <set>

#include "link/link.h"

namespace orv {

namespace {

// What makes two spellings the same port: a bare name is a device in /dev;
// Windows names its ports without regard to case, with or without the
// device namespace prefix.
std::string portKey(Platform platform, const std::string& name) {
    if (platform == Platform::Windows) {
        constexpr std::string_view kDevicePrefix = "\\\\.\\";
        std::string key =
            name.starts_with(kDevicePrefix) ? name.substr(kDevicePrefix.size()) : name;
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return key;
    }
    return name.find('/') == std::string::npos ? "/dev/" + name : name;
}

std::vector<std::string> systemPart(Platform platform, std::vector<std::string> listed) {
    if (platform == Platform::Windows) {
        listed.clear();
        for (int n = 1; n <= Link::kMaxPorts; ++n) {
            listed.push_back("COM" + std::to_string(n));
        }
    } else {
        std::sort(listed.begin(), listed.end());
    }
    return listed;
}

}  // namespace

std::vector<std::string> candidatePorts(Platform platform,
                                        const std::vector<std::string>& commandLinePorts,
                                        const std::string& simulatorPort,
                                        const std::vector<std::string>& listedPorts) {
    std::vector<std::string> ports;
    std::set<std::string> seen;
    const auto add = [&](const std::string& name) {
        if (!name.empty() && ports.size() < static_cast<std::size_t>(Link::kMaxPorts) &&
            seen.insert(portKey(platform, name)).second) {
            ports.push_back(name);
        }
    };
    for (const std::string& name : commandLinePorts) {
        add(name);
    }
    add(simulatorPort);
    for (const std::string& name : systemPart(platform, listedPorts)) {
        add(name);
    }
    return ports;
}

std::vector<std::string> systemSerialPorts() {
    std::vector<std::string> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.push_back(info.systemLocation().toStdString());
    }
    return ports;
}

}  // namespace orv
