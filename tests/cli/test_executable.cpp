// SPDX-License-Identifier: GPL-3.0-or-later
// The real orvellin-cli against orvellin-evm-sim on a pseudo-terminal: the
// real serial code, settings kept from one run to the next, and Ctrl-C
// while the progress bar runs on a terminal of its own.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "capture/capture.h"
#include "sim_process.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;

namespace {

struct ExecutableRun {
    int code = -1;
    QByteArray out;
    QByteArray err;

    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

QString cliPath() {
    return qEnvironmentVariable("ORVELLIN_CLI");
}

// The simulator's port is named first, so no port of this machine is tried.
ExecutableRun runCli(const SimProcess& simulator, QStringList args) {
    args.prepend(simulator.path());
    args.prepend(QStringLiteral("--port"));
    QProcess process;
    process.start(cliPath(), args);
    ExecutableRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// A pseudo-terminal whose far end serves as a process's error stream.
class Terminal {
public:
    Terminal() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            path_ = QString::fromLocal8Bit(ptsname(master_));
        }
    }
    ~Terminal() {
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    const QString& path() const { return path_; }

    // Reads what the process wrote until `text` has arrived or 10 s went by.
    bool waitFor(const QByteArray& text) {
        for (int turns = 0; turns < 100 && !seen_.contains(text); ++turns) {
            pollfd fd{master_, POLLIN, 0};
            if (::poll(&fd, 1, 100) > 0) {
                char buffer[256];
                const ssize_t count = ::read(master_, buffer, sizeof buffer);
                if (count > 0) {
                    seen_.append(buffer, count);
                }
            }
        }
        return seen_.contains(text);
    }
    const QByteArray& seen() const { return seen_; }

private:
    int master_;
    QString path_;
    QByteArray seen_;
};

class ExecutableTest final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (cliPath().isEmpty() || qEnvironmentVariable("ORVELLIN_EVM_SIM").isEmpty()) {
            QSKIP("ORVELLIN_CLI and ORVELLIN_EVM_SIM name the executables");
        }
    }

    // Only reset (and scan) send the reset command: what one run sets, the
    // next one reads, until a reset brings the power-on values back.
    void settingsStayUntilReset() {
        SimProcess simulator;
        QVERIFY(!simulator.path().isEmpty());
        const ExecutableRun set = runCli(simulator, {"set", "gain=8", "mux=AIN2,AIN3"});
        QCOMPARE(set.code, 0);
        QVERIFY(set.err.isEmpty());

        const QJsonObject kept = runCli(simulator, {"--json", "regs"}).json();
        QCOMPARE(kept["fields"]["gain"].toInt(), 8);
        QCOMPARE(kept["fields"]["mux"].toString(), QStringLiteral("AIN2,AIN3"));

        const ExecutableRun reset = runCli(simulator, {"reset"});
        QCOMPARE(reset.code, 0);
        const QJsonObject fresh = runCli(simulator, {"--json", "regs"}).json();
        QCOMPARE(fresh["fields"]["gain"].toInt(), 1);
        QCOMPARE(fresh["registers"]["MUX"].toString(), QStringLiteral("01"));
    }

    // The capture names the port by its full name.
    void collectsThroughTheRealPort() {
        SimProcess simulator;
        QTemporaryDir folder;
        const QString path = folder.filePath("run.csv");
        const ExecutableRun run = runCli(simulator, {"collect", "-n", "500", "-o", path});
        QCOMPARE(run.code, 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const CaptureReading reading = readCapture(file.readAll().toStdString());
        QVERIFY2(reading.capture, reading.error.c_str());
        QCOMPARE(reading.capture->codes.size(), std::size_t(500));
        QCOMPARE(QString::fromStdString(reading.capture->info.port), simulator.path());
    }

    void failingEvmExitsOne() {
        SimProcess simulator({"--fault", "no-answer", "--command", "02"});
        const ExecutableRun run = runCli(simulator, {"regs"});
        QCOMPARE(run.code, 1);
        QCOMPARE(run.err, QByteArray("Read Register Address 00 Failed !\n"));
        QVERIFY(run.out.isEmpty());
    }

    // At 2.5 SPS, paced, the first result takes 0.4 s: Ctrl-C once the bar
    // shows stops the collection after that item, and nothing is written.
    void interruptStopsTheCollection() {
        SimProcess simulator({"--paced", "--register", "03=03"});
        Terminal terminal;
        QVERIFY(!terminal.path().isEmpty());
        QTemporaryDir folder;
        QProcess process;
        process.setStandardErrorFile(terminal.path());
        process.start(cliPath(), {"--port", simulator.path(), "collect", "-n", "100", "-o",
                                  folder.filePath("run.txt")});
        QVERIFY(process.waitForStarted());
        QVERIFY2(terminal.waitFor("Collecting ["), terminal.seen().constData());
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 130);
        QVERIFY(terminal.waitFor("stopped; nothing was written"));
        QVERIFY(QDir(folder.path()).isEmpty());
    }
};

}  // namespace

ORV_REGISTER_TEST(ExecutableTest);
#include "test_executable.moc"
