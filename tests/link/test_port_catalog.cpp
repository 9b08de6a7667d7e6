// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "link/detect.h"
#include "link/port_catalog.h"
#include "recording_prompts.h"
#include "sim/sim_bus.h"
#include "test_registry.h"

using namespace orv;

using Names = std::vector<std::string>;
Q_DECLARE_METATYPE(orv::Platform)
Q_DECLARE_METATYPE(Names)

namespace {

Names comPorts(int first, int last) {
    Names names;
    for (int n = first; n <= last; ++n) {
        names.push_back("COM" + std::to_string(n));
    }
    return names;
}

Names joined(std::initializer_list<Names> parts) {
    Names all;
    for (const Names& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class PortCatalogTest : public QObject {
    Q_OBJECT
private slots:
    // Named ports first, then the simulator, then the system's; each port
    // once, whatever its spelling; never more than 256.
    void ordersAndMergesTheCandidates_data() {
        QTest::addColumn<Platform>("platform");
        QTest::addColumn<Names>("named");
        QTest::addColumn<std::string>("simulator");
        QTest::addColumn<Names>("listed");
        QTest::addColumn<Names>("expected");
        const auto other = Platform::Other;
        const auto windows = Platform::Windows;
        QTest::newRow("system ports sorted")
            << other << Names{} << std::string() << Names{"/dev/ttyUSB1", "/dev/ttyS0"}
            << Names{"/dev/ttyS0", "/dev/ttyUSB1"};
        QTest::newRow("named, simulator, system")
            << other << Names{"ttyACM0", "/dev/ttyUSB2"} << std::string("/dev/pts/3")
            << Names{"/dev/ttyS0"} << Names{"ttyACM0", "/dev/ttyUSB2", "/dev/pts/3", "/dev/ttyS0"};
        QTest::newRow("named twice and listed, in two spellings")
            << other << Names{"ttyUSB0", "/dev/ttyUSB0", "ttyUSB0"} << std::string()
            << Names{"/dev/ttyUSB0", "/dev/ttyS0"} << Names{"ttyUSB0", "/dev/ttyS0"};
        QTest::newRow("Windows: COM1 to COM256 whatever the system lists")
            << windows << Names{} << std::string() << Names{"COM3"} << comPorts(1, 256);
        QTest::newRow("Windows: named and simulator first, the rest at most 256")
            << windows << Names{"com7", "\\\\.\\COM12"} << std::string("SIM") << Names{}
            << joined({{"com7", "\\\\.\\COM12", "SIM"},
                       comPorts(1, 6),
                       comPorts(8, 11),
                       comPorts(13, 255)});
        Names many;
        for (int n = 0; n < 300; ++n) {
            many.push_back("/dev/ttyS" + std::to_string(1000 + n));
        }
        QTest::newRow("at most 256")
            << other << Names{"ttyUSB0"} << std::string() << many
            << joined({{"ttyUSB0"}, Names(many.begin(), many.begin() + 255)});
    }
    void ordersAndMergesTheCandidates() {
        QFETCH(Platform, platform);
        QFETCH(Names, named);
        QFETCH(std::string, simulator);
        QFETCH(Names, listed);
        QFETCH(Names, expected);
        QCOMPARE(candidatePorts(platform, named, simulator, listed), expected);
    }

    // Every scan asks for the list again and numbers the ports by it.
    void eachScanListsThePortsAfresh() {
        ManualClock clock;
        sim::SimBus bus{clock};
        test::RecordingPrompts prompts;
        Names system;
        int listings = 0;
        Link link(
            [&] {
                ++listings;
                return system;
            },
            bus.factory(), clock);
        const int atStart = listings;
        QCOMPARE(DetectEvm(link, prompts, 1), -1);
        QCOMPARE(listings, atStart + 1);

        bus.addSilentPort("/dev/ttyS0");
        bus.addEvm("/dev/ttyUSB3");
        system = {"/dev/ttyS0", "/dev/ttyUSB3"};
        QCOMPARE(DetectEvm(link, prompts, 1), 2);
        QCOMPARE(link.portDisplayName(2), std::string("ttyUSB3"));
        QCOMPARE(bus.openCount("/dev/ttyS0"), 1);
    }
};

}  // namespace

ORV_REGISTER_TEST(PortCatalogTest);
#include "test_port_catalog.moc"
