// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/register_report.h"

#include "analysis/number_text.h"
#include "analysis/scale.h"
#include "cli/fields.h"

namespace orv::cli {

namespace {

constexpr std::uint8_t kAutoCalibration = 0x04;  // STATUS bit 2
constexpr std::uint8_t kDataReady = 0x01;        // STATUS bit 0, low when a result is ready
constexpr int kIoPins = 4;

const char* onOff(bool on) {
    return on ? "on" : "off";
}

// One field: its key, its JSON value and its text.
struct FieldLine {
    const char* key;
    Json value;
    std::string text;
};

std::string pinName(int pin) {
    return "D" + std::to_string(kIoPins - 1 - pin);
}

std::vector<FieldLine> fieldLines(const RegisterImage& image) {
    const std::uint8_t status = image[STATUS];
    const std::uint8_t adcon = image[ADCON];
    const auto rate = analysis::dataRateOf(image[DRATE]);
    const int gain = analysis::gainOf(adcon);
    const std::string clockOut(kClockOutWords[static_cast<std::size_t>(clockOutCode(adcon))]);
    const std::string sensor(kSensorWords[static_cast<std::size_t>(sensorCurrentCode(adcon))]);
    const int id = status >> 4;
    const char* order = (status & field::kOrderSet) != 0 ? "lsb-first" : "msb-first";
    const char* drdy = (status & kDataReady) != 0 ? "high" : "low";

    Json io = Json::object();
    std::string ioText;
    for (int pin = 0; pin < kIoPins; ++pin) {
        const bool input = (image[IO] & field::kIoDirection[static_cast<std::size_t>(pin)]) != 0;
        const bool high = (image[IO] & field::kIoLevel[static_cast<std::size_t>(pin)]) != 0;
        io[pinName(pin)] = {{"direction", input ? "input" : "output"},
                            {"level", high ? "high" : "low"}};
        ioText += (pin == 0 ? "" : ", ") + pinName(pin) + (input ? " input " : " output ") +
                  (high ? "high" : "low");
    }
    const std::string offset = calibrationText(image[OFC2], image[OFC1], image[OFC0]);
    const std::string fullScale = calibrationText(image[FSC2], image[FSC1], image[FSC0]);
    const bool buffer = (status & field::kBufferSet) != 0;
    const bool autoCalibration = (status & kAutoCalibration) != 0;

    return {
        {"mux", muxText(image[MUX]), muxText(image[MUX])},
        {"gain", gain, std::to_string(gain)},
        {"rate_sps", rate ? Json(*rate) : Json(nullptr),
         rate ? analysis::shortestText(*rate) + " SPS"
              : "unknown (DRATE " + registerText(image[DRATE]) + ")"},
        {"buffer", onOff(buffer), onOff(buffer)},
        {"clock-out", clockOut, clockOut},
        {"sensor", sensor, sensor == "off" ? sensor : sensor + " uA"},
        {"id", id, std::to_string(id)},
        {"order", order, order},
        {"auto-calibration", onOff(autoCalibration), onOff(autoCalibration)},
        {"drdy", drdy, drdy},
        {"io", io, ioText},
        {"offset", offset, offset},
        {"full-scale", fullScale, fullScale},
    };
}

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

}  // namespace

Json registersJson(const RegisterImage& image) {
    Json registers = Json::object();
    for (std::size_t a = 0; a < image.size(); ++a) {
        registers[kRegisterNames[a]] = registerText(image[a]);
    }
    return registers;
}

Json fieldsJson(const RegisterImage& image) {
    Json fields = Json::object();
    for (FieldLine& line : fieldLines(image)) {
        fields[line.key] = std::move(line.value);
    }
    return fields;
}

Json writesJson(std::span<const RegisterWrite> writes) {
    Json written = Json::object();
    for (const RegisterWrite& write : writes) {
        written[kRegisterNames[write.address]] = registerText(write.value);
    }
    return written;
}

std::string registersText(const RegisterImage& image) {
    std::string text = "Register  Address  Value\n";
    for (std::size_t a = 0; a < image.size(); ++a) {
        text += padded(kRegisterNames[a], 10) +
                padded(registerText(static_cast<std::uint8_t>(a)), 9) + registerText(image[a]) +
                "\n";
    }
    text += "\nField             Value\n";
    for (const FieldLine& line : fieldLines(image)) {
        // The table names the data rate as `set` does; its unit is in the text.
        const std::string_view label = line.key == std::string_view("rate_sps") ? "rate" : line.key;
        text += padded(std::string(label), 18) + line.text + "\n";
    }
    return text;
}

}  // namespace orv::cli
