// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/evm_model.h"

#include <algorithm>
#include <tuple>

#include "sim/converter.h"

namespace orv::sim {

namespace {

constexpr std::size_t kFrameSize = std::tuple_size_v<Frame>;

constexpr std::uint8_t kStatusIdBits = 0xF0;
constexpr std::uint8_t kBadStatus = 0x01;
constexpr std::uint8_t kExtraByte = 0x00;

bool frameIntact(const Frame& frame) {
    return frame[5] == frameChecksum(frame[2], frame[3], frame[4]);
}

SampleItem sampleItem(std::int32_t value) {
    const auto raw = static_cast<std::uint32_t>(value) & 0xFFFFFF;
    const auto d0 = static_cast<std::uint8_t>(raw >> 16);
    const auto d1 = static_cast<std::uint8_t>(raw >> 8);
    const auto d2 = static_cast<std::uint8_t>(raw);
    return {d0, d1, d2, static_cast<std::uint8_t>(d0 + d1 + d2)};
}

}  // namespace

Inputs inputsOf(const EvmConfig& config) {
    Inputs inputs = defaultInputs(config.toneHz);
    for (std::size_t i = 0; i < kInputCount; ++i) {
        if (config.inputs[i]) {
            inputs[i] = *config.inputs[i];
        }
    }
    return inputs;
}

EvmModel::EvmModel(EvmConfig config)
    : config_(std::move(config)), registers_(config_.powerOn), signal_(inputsOf(config_)) {}

std::vector<Reaction> EvmModel::receive(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<Reaction> reactions;
    auto cursor = pending_.begin();
    while (true) {
        cursor = std::find(cursor, pending_.end(), kFrameMark);
        if (static_cast<std::size_t>(pending_.end() - cursor) < kFrameSize) {
            break;
        }
        Frame frame{};
        std::copy_n(cursor, kFrameSize, frame.begin());
        cursor += kFrameSize;
        frames_.push_back(frame);
        if (auto reaction = answer(frame)) {
            reactions.push_back(std::move(*reaction));
        }
    }
    pending_.erase(pending_.begin(), cursor);
    return reactions;
}

std::uint8_t EvmModel::registerValue(std::uint8_t address) const {
    return registers_.at(address);
}

void EvmModel::setRegister(std::uint8_t address, std::uint8_t value) {
    registers_.at(address) = value;
}

std::optional<Reaction> EvmModel::answer(const Frame& frame) {
    if (!frameIntact(frame) || frame[1] != static_cast<std::uint8_t>(config_.type & 0xFF)) {
        return std::nullopt;
    }
    const bool faulty = config_.fault.appliesTo(frame);
    Reaction reaction;
    if (static_cast<Command>(frame[2]) == Command::ReadData) {
        reaction.conversionRate = dataRateOf(registers_[kDrate]);
        reaction.bytes = sendItems(frame, faulty);
    } else if (const auto reply = replyTo(frame, faulty)) {
        reaction.bytes.assign(reply->begin(), reply->end());
    } else {
        return std::nullopt;
    }
    if (faulty) {
        deliver(frame, reaction);
    }
    if (reaction.bytes.empty() && !reaction.hangUp) {
        return std::nullopt;
    }
    return reaction;
}

// The three-byte reply to any command but the data command, after the faults
// that change its content.
std::optional<Reply> EvmModel::replyTo(const Frame& frame, bool faulty) {
    const FaultKind kind = faulty ? config_.fault.kind : FaultKind::None;
    if (kind == FaultKind::FailingReset) {
        return Reply{kBadStatus, 0x00, frame[2]};
    }
    const auto data = execute(frame);
    if (!data) {
        return std::nullopt;
    }
    Reply reply{0x00, *data, replyCheck(*data, frame[2], frame[3], frame[4])};
    switch (kind) {
        case FaultKind::WrongStatus:
            reply[0] = kBadStatus;
            break;
        case FaultKind::WrongCheck:
            ++reply[2];
            break;
        case FaultKind::ExactReply:
            reply = config_.fault.reply;
            break;
        case FaultKind::WrongHandshake:
            reply = {0x00, 0x00, 0xF1};
            break;
        default:
            break;
    }
    return reply;
}

// The faults that change how the answer travels rather than what it says.
void EvmModel::deliver(const Frame& frame, Reaction& reaction) const {
    switch (config_.fault.kind) {
        case FaultKind::NoAnswer:
            reaction.bytes.clear();
            break;
        case FaultKind::ShortReply:
            if (!reaction.bytes.empty()) {
                reaction.bytes.pop_back();
            }
            break;
        case FaultKind::LongReply:
            reaction.bytes.push_back(kExtraByte);
            break;
        case FaultKind::Slow:
            reaction.delay = config_.fault.delay;
            break;
        case FaultKind::HangUpAfter:
            if (static_cast<Command>(frame[2]) != Command::ReadData) {
                reaction.bytes.clear();
            }
            reaction.hangUp = true;
            break;
        default:
            break;
    }
}

// The data byte of the reply, or nothing for a code the EVM does not know.
std::optional<std::uint8_t> EvmModel::execute(const Frame& frame) {
    const std::uint8_t address = frame[3];
    switch (static_cast<Command>(frame[2])) {
        case Command::WriteReg:
            writeRegister(address, frame[4]);
            return 0x00;
        case Command::ReadReg:
            return address < kRegisterCount ? registers_[address] : 0x00;
        case Command::SelfCal:
            calibrateOffset(0.0);
            calibrateSelfGain();
            return 0x00;
        case Command::SelfOffsetCal:
            calibrateOffset(0.0);
            return 0x00;
        case Command::SelfGainCal:
            calibrateSelfGain();
            return 0x00;
        case Command::SysOffsetCal:
            calibrateOffset(signal_.applied(registers_));
            return 0x00;
        case Command::SysGainCal:
            calibrateSystemGain();
            return 0x00;
        case Command::Reset:
            reset();
            return 0x00;
        case Command::Standby:
        case Command::PowerDown:
        case Command::Wakeup:
        case Command::Handshake:
            return 0x00;
        default:
            return std::nullopt;
    }
}

// The items the data command asks for, or fewer when the fault cuts the block.
std::vector<std::uint8_t> EvmModel::sendItems(const Frame& frame, bool faulty) {
    const Fault& fault = config_.fault;
    const std::size_t requested = (std::size_t{frame[3]} << 8) | frame[4];
    const bool cut =
        faulty && (fault.kind == FaultKind::SilentAfter || fault.kind == FaultKind::HangUpAfter);
    const std::size_t sent = cut ? std::min(fault.count, requested) : requested;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(sent * std::tuple_size_v<SampleItem>);
    for (std::size_t k = 0; k < sent; ++k) {
        auto item = sampleItem(nextResult());
        if (faulty && fault.kind == FaultKind::BadChecksum &&
            std::find(fault.items.begin(), fault.items.end(), k) != fault.items.end()) {
            ++item[3];
        }
        bytes.insert(bytes.end(), item.begin(), item.end());
    }
    return bytes;
}

// The ID bits of STATUS are fixed by the converter; other addresses hold
// nothing and writes to them are answered but lost.
void EvmModel::writeRegister(std::uint8_t address, std::uint8_t value) {
    if (address == kStatus) {
        registers_[kStatus] = static_cast<std::uint8_t>((registers_[kStatus] & kStatusIdBits) |
                                                        (value & ~kStatusIdBits));
    } else if (address < kRegisterCount) {
        registers_[address] = value;
    }
}

void EvmModel::reset() {
    registers_ = config_.powerOn;
    signal_.restart();
}

std::int32_t EvmModel::nextResult() {
    const double raw = rawOf(signal_.next(registers_));
    return converter::result(raw, offsetRegister(registers_), fullScaleRegister(registers_));
}

double EvmModel::rawOf(double volts) const {
    return converter::raw(volts, gainOf(registers_[kAdcon]));
}

// The self calibrations short the inputs inside the converter (0 V) and
// apply the reference (full scale); the system calibrations take the applied
// input. None of them sees noise: the converter averages it away.
void EvmModel::calibrateOffset(double volts) {
    setOffsetRegister(registers_, converter::offsetCalibration(rawOf(volts)));
}

void EvmModel::calibrateSelfGain() {
    const double reference = converter::kFullScaleVolts / gainOf(registers_[kAdcon]);
    setFullScaleRegister(registers_, converter::gainCalibration(rawOf(reference) - rawOf(0.0)));
}

void EvmModel::calibrateSystemGain() {
    const double span = rawOf(signal_.applied(registers_)) - offsetRegister(registers_);
    setFullScaleRegister(registers_, converter::gainCalibration(span));
}

}  // namespace orv::sim
