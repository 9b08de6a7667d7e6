// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/commands.h"

#include "link/printf.h"

namespace orv {

namespace {

constexpr const char* kError = "Error";
constexpr const char* kErrorBang = "Error !";

Frame frameFor(const Link& link, Command command, std::uint8_t high = 0, std::uint8_t low = 0) {
    return CommandFrame(link.evmType(), command, high, low);
}

const char* calibrationFailure(Command calibration) {
    switch (calibration) {
        case Command::SelfOffsetCal:
            return "Self offset calibration failed !";
        case Command::SelfGainCal:
            return "Self gain calibration failed !";
        case Command::SysOffsetCal:
            return "System offset calibration failed !";
        case Command::SysGainCal:
            return "System gain calibration failed !";
        default:
            return nullptr;
    }
}

}  // namespace

Exchange exchange(Link& link, const Frame& frame, int waitMs, Reply& reply) {
    if (link.SendFrame(frame, waitMs) != link_status::kSuccess) {
        return Exchange::SendFailed;
    }
    if (link.ReceiveBytes(reply) != link_status::kSuccess) {
        return Exchange::ReceiveFailed;
    }
    return Exchange::Replied;
}

bool answeredPlainly(Link& link, const Frame& frame) {
    Reply reply{};
    return exchange(link, frame, kCommandWaitMs, reply) == Exchange::Replied &&
           plainReplyOk(static_cast<Command>(frame[2]), reply);
}

bool WriteRegister(Link& link, std::uint8_t address, std::uint8_t value) {
    Reply reply{};
    return exchange(link, frameFor(link, Command::WriteReg, address, value), kWriteWaitMs, reply) ==
               Exchange::Replied &&
           writeReplyOk(address, value, reply);
}

bool WriteRegisterOrReport(Link& link, Prompts& prompts, PromptOwner owner, std::uint8_t address,
                           std::uint8_t value) {
    if (WriteRegister(link, address, value)) {
        return true;
    }
    prompts.message(owner, printfText("Write register %02X fail !", address), kErrorBang);
    return false;
}

RegisterRead ReadRegister(Link& link, std::uint8_t address) {
    Reply reply{};
    if (exchange(link, frameFor(link, Command::ReadReg, address), kReadRegisterWaitMs, reply) !=
        Exchange::Replied) {
        return {RegisterRead::Outcome::Failed, 0};
    }
    if (!readReplyOk(address, reply)) {
        return {RegisterRead::Outcome::Mismatch, 0};
    }
    return {RegisterRead::Outcome::Good, reply[1]};
}

bool ReadRegisterOrReport(Link& link, Prompts& prompts, PromptOwner owner, std::uint8_t address,
                          std::uint8_t& imageByte) {
    const RegisterRead read = ReadRegister(link, address);
    imageByte = read.appliedTo(imageByte);
    if (read.outcome == RegisterRead::Outcome::Good) {
        return true;
    }
    prompts.message(owner, printfText("Read Register Address %02X Failed !", address),
                    "Error occured !");
    return false;
}

void SetCalibrationRegister(Link& link, std::uint8_t address, std::uint8_t value) {
    Reply ignored{};
    exchange(link, frameFor(link, Command::WriteReg, address, value), kWriteWaitMs, ignored);
}

SelfCalibration SelfCalibrate(Link& link, Clock& clock, Prompts& prompts, PromptOwner owner) {
    if (link.SendFrame(frameFor(link, Command::SelfCal), kCommandWaitMs) != link_status::kSuccess) {
        prompts.message(owner, "Self calibration failed !", kError);
        return SelfCalibration::NotSent;
    }
    clock.sleepFor(std::chrono::milliseconds(200));
    Reply reply{};
    const bool answered =
        link.ReceiveBytes(reply) == link_status::kSuccess && plainReplyOk(Command::SelfCal, reply);
    return answered ? SelfCalibration::Answered : SelfCalibration::NotAnswered;
}

bool Calibrate(Link& link, Prompts& prompts, PromptOwner owner, Command calibration) {
    const char* failure = calibrationFailure(calibration);
    if (failure == nullptr) {
        return false;
    }
    if (answeredPlainly(link, frameFor(link, calibration))) {
        return true;
    }
    prompts.message(owner, failure, kError);
    return false;
}

bool SendPowerCommand(Link& link, Prompts& prompts, PromptOwner owner, Command command) {
    Reply reply{};
    switch (exchange(link, frameFor(link, command), kCommandWaitMs, reply)) {
        case Exchange::SendFailed:
            prompts.message(owner, "Send command failed !", kError);
            return false;
        case Exchange::ReceiveFailed:
            if (command == Command::Standby) {
                prompts.message(owner, "", "");
            }
            return false;
        case Exchange::Replied:
            break;
    }
    return plainReplyOk(command, reply);
}

int SendReadData(Link& link, Prompts& prompts, PromptOwner owner, int count) {
    const int status = link.SendFrame(ReadDataFrame(link.evmType(), count), kCommandWaitMs);
    if (status != link_status::kSuccess) {
        prompts.message(owner, "Send command failed !", kError);
    }
    return status;
}

int ReceiveItem(Link& link, Prompts& prompts, PromptOwner owner, int index,
                std::span<std::uint8_t, 4> item) {
    const int status = link.ReceiveBytes(item);
    if (status != link_status::kSuccess) {
        prompts.message(owner, printfText("Get item %d failed !", index), kErrorBang);
    }
    return status;
}

int firstBadItem(std::span<const std::uint8_t> block) {
    const std::size_t items = block.size() / 4;
    for (std::size_t k = 0; k < items; ++k) {
        const auto* item = block.data() + 4 * k;
        if (!itemChecksumOk(item[0], item[1], item[2], item[3])) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

int CheckItems(Prompts& prompts, PromptOwner owner, std::span<const std::uint8_t> block) {
    const int bad = firstBadItem(block);
    if (bad < 0) {
        return link_status::kSuccess;
    }
    prompts.message(owner, printfText("The checksum of item %d is invalid !", bad), kErrorBang);
    return link_status::kInvalidData;
}

}  // namespace orv
