// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <memory>

#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/simulated_port.h"
#include "app/version_info.h"
#include "link/link.h"
#include "link/port_catalog.h"
#include "link/qt_serial_device.h"
#include "seams/clock.h"

namespace orv {

AppOptions parseCommandLine(QCoreApplication& application) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Sets up, reads and records the converter on the evaluation module."));
    parser.addHelpOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Serial port to try first (a name such as ttyUSB0 or a path such as "
                       "/dev/pts/3); may be given more than once."),
        QStringLiteral("NAME"));
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Serve a simulated EVM on a pseudo-terminal inside the tool and try it "
                       "after the --port ports."));
    parser.addOption(port);
    parser.addOption(simulate);
    parser.process(application);

    AppOptions options;
    for (const QString& name : parser.values(port)) {
        options.ports.push_back(name.toStdString());
    }
    options.simulate = parser.isSet(simulate);
    return options;
}

int COrvellinApp::InitInstance(QApplication& application) {
    const AppOptions options = parseCommandLine(application);

    SimulatedPort simulator;
    if (options.simulate && !simulator.start()) {
        return 1;
    }

    SystemClock clock;
    QtPrompts prompts;
    // Every scan lists the system's ports again: boards come and go.
    const auto listPorts = [&options, simulatorPort = simulator.name()] {
        return candidatePorts(kHostPlatform, options.ports, simulatorPort, systemSerialPorts());
    };
    Link link(listPorts, simulator.factory([] { return std::make_unique<QtSerialDevice>(); }),
              clock);
    COrvellinDlg window(link, prompts, ownVersionResource());
    window.exec();
    return 0;
}

}  // namespace orv
