// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <string>

#ifdef __linux__
#include <sys/prctl.h>

#include <csignal>
#endif

// What the benchmarks that run programs share: orvellin-evm-sim on its own
// pseudo-terminal, and a program run to its end.
namespace orv::bench {

// The simulator prints its terminal's path as soon as it serves it; this
// only bounds a simulator that never does.
inline constexpr int kSimulatorStartMs = 5000;

// orvellin-evm-sim serving one pseudo-terminal while this lives; on Linux it
// also ends with the benchmark, however that ends.
class Simulator {
public:
    Simulator(const QString& program, const QStringList& arguments) {
        process_.setProgram(program);
        process_.setArguments(arguments);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
#ifdef __linux__
        process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
        process_.start();
        if (process_.waitForStarted(kSimulatorStartMs)) {
            while (!process_.canReadLine() && process_.waitForReadyRead(kSimulatorStartMs)) {
            }
            path_ = QString::fromLocal8Bit(process_.readLine()).trimmed().toStdString();
        }
        if (path_.empty()) {
            std::fprintf(stderr, "%s did not start\n", qPrintable(program));
        }
    }
    ~Simulator() {
        if (process_.state() == QProcess::NotRunning) {
            return;
        }
        process_.terminate();
        if (!process_.waitForFinished(kSimulatorStartMs)) {
            process_.kill();
            process_.waitForFinished(kSimulatorStartMs);
        }
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The terminal's path; empty, with the reason on stderr, when the
    // simulator did not start.
    const std::string& path() const {
        return path_;
    }

private:
    QProcess process_;
    std::string path_;
};

// Runs `program` with `arguments` to its end, its error output passed on;
// false, with the reason on stderr, when it did not start, ran longer than
// `boundMs` (a working one returns long before), or ended with anything
// but 0.
inline bool runToEnd(QProcess& process, const QString& program, const QStringList& arguments,
                     int boundMs) {
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForStarted(kSimulatorStartMs) || !process.waitForFinished(boundMs)) {
        std::fprintf(stderr, "%s %s did not run to its end\n", qPrintable(program),
                     qPrintable(arguments.join(' ')));
        process.kill();
        process.waitForFinished(kSimulatorStartMs);
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s %s failed (exit code %d)\n", qPrintable(program),
                     qPrintable(arguments.join(' ')), process.exitCode());
        return false;
    }
    return true;
}

}  // namespace orv::bench
