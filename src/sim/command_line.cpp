// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/command_line.h"

#include <algorithm>
#include <cctype>
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
double parseDecimal(std::string_view text, const std::string& what) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        reject("bad " + what + ": '" + std::string(text) + "'");
    }
    return value;
}

double parseFrequency(std::string_view text) {
    const double hz = parseDecimal(text, "frequency");
    if (hz < 0.0) {
        reject("negative frequency: '" + std::string(text) + "'");
    }
    return hz;
}

std::size_t parseInputName(std::string_view name) {
    for (std::size_t input = 0; input < kInputCount; ++input) {
        const std::string_view known = inputName(input);
        if (std::equal(name.begin(), name.end(), known.begin(), known.end(), [](char a, char b) {
                return std::toupper(static_cast<unsigned char>(a)) == b;
            })) {
            return input;
        }
    }
    reject("no input '" + std::string(name) + "' (AIN0 to AIN7, AINCOM)");
}

// VOLTS, or sine:HZ:PEAK[:CENTRE].
AnalogInput parseSignal(std::string_view text) {
    AnalogInput input;
    constexpr std::string_view kSine = "sine:";
    if (!text.starts_with(kSine)) {
        input.volts = parseDecimal(text, "voltage");
    } else {
        std::vector<std::string_view> fields;
        for (auto rest = text.substr(kSine.size());;) {
            const auto colon = rest.find(':');
            fields.push_back(rest.substr(0, colon));
            if (colon == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(colon + 1);
        }
        if (fields.size() < 2 || fields.size() > 3) {
            reject("a sine is sine:HZ:PEAK or sine:HZ:PEAK:CENTRE: '" + std::string(text) + "'");
        }
        input.hz = parseFrequency(fields[0]);
        input.amplitude = parseDecimal(fields[1], "peak voltage");
        input.volts = fields.size() == 3 ? parseDecimal(fields[2], "centre voltage") : 0.0;
        if (input.amplitude < 0.0) {
            reject("negative peak voltage: '" + std::string(text) + "'");
        }
    }
    if (std::abs(input.volts) + input.amplitude > kInputLimit) {
        reject("an input stays within -5 V and 5 V: '" + std::string(text) + "'");
    }
    return input;
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
        } else if (option == "--input") {
            const std::string& assignment = value();
            const auto equals = assignment.find('=');
            if (equals == std::string::npos) {
                reject("--input takes NAME=VOLTS or NAME=sine:HZ:PEAK: '" + assignment + "'");
            }
            const auto text = std::string_view(assignment);
            options.evm.inputs[parseInputName(text.substr(0, equals))] =
                parseSignal(text.substr(equals + 1));
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
                          (10 bits a byte) and every result no sooner than
                          the data rate converts it; without it answers go
                          out at once
  --input NAME=VOLTS      the voltage of input NAME (AIN0 to AIN7, AINCOM)
  --input NAME=sine:HZ:PEAK[:CENTRE]
                          a sine of HZ hertz and PEAK volts about CENTRE
                          volts (default 0) on input NAME; its 2nd and 3rd
                          harmonics are at -110 dBc. Inputs stay within
                          -5 V and 5 V; decimals take a point. May be repeated
  --tone HZ               the test tone's frequency (default 50); 0 leaves
                          AIN0 at 0 V
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

Inputs (volts against ground, until --input sets another):
  AIN0 the test tone, sine:50:2.0   AIN1 0      AIN2 1.25    AIN3 1.25
  AIN4 1.0    AIN5 0.5    AIN6 -2.0   AIN7 2.4    AINCOM 0
A result is the difference MUX selects times the gain, in codes of
5 V / (gain x 2^23), with noise, clipped to -8388608 ... 8388607. At power-on
MUX reads AIN0 against AIN1, the tone; MUX 23 reads the shorted pair AIN2 and
AIN3, only noise and offset.

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
  orvellin-evm-sim --input AIN4=sine:1000:1.5:0.5 --input AINCOM=0.25
)";
}

}  // namespace orv::sim
