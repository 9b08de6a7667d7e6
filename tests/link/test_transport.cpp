// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <ctime>

#include "link/link.h"
#include "link/qt_serial_device.h"
#include "sim_process.h"
#include "test_registry.h"

using namespace orv;

namespace {

using namespace std::chrono_literals;

// The transport over the real serial port, against the simulator on a
// pseudo-terminal: these are the tests that take real time.
struct RealLink {
    explicit RealLink(const QStringList& simulatorArguments) : simulator(simulatorArguments) {
        link = std::make_unique<Link>(
            std::vector<std::string>{simulator.port()},
            [] { return std::make_unique<QtSerialDevice>(); }, clock);
    }
    int handshake(Reply& reply) {
        const int sent = link->SendFrame(CommandFrame(1, Command::Handshake), 3000);
        return sent != 0 ? sent : link->ReceiveBytes(reply);
    }

    test::SimProcess simulator;
    SystemClock clock;
    std::unique_ptr<Link> link;
};

double processCpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

class TransportTest : public QObject {
    Q_OBJECT
private slots:
    void noPortOpen() {
        ManualClock clock;
        Link link(
            {"COM1"}, [] { return std::make_unique<QtSerialDevice>(); }, clock);
        Reply reply{};
        QCOMPARE(link.SendFrame(CommandFrame(1, Command::Handshake), 3000), 6);
        QCOMPARE(link.ReceiveBytes(reply), 6);
        QCOMPARE(clock.now(), ManualClock::TimePoint{});
    }

    void shortAnswerTimesOutAfterOneSecond() {
        RealLink real({"--fault", "short-reply"});
        QVERIFY(real.link->OpenPort(1));
        Reply reply{};
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(real.handshake(reply), 30);
        QVERIFY2(timer.elapsed() >= 990 && timer.elapsed() < 1500,
                 qPrintable(QString::number(timer.elapsed())));
        QVERIFY(real.link->isOpen());
    }

    void longAnswerLeavesItsLastByteToTheNextFrame() {
        RealLink real({"--fault", "long-reply"});
        QVERIFY(real.link->OpenPort(1));
        Reply reply{};
        QCOMPARE(real.handshake(reply), 0);
        QCOMPARE(reply, (Reply{0x00, 0x00, 0xF0}));
        QCOMPARE(real.handshake(reply), 0);
        QCOMPARE(reply, (Reply{0x00, 0x00, 0xF0}));
    }

    void answerInPiecesIsReturnedWhole() {
        RealLink real({"--paced"});
        QVERIFY(real.link->OpenPort(1));
        QCOMPARE(real.link->SendFrame(ReadDataFrame(1, 300), 3000), 0);
        std::vector<std::uint8_t> block(1200);
        QCOMPARE(real.link->ReceiveBytes(block), 0);
        for (std::size_t k = 0; k < 300; ++k) {
            const auto* item = &block[4 * k];
            QVERIFY(std::uint8_t(item[0] + item[1] + item[2]) == item[3]);
        }
    }

    void hangUpIsReportedAtOnceAndLeavesNoBusyLoop() {
        RealLink real({"--fault", "hang-up-after=0"});
        QVERIFY(real.link->OpenPort(1));
        Reply reply{};
        QElapsedTimer timer;
        timer.start();
        const int status = real.handshake(reply);
        QVERIFY(status != 0);
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!real.link->isOpen());

        const double before = processCpuSeconds();
        timer.restart();
        while (timer.elapsed() < 300) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QTest::qWait(20);
        }
        QVERIFY2(processCpuSeconds() - before < 0.1,
                 qPrintable(QString::number(processCpuSeconds() - before)));
        QCOMPARE(real.link->SendFrame(CommandFrame(1, Command::Handshake), 3000), 6);
    }
};

}  // namespace

ORV_REGISTER_TEST(TransportTest);

#include "test_transport.moc"
