// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProcess>
#include <QTest>

#include "pty_client.h"
#include "sim_process.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;
using namespace std::chrono_literals;

namespace {

QString simulator() {
    return qEnvironmentVariable("ORVELLIN_EVM_SIM");
}

// The executable end to end: its options reach the EVM it serves.
class SimulatorTest : public QObject {
    Q_OBJECT
private slots:
    void servesItsTerminal_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("reply");
        const QByteArray handshake("55 01 F0 00 00 0F");
        QTest::newRow("plain") << QStringList() << handshake << QByteArray("00 00 F0");
        QTest::newRow("wrong handshake")
            << QStringList{"--fault", "wrong-handshake"} << handshake << QByteArray("00 00 F1");
        QTest::newRow("exact reply on reset")
            << QStringList{"--reply", "01 00 0A", "--command", "0A"}
            << QByteArray("55 01 0A 00 00 F5") << QByteArray("01 00 0A");
        QTest::newRow("exact reply, other command")
            << QStringList{"--reply", "01 00 0A", "--command", "0A"} << handshake
            << QByteArray("00 00 F0");
        QTest::newRow("preset register")
            << QStringList{"--register", "03=23"} << QByteArray("55 01 02 03 00 FA")
            << QByteArray("00 23 28");
        QTest::newRow("other type") << QStringList{"--type", "2"} << handshake << QByteArray();
    }
    void servesItsTerminal() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, reply);
        SimProcess process(arguments);
        QVERIFY(process.path().startsWith("/dev/"));
        PtyClient client(process.port());
        QVERIFY(client.isOpen());
        QVERIFY(client.write(fromHex(frame)));
        QCOMPARE(toHex(client.read(3, reply.isEmpty() ? 200ms : 2000ms).bytes), reply);
    }

    // AIN5 at -1.25 V against AINCOM, uncalibrated: -2097152 codes, within
    // the converter's offset and gain errors (0.1 %); the default 0.5 V would
    // read +838861.
    void inputsReachTheResults() {
        SimProcess process({"--input", "AIN5=-1.25", "--register", "01=58", "--register", "03=03"});
        PtyClient client(process.port());
        QVERIFY(client.isOpen());
        QVERIFY(client.write(toBytes(ReadDataFrame(1, 4))));
        const auto results = samples(client.read(16, 2000ms).bytes);
        QCOMPARE(results.size(), std::size_t{4});
        for (const std::int32_t result : results) {
            QVERIFY2(std::abs(result + 2097152) < 2097, qPrintable(QString::number(result)));
        }
    }

    void endsCleanlyOnTerminate() {
        QProcess process;
        process.start(simulator(), {});
        QVERIFY(process.waitForReadyRead(5000));
        QVERIFY(process.readLine().startsWith("/dev/"));
        process.terminate();
        QVERIFY(process.waitForFinished(2000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }

    void helpNamesEveryOption() {
        QProcess process;
        process.start(simulator(), {"--help"});
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitCode(), 0);
        const QString help = QString::fromUtf8(process.readAllStandardOutput());
        for (const char* word :
             {"--paced",      "--input",       "AINCOM",        "sine:",           "--tone",
              "--register",   "--type",        "--fault",       "--reply",         "--command",
              "--address",    "--help",        "no-answer",     "short-reply",     "long-reply",
              "wrong-status", "wrong-check",   "failing-reset", "wrong-handshake", "bad-checksum=",
              "slow=",        "silent-after=", "hang-up-after="}) {
            QVERIFY2(help.contains(QLatin1String(word)), word);
        }
    }

    void refusesABadOption() {
        QProcess process;
        process.start(simulator(), {"--fault", "sometimes"});
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardOutput().isEmpty());
        QVERIFY(process.readAllStandardError().contains("sometimes"));
    }
};

}  // namespace

ORV_REGISTER_TEST(SimulatorTest);
#include "test_simulator.moc"
