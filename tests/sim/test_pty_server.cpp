// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>
#include <atomic>
#include <ctime>
#include <thread>

#include "pty_client.h"
#include "sim/pty_server.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;
using namespace std::chrono_literals;
using sim::FaultKind;
using Steady = std::chrono::steady_clock;

namespace {

double cpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

double secondsSince(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

class PtyServerTest : public QObject {
    Q_OBJECT
private slots:
    // A client may close and reopen the port: the server goes on serving.
    void answersOnItsTerminal() {
        sim::PtyServer server;
        QVERIFY2(server.start(), server.error().c_str());
        {
            PtyClient client(server.path());
            QVERIFY(client.isOpen());
            QVERIFY(client.write(toBytes(CommandFrame(1, Command::Handshake))));
            QCOMPARE(toHex(client.read(3, 2000ms).bytes), QByteArray("00 00 F0"));
        }
        PtyClient again(server.path());
        QVERIFY(again.write(fromHex("55 01 0A")));
        QVERIFY(again.write(fromHex("00 00 F5")));
        const auto got = again.read(4, 100ms);
        QCOMPARE(toHex(got.bytes), QByteArray("00 00 0A"));
        QVERIFY(!got.failed);
        QVERIFY(server.serving());
    }

    void slowAnswerWaitsWithoutSpinning() {
        sim::PtyServer server({.fault = {.kind = FaultKind::Slow, .delay = 300ms}});
        QVERIFY(server.start());
        PtyClient client(server.path());
        const double cpu = cpuSeconds();
        const auto start = Steady::now();
        QVERIFY(client.write(toBytes(CommandFrame(1, Command::SelfOffsetCal))));
        QCOMPARE(toHex(client.read(3, 2000ms).bytes), QByteArray("00 00 04"));
        const double waited = secondsSince(start);
        QVERIFY2(waited >= 0.3 && waited < 0.5, qPrintable(QString::number(waited)));
        QVERIFY2(cpuSeconds() - cpu < 0.05, qPrintable(QString::number(cpuSeconds() - cpu)));
    }

    // 11520 bytes are one second on the wire; released on a fixed schedule,
    // the block neither comes early nor drifts late.
    void pacedBlockKeepsTheWireRate() {
        sim::PtyServer server({}, sim::Wire::Paced);
        QVERIFY(server.start());
        sim::EvmModel reference;
        const Bytes expected = answer(reference, ReadDataFrame(1, 2880));
        PtyClient client(server.path());
        const double cpu = cpuSeconds();
        const auto start = Steady::now();
        QVERIFY(client.write(toBytes(ReadDataFrame(1, 2880))));
        const auto half = client.read(expected.size() / 2, 3000ms);
        const double halfTime = secondsSince(start);
        const auto rest = client.read(expected.size() / 2, 3000ms);
        const double took = secondsSince(start);
        Bytes got = half.bytes;
        got.insert(got.end(), rest.bytes.begin(), rest.bytes.end());
        QCOMPARE(got, expected);
        QVERIFY2(halfTime > 0.48 && halfTime < 0.6, qPrintable(QString::number(halfTime)));
        QVERIFY2(took > 0.99 && took < 1.1, qPrintable(QString::number(took)));
        QVERIFY2(cpuSeconds() - cpu < 0.2, qPrintable(QString::number(cpuSeconds() - cpu)));
    }

    // Closing the terminal throws away what the client has not read, so the
    // server hangs up only after the client has read the items before it,
    // even when the client comes late.
    void hangUpClosesTheTerminal() {
        sim::PtyServer server({.fault = {.kind = FaultKind::HangUpAfter, .count = 2}});
        std::atomic<bool> stopped = false;
        QVERIFY(server.start([&] { stopped = true; }));
        sim::EvmModel reference;
        PtyClient client(server.path());
        QVERIFY(client.write(toBytes(ReadDataFrame(1, 5))));
        std::this_thread::sleep_for(50ms);
        QVERIFY(!stopped);
        const auto got = client.read(20, 2000ms);
        QCOMPARE(toHex(got.bytes), toHex(answer(reference, ReadDataFrame(1, 2))));
        QVERIFY(got.failed);
        QTRY_VERIFY_WITH_TIMEOUT(stopped, 1000);
        QVERIFY(!server.serving());
    }

    void stopsAtOnce() {
        auto server = std::make_unique<sim::PtyServer>();
        QVERIFY(server->start());
        PtyClient client(server->path());
        const auto start = Steady::now();
        server.reset();
        QVERIFY2(secondsSince(start) < 0.5, qPrintable(QString::number(secondsSince(start))));
        QVERIFY(client.read(1, 500ms).failed);
    }
};

}  // namespace

ORV_REGISTER_TEST(PtyServerTest);
#include "test_pty_server.moc"
