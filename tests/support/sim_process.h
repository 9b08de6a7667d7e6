// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <memory>

namespace orv::test {

// orvellin-evm-sim running on its own pseudo-terminal for one test; ended
// when this goes out of scope.
class SimProcess {
public:
    explicit SimProcess(const QStringList& arguments = {}) {
        process_.setProgram(qEnvironmentVariable("ORVELLIN_EVM_SIM"));
        process_.setArguments(arguments);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        if (process_.waitForStarted(5000)) {
            while (!process_.canReadLine() && process_.waitForReadyRead(5000)) {
            }
            path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
        }
    }
    ~SimProcess() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The pseudo-terminal's path, empty when the simulator did not start.
    const QString& path() const { return path_; }
    std::string port() const { return path_.toStdString(); }

private:
    QProcess process_;
    QString path_;
};

}  // namespace orv::test
