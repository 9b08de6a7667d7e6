// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/fields.h"

#include "analysis/scale.h"
#include "capture/file_text.h"
#include "cli/words.h"
#include "converter/value_tables.h"

namespace orv::cli {

namespace {

// The position of `word` in `words`, compared without regard to case.
template <std::size_t N>
std::optional<int> indexOf(const std::array<std::string_view, N>& words, std::string_view word) {
    for (std::size_t i = 0; i < N; ++i) {
        if (sameWord(words[i], word)) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

std::optional<int> gainCodeOf(std::string_view text) {
    for (const ValueEntry& entry : PgaGainTable) {
        if (entry.valid == -1) {
            break;
        }
        if (text == entry.name) {
            return entry.code;
        }
    }
    return std::nullopt;
}

std::optional<std::uint8_t> drateOf(std::string_view text) {
    const auto sps = file_text::finiteNumber(text);
    if (!sps) {
        return std::nullopt;
    }
    for (const analysis::DataRate& rate : analysis::kDataRates) {
        if (rate.samplesPerSecond == *sps) {
            return rate.code;
        }
    }
    return std::nullopt;
}

std::optional<bool> switchOf(std::string_view text) {
    if (sameWord(text, "on")) {
        return true;
    }
    if (sameWord(text, "off")) {
        return false;
    }
    return std::nullopt;
}

// "AIN0,AIN1": the positive input, then the negative one.
std::string parseMux(std::string_view text, std::optional<std::uint8_t>& mux) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        return "mux takes two inputs, such as mux=AIN0,AIN1";
    }
    const auto positive = indexOf(kChannelNames, text.substr(0, comma));
    const auto negative = indexOf(kChannelNames, text.substr(comma + 1));
    if (!positive || !negative) {
        return "mux takes inputs AIN0 to AIN7 and AINCOM: '" + std::string(text) + "'";
    }
    if (*positive == *negative) {
        return "AIN+ and AIN- cannot select the same channel !";
    }
    mux = encodeMux(*positive, *negative);
    return {};
}

template <class T>
std::string take(std::optional<T>& field, std::optional<T> value, std::string_view name,
                 std::string_view text, const char* allowed) {
    if (field) {
        return std::string(name) + " is given twice";
    }
    if (!value) {
        return "bad " + std::string(name) + " '" + std::string(text) + "' (" + allowed + ")";
    }
    field = value;
    return {};
}

}  // namespace

std::string parseFieldSetting(std::string_view argument, FieldSettings& settings) {
    const std::size_t equals = argument.find('=');
    if (equals == std::string_view::npos) {
        return "set takes FIELD=VALUE: '" + std::string(argument) + "'";
    }
    const std::string_view name = argument.substr(0, equals);
    const std::string_view text = argument.substr(equals + 1);
    if (sameWord(name, "mux")) {
        if (settings.mux) {
            return "mux is given twice";
        }
        return parseMux(text, settings.mux);
    }
    if (sameWord(name, "gain")) {
        return take(settings.gainCode, gainCodeOf(text), "gain", text, "1, 2, 4, 8, 16, 32, 64");
    }
    if (sameWord(name, "rate")) {
        return take(settings.drate, drateOf(text), "rate", text,
                    "SPS of the data-rate list: 2.5, 5, 10, 15, 25, 30, 50, 60, 100, 500, 1000, "
                    "2000, 3750, 7500, 15000, 30000");
    }
    if (sameWord(name, "buffer")) {
        return take(settings.buffer, switchOf(text), "buffer", text, "on, off");
    }
    if (sameWord(name, "clock-out")) {
        return take(settings.clockOutCode, indexOf(kClockOutWords, text), "clock-out", text,
                    "off, clkin, clkin/2, clkin/4");
    }
    if (sameWord(name, "sensor")) {
        return take(settings.sensorCode, indexOf(kSensorWords, text), "sensor", text,
                    "off, 0.5, 2, 10 (uA)");
    }
    return "no field '" + std::string(name) + "' (mux, gain, rate, buffer, clock-out, sensor)";
}

std::vector<RegisterWrite> fieldWrites(const FieldSettings& settings, const RegisterImage& read) {
    std::vector<RegisterWrite> writes;
    if (settings.buffer) {
        writes.push_back({STATUS, withBits(read[STATUS], field::kBufferSet, *settings.buffer)});
    }
    if (settings.mux) {
        writes.push_back({MUX, *settings.mux});
    }
    if (settings.gainCode || settings.clockOutCode || settings.sensorCode) {
        std::uint8_t adcon = read[ADCON];
        if (settings.clockOutCode) {
            adcon = withClockOut(adcon, *settings.clockOutCode);
        }
        if (settings.sensorCode) {
            adcon = withSensorCurrent(adcon, *settings.sensorCode);
        }
        if (settings.gainCode) {
            adcon = withGain(adcon, *settings.gainCode);
        }
        writes.push_back({ADCON, adcon});
    }
    if (settings.drate) {
        writes.push_back({DRATE, *settings.drate});
    }
    return writes;
}

std::optional<std::uint8_t> registerAddress(std::string_view name) {
    for (std::size_t a = 0; a < kRegisterNames.size(); ++a) {
        if (sameWord(kRegisterNames[a], name)) {
            return static_cast<std::uint8_t>(a);
        }
    }
    return std::nullopt;
}

std::string parseRegisterWrite(std::string_view argument, std::vector<RegisterWrite>& writes) {
    const std::size_t equals = argument.find('=');
    if (equals == std::string_view::npos) {
        return "write takes NAME=HEX: '" + std::string(argument) + "'";
    }
    const std::string_view name = argument.substr(0, equals);
    const auto address = registerAddress(name);
    if (!address) {
        return "no register '" + std::string(name) + "' (STATUS, MUX, ADCON, DRATE, IO, OFC0, " +
               "OFC1, OFC2, FSC0, FSC1, FSC2)";
    }
    const auto value = hexByte(argument.substr(equals + 1));
    if (!value) {
        return "bad value for " + std::string(kRegisterNames[*address]) + ": '" +
               std::string(argument.substr(equals + 1)) + "' (two hexadecimal digits, 00 to FF)";
    }
    writes.push_back({*address, *value});
    return {};
}

std::string muxText(std::uint8_t mux) {
    const MuxChannels channels = decodeMux(mux);
    return std::string(kChannelNames[static_cast<std::size_t>(channels.positive)]) + "," +
           std::string(kChannelNames[static_cast<std::size_t>(channels.negative)]);
}

}  // namespace orv::cli
