// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/command_line.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace orv::sim {

namespace {

[[noreturn]] void reject(const std::string& message) {
    throw std::invalid_argument(message);
}

template <class Number>
Number parseNumber(std::string_view text, int base, const std::string& what) {
    if (base == 16 && (text.starts_with("0x") || text.starts_with("0X"))) {
        text.remove_prefix(2);
    }
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        reject("bad " + what + ": '" + std::string(text) + "'");
    }
    return value;
}

std::uint8_t parseByte(std::string_view text, const std::string& what) {
    const auto value = parseNumber<unsigned>(text, 16, what);
    if (value > 0xFF) {
        reject(what + " out of range: '" + std::string(text) + "'");
    }
    return static_cast<std::uint8_t>(value);
}

std::uint8_t parseAddress(std::string_view text) {
    const std::uint8_t address = parseByte(text, "register address");
    if (address >= kRegisterCount) {
        reject("no register at address '" + std::string(text) + "'");
    }
    return address;
}

// A decimal point whatever the locale.
double parseFrequency(const std::string& text) {
    double hz = -1.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), hz);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(hz) || hz < 0.0) {
        reject("bad tone frequency: '" + text + "'");
    }
    return hz;
}

Reply parseReply(const std::string& text) {
    std::istringstream words(text);
    Reply reply{};
    std::string word;
    std::size_t count = 0;
    while (words >> word) {
        if (count == reply.size()) {
            reject("--reply takes three bytes: '" + text + "'");
        }
        reply[count++] = parseByte(word, "reply byte");
    }
    if (count != reply.size()) {
        reject("--reply takes three bytes: '" + text + "'");
    }
    return reply;
}

std::vector<std::size_t> parseItems(std::string_view list) {
    std::vector<std::size_t> items;
    while (true) {
        const auto comma = list.find(',');
        items.push_back(parseNumber<std::size_t>(list.substr(0, comma), 10, "item index"));
        if (comma == std::string_view::npos) {
            return items;
        }
        list.remove_prefix(comma + 1);
    }
}

Fault parseFault(const std::string& text) {
    const auto equals = text.find('=');
    const std::string name = text.substr(0, equals);
    const std::string_view value = equals == std::string::npos
                                       ? std::string_view()
                                       : std::string_view(text).substr(equals + 1);
    const bool hasValue = equals != std::string::npos;

    struct Plain {
        const char* name;
        FaultKind kind;
    };
    static constexpr Plain kPlain[] = {
        {"no-answer", FaultKind::NoAnswer},
        {"short-reply", FaultKind::ShortReply},
        {"long-reply", FaultKind::LongReply},
        {"wrong-status", FaultKind::WrongStatus},
        {"wrong-check", FaultKind::WrongCheck},
        {"failing-reset", FaultKind::FailingReset},
        {"wrong-handshake", FaultKind::WrongHandshake},
    };
    Fault fault;
    for (const Plain& plain : kPlain) {
        if (name == plain.name && !hasValue) {
            fault.kind = plain.kind;
            return fault;
        }
    }
    if (name == "bad-checksum" && hasValue) {
        fault.kind = FaultKind::BadChecksum;
        fault.items = parseItems(value);
    } else if (name == "slow" && hasValue) {
        fault.kind = FaultKind::Slow;
        fault.delay = std::chrono::milliseconds(parseNumber<unsigned>(value, 10, "delay"));
    } else if (name == "silent-after" && hasValue) {
        fault.kind = FaultKind::SilentAfter;
        fault.count = parseNumber<std::size_t>(value, 10, "item count");
    } else if (name == "hang-up-after" && hasValue) {
        fault.kind = FaultKind::HangUpAfter;
        fault.count = parseNumber<std::size_t>(value, 10, "item count");
    } else {
        reject("unknown fault: '" + text + "' (see --help)");
    }
    return fault;
}

}  // namespace

SimOptions parseCommandLine(std::span<const std::string> args) {
    SimOptions options;
    Fault& fault = options.evm.fault;
    std::optional<Command> command;
    std::optional<std::uint8_t> address;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 == args.size()) {
                reject(option + " needs a value");
            }
            return args[++i];
        };
        if (option == "--help" || option == "-h") {
            options.help = true;
        } else if (option == "--paced") {
            options.wire = Wire::Paced;
        } else if (option == "--tone") {
            options.evm.toneHz = parseFrequency(value());
        } else if (option == "--type") {
            options.evm.type = parseNumber<int>(value(), 10, "EVM type");
        } else if (option == "--register") {
            const std::string& assignment = value();
            const auto equals = assignment.find('=');
            if (equals == std::string::npos) {
                reject("--register takes ADDR=VALUE: '" + assignment + "'");
            }
            const auto text = std::string_view(assignment);
            options.evm.powerOn[parseAddress(text.substr(0, equals))] =
                parseByte(text.substr(equals + 1), "register value");
        } else if (option == "--fault" || option == "--reply") {
            if (fault.kind != FaultKind::None) {
                reject("one fault at a time: " + option + " after another fault");
            }
            if (option == "--fault") {
                fault = parseFault(value());
            } else {
                fault.kind = FaultKind::ExactReply;
                fault.reply = parseReply(value());
            }
        } else if (option == "--command") {
            command = static_cast<Command>(parseByte(value(), "command code"));
        } else if (option == "--address") {
            address = parseAddress(value());
        } else {
            reject("unknown option: '" + option + "' (see --help)");
        }
    }
    if ((command || address) && fault.kind == FaultKind::None) {
        reject("--command and --address restrict a fault: give --fault or --reply");
    }
    if (address && command && *command != Command::WriteReg && *command != Command::ReadReg) {
        reject("--address restricts only register writes (01) and reads (02)");
    }
    fault.command = command;
    fault.address = address;
    return options;
}

std::string usageText() {
    return R"(Usage: orvellin-evm-sim [OPTION]...
Simulates the evaluation module on a new pseudo-terminal. Prints the terminal's
path as the first line on standard output and serves until SIGTERM or SIGINT,
or until a hang-up fault ends the serving. Numbers marked hex take hexadecimal
digits with or without 0x.

Options:
  --paced                 send every byte at the wire rate of 115200 baud
                          (10 bits a byte); without it answers go out at once
  --tone HZ               add a sine tone of HZ hertz to the converter's input
  --register ADDR=VALUE   power-on value of a register (hex; ADDR 00 to 0A);
                          a reset restores it; may be repeated
  --type CODE             EVM type to answer (decimal, default 1); frames for
                          other types get no answer
  --fault FAULT           misbehave as FAULT (one fault at a time, see below)
  --reply "B0 B1 B2"      answer with these three bytes (hex) instead of the
                          right reply; a fault like --fault
  --command CODE          apply the fault only to this command code (hex)
  --address ADDR          apply the fault only to register writes and reads of
                          this address (hex)
  -h, --help              show this text and exit

Faults:
  no-answer               send nothing, not even data items
  short-reply             drop the last byte of the answer (2 of 3 bytes)
  long-reply              send one extra byte after the answer
  wrong-status            three-byte replies carry status 01
  wrong-check             three-byte replies carry a check byte one too high
  failing-reset           the reset does nothing and answers 01 00 0A
  wrong-handshake         the handshake answers 00 00 F1
  bad-checksum=K[,K...]   data items K... (from 0) carry a wrong check byte
  slow=MS                 start every answer MS milliseconds late
  silent-after=K          the data command sends K items, then nothing
  hang-up-after=K         the data command sends K items, then hangs up; other
                          commands hang up instead of answering

Examples:
  orvellin-evm-sim --fault slow=1500 --command 04
  orvellin-evm-sim --reply "00 00 F1" --command F0
  orvellin-evm-sim --paced --tone 50 --register 03=23
)";
}

}  // namespace orv::sim
