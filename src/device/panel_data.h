// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "acquire/chart_state.h"
#include "controls/busy_scope.h"
#include "converter/registers.h"
#include "converter/samples.h"
#include "seams/clock.h"

namespace orv {

// The working copies: the register bytes the pages edit and "Write" sends.
// Each page's copies live here, not in its window, so that they survive
// the panel window being rebuilt after every detection.

struct MuxPageData {
    std::uint8_t value = 0;
    int positiveSelection = 0;  // control identifier of the checked AIN+ button
    int negativeSelection = 0;  // control identifier of the checked AIN- button
};

struct ClocksPageData {
    std::uint8_t adcon = 0;  // the clock output lives in bits 6-5
};

struct GpioPageData {
    std::uint8_t output = 0;  // sent by "Write"
    std::uint8_t read = 0;    // shown
};

struct PowerPageData {
    std::uint8_t adcon = 0;  // the sensor-detect current lives in bits 4-3
};

struct CalPageData {
    std::array<std::uint8_t, 6> calibration{};  // OFC0 .. FSC2, in address order
    // The "Working" box's fill, 0x00BBGGRR: black until a self calibration
    // first runs, red while one runs and after one could not be sent.
    std::uint32_t indicatorColour = 0;
};

struct StatusPageData {
    std::uint8_t status = 0;
};

struct AllRegsPageData {
    RegisterBytes readValues{};   // last shown in the whole Read column
    RegisterBytes writeValues{};  // last taken from the Write column, or loaded
};

// Everything the device panel keeps from one window to the next: the main
// window holds one for the whole run and hands it to each panel window it
// builds. All zero at start.
struct PanelData {
    RegisterImage image{};
    std::uint8_t dataRateCode = 0;  // the DRATE working copy
    // Nonzero while a register Write, a register Read or a collection runs;
    // any of them finding it set does nothing, and so do the page buttons
    // that talk to the EVM, "Detect EVM" and the profile commands.
    int busy = 0;

    MuxPageData mux;
    ClocksPageData clocks;
    GpioPageData gpio;
    PowerPageData power;
    CalPageData cal;
    StatusPageData status;
    AllRegsPageData allRegs;

    // The last collection that succeeded: its values, the items they came
    // from, and the chart's statistics and scale for them.
    SampleList samples;
    RawBlock sampleItems;
    ChartState chart;
    // What that collection ran with: the register image as last read or
    // written when it started, the time it started (local, as the data
    // files' names give it, UTC, as a capture records it, and the clock's
    // steady time, which a long run stamps its blocks from) and the full
    // name of the port it came through ("/dev/ttyUSB0", "COM7"). All zero
    // or empty while there is no block.
    RegisterImage sampleImage{};
    LocalTime sampleStarted{};
    LocalTime sampleStartedUtc{};
    Clock::TimePoint sampleStartedAt{};
    std::string samplePort;

    std::string binaryFilePath;
    std::string textFilePath;
    std::string dataFolder;  // proposed for data files; ends with a separator
};

// The gain code goes into bits 2-0 of both ADCON copies.
inline void setGainCode(PanelData& data, int code) {
    data.clocks.adcon = withGain(data.clocks.adcon, code);
    data.power.adcon = withGain(data.power.adcon, code);
}

// The ADCON byte a Write sends: each field as the page that owns it shows
// it (clock output from the Clocks copy, sensor-detect current from the
// Power copy, the gain both copies share) and bit 7 as last read.
inline std::uint8_t composedAdcon(const PanelData& data) {
    constexpr std::uint8_t kLastRead = 0x80;
    const std::uint8_t clocks = data.clocks.adcon;
    return static_cast<std::uint8_t>(
        (data.image[ADCON] & kLastRead) | (clocks & ~field::kClockOutClear) |
        (data.power.adcon & ~field::kSensorCurrentClear) | (clocks & ~field::kGainClear));
}

}  // namespace orv
