// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/qt_serial_device.h"

namespace orv {

namespace {

// Marks the span of one operation.
class OperationScope {
public:
    explicit OperationScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~OperationScope() { flag_ = false; }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

QtSerialDevice::QtSerialDevice() {
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { OnErrorOccurred(error); });
}

bool QtSerialDevice::open(const std::string& name) {
    const OperationScope operation(inOperation_);
    port_.setPortName(QString::fromStdString(name));
    if (!port_.open(QIODevice::ReadWrite)) {
        return false;
    }
    if (!port_.setBaudRate(QSerialPort::Baud115200) || !port_.setDataBits(QSerialPort::Data8) ||
        !port_.setParity(QSerialPort::NoParity) || !port_.setStopBits(QSerialPort::OneStop)) {
        port_.close();
        return false;
    }
    // Opening does not discard what the driver already holds.
    port_.clear();
    return true;
}

IoStatus QtSerialDevice::write(std::span<const std::uint8_t> bytes,
                               std::chrono::milliseconds bound) {
    const OperationScope operation(inOperation_);
    if (!port_.isOpen() || failed()) {
        return lose();
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (port_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        return lose();
    }
    if (port_.bytesToWrite() > 0 && !port_.waitForBytesWritten(static_cast<int>(bound.count()))) {
        if (failed()) {
            return lose();
        }
        port_.clearError();
        return IoStatus::TimedOut;
    }
    return IoStatus::Ok;
}

// waitForReadyRead does not report bytes the port has already buffered, so
// those are taken first; and it may return early, which the caller's
// deadline absorbs.
ReadResult QtSerialDevice::read(std::span<std::uint8_t> buffer, std::chrono::milliseconds bound) {
    const OperationScope operation(inOperation_);
    if (!port_.isOpen() || failed()) {
        return {0, lose()};
    }
    if (port_.bytesAvailable() == 0) {
        port_.waitForReadyRead(static_cast<int>(bound.count()));
        if (failed()) {
            return {0, lose()};
        }
        if (port_.bytesAvailable() == 0) {
            port_.clearError();
            return {0, IoStatus::TimedOut};
        }
    }
    const qint64 count =
        port_.read(reinterpret_cast<char*>(buffer.data()), static_cast<qint64>(buffer.size()));
    if (count < 0) {
        return {0, lose()};
    }
    return {static_cast<std::size_t>(count), IoStatus::Ok};
}

void QtSerialDevice::clear() {
    const OperationScope operation(inOperation_);
    if (port_.isOpen()) {
        port_.clear(QSerialPort::AllDirections);
    }
}

void QtSerialDevice::close() {
    if (port_.isOpen()) {
        port_.close();
    }
}

bool QtSerialDevice::failed() const {
    const auto error = port_.error();
    return error != QSerialPort::NoError && error != QSerialPort::TimeoutError;
}

// Between operations an error of the port is a loss too. The handler may
// retire this device, so it runs from a copy, after the port is closed.
void QtSerialDevice::OnErrorOccurred(QSerialPort::SerialPortError error) {
    if (inOperation_ || !port_.isOpen() || error == QSerialPort::NoError ||
        error == QSerialPort::TimeoutError) {
        return;
    }
    close();
    if (const auto onLost = onLost_) {
        onLost();
    }
}

// After a hang-up the port keeps reporting its error and, left open, keeps
// the event loop busy: close it at once.
IoStatus QtSerialDevice::lose() {
    close();
    return IoStatus::Lost;
}

}  // namespace orv
