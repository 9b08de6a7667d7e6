// SPDX-License-Identifier: GPL-3.0-or-later
// What the simulated converter measures, checked against inputs whose answer
// is known: DC differences, a sine's frequency, amplitude and harmonics, the
// noise table of src/sim/README.md, and the calibrations.
#include <QTest>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

#include "sim/evm_model.h"
#include "sim_helpers.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;

Q_DECLARE_METATYPE(orv::sim::AnalogInput)

namespace {

constexpr double kCodesPerVolt = 8388608.0 / 5.0;  // at gain 1: 2^23 codes for 2 × Vref
constexpr std::int32_t kMax = 8388607;
constexpr std::int32_t kMin = -8388608;
constexpr std::uint8_t kShortedPair = 0x23;  // AIN2 - AIN3, both 1.25 V
constexpr std::uint8_t kOneVolt = 0x48;      // AIN4 (1.0 V) - AINCOM (0 V)
constexpr std::uint8_t kHalfVolt = 0x58;     // AIN5 (0.5 V) - AINCOM
constexpr std::uint8_t kTone = 0x01;         // AIN0 (the tone) - AIN1 (0 V)
constexpr std::uint8_t kSlowest = 0x03;      // 2.5 SPS

using Samples = std::vector<std::int32_t>;

double mean(const Samples& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

double standardDeviation(const Samples& values) {
    const double m = mean(values);
    double squares = 0.0;
    for (const std::int32_t value : values) {
        squares += (value - m) * (value - m);
    }
    return std::sqrt(squares / double(values.size() - 1));
}

// The amplitude of the component with `cycles` whole periods in the block:
// its DFT bin, with the angle reduced exactly so that long blocks stay exact.
double amplitude(const Samples& values, std::size_t cycles) {
    const std::size_t n = values.size();
    double re = 0.0;
    double im = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        const double angle = 2.0 * std::numbers::pi * double((cycles * k) % n) / double(n);
        re += values[k] * std::cos(angle);
        im -= values[k] * std::sin(angle);
    }
    return 2.0 * std::hypot(re, im) / double(n);
}

// Rising zero crossings of the block about its mean.
int risingCrossings(const Samples& values) {
    const double m = mean(values);
    int crossings = 0;
    for (std::size_t k = 1; k < values.size(); ++k) {
        crossings += (values[k - 1] < m && values[k] >= m) ? 1 : 0;
    }
    return crossings;
}

// The EVM driven through its frames, as the tool drives it.
struct Board {
    explicit Board(sim::EvmConfig config = {}) : model(std::move(config)) {}

    void write(std::uint8_t address, std::uint8_t value) {
        answer(model, CommandFrame(1, Command::WriteReg, address, value));
    }
    void command(Command code) { answer(model, CommandFrame(1, code)); }
    void select(std::uint8_t mux, std::uint8_t gainCode, std::uint8_t drate) {
        write(0x01, mux);
        write(0x02, std::uint8_t(0x20 | gainCode));
        write(0x03, drate);
    }
    Samples collect(int count) { return samples(answer(model, ReadDataFrame(1, count))); }
    std::int32_t offsetRegister() const { return sim::offsetRegister(model.registers()); }
    std::uint32_t fullScaleRegister() const { return sim::fullScaleRegister(model.registers()); }
    void writeCalibration(std::int32_t ofc, std::uint32_t fsc) {
        for (std::uint8_t i = 0; i < 3; ++i) {
            write(std::uint8_t(0x05 + i), std::uint8_t(std::uint32_t(ofc) >> (8 * i)));
            write(std::uint8_t(0x08 + i), std::uint8_t(fsc >> (8 * i)));
        }
    }

    sim::EvmModel model;
};

sim::EvmConfig withInput(std::size_t input, sim::AnalogInput signal) {
    sim::EvmConfig config;
    config.inputs[input] = signal;
    return config;
}

class ConversionTest : public QObject {
    Q_OBJECT
private slots:
    // After a self calibration at the gain, a DC difference reads
    // volts × gain × 2^23 / 5 V, and what lies beyond full scale clips.
    void dcDifferenceInCodes_data() {
        QTest::addColumn<int>("mux");
        QTest::addColumn<int>("gainCode");
        QTest::addColumn<double>("aincom");
        QTest::addColumn<double>("volts");  // the difference the MUX selects
        QTest::newRow("AIN4-AINCOM, gain 1") << 0x48 << 0 << 0.0 << 1.0;
        QTest::newRow("AIN4-AINCOM, gain 4") << 0x48 << 2 << 0.0 << 1.0;
        QTest::newRow("AIN6-AINCOM, gain 2") << 0x68 << 1 << 0.0 << -2.0;
        QTest::newRow("AIN7-AIN6, gain 1") << 0x76 << 0 << 0.0 << 4.4;
        QTest::newRow("AIN7-AIN6, gain 2, clipped") << 0x76 << 1 << 0.0 << 4.4;
        QTest::newRow("AIN6-AIN7, gain 2, clipped") << 0x67 << 1 << 0.0 << -4.4;
        QTest::newRow("AIN5-AIN4, gain 8") << 0x54 << 3 << 0.0 << -0.5;
        QTest::newRow("AIN5-AIN4, gain 16, clipped") << 0x54 << 4 << 0.0 << -0.5;
        QTest::newRow("AIN4 against AINCOM at 0.25 V, gain 2") << 0x48 << 1 << 0.25 << 0.75;
        QTest::newRow("AINCOM-AIN5, gain 64") << 0x85 << 6 << 0.49 << -0.01;
        QTest::newRow("AINCOM-AIN5, gain code 7 is 64") << 0x85 << 7 << 0.49 << -0.01;
        QTest::newRow("shorted pair, gain 64") << int(kShortedPair) << 6 << 0.0 << 0.0;
    }
    void dcDifferenceInCodes() {
        QFETCH(int, mux);
        QFETCH(int, gainCode);
        QFETCH(double, aincom);
        QFETCH(double, volts);
        Board board(withInput(sim::kAincom, {aincom}));
        board.select(std::uint8_t(mux), std::uint8_t(gainCode), kSlowest);
        board.command(Command::SelfCal);
        const Samples results = board.collect(256);
        const double ideal = volts * (1 << std::min(gainCode, 6)) * kCodesPerVolt;
        if (ideal > kMax || ideal < kMin) {
            const std::int32_t clip = ideal > 0 ? kMax : kMin;
            QVERIFY(std::all_of(results.begin(), results.end(),
                                [clip](std::int32_t value) { return value == clip; }));
        } else {
            // The noise at 2.5 SPS is at most 6.5 codes (gain 64): the mean
            // of 256 results is within 0.5 code of the truth, and rounding
            // the calibration adds 1 at most.
            QVERIFY2(std::abs(mean(results) - ideal) < 2.0,
                     qPrintable(QStringLiteral("%1 for %2").arg(mean(results)).arg(ideal)));
        }
    }

    // The shorted pair's spread, in µV at the input (code × 5 V / (gain ×
    // 2^23)), against the noise table of src/sim/README.md, measured there
    // on 65535 results after a self calibration at the gain. These are the
    // first 16384 of them: the estimate's relative standard error is about
    // 1/sqrt(2 × 16384) = 0.55 % (twice that where rounding dominates, at
    // gain 1 and 2.5 SPS), and the bound is six times 0.55 %.
    void noiseFollowsTheTable_data() {
        QTest::addColumn<int>("gainCode");
        QTest::addColumn<int>("drate");
        QTest::addColumn<bool>("buffer");
        QTest::addColumn<double>("microvolts");
        QTest::newRow("gain 1, 2.5 SPS") << 0 << 0x03 << false << 0.221;
        QTest::newRow("gain 1, 100 SPS") << 0 << 0x82 << false << 1.27;
        QTest::newRow("gain 1, 30000 SPS") << 0 << 0xF0 << false << 21.9;
        QTest::newRow("gain 2, 2.5 SPS") << 1 << 0x03 << false << 0.143;
        QTest::newRow("gain 8, 1000 SPS") << 3 << 0xA1 << false << 1.29;
        QTest::newRow("gain 64, 2.5 SPS") << 6 << 0x03 << false << 0.0602;
        QTest::newRow("gain 64, 60 SPS") << 6 << 0x72 << false << 0.295;
        QTest::newRow("gain 64, 30000 SPS") << 6 << 0xF0 << false << 6.59;
        QTest::newRow("gain 64, 2.5 SPS, buffer on") << 6 << 0x03 << true << 0.0724;
        QTest::newRow("gain 1, 7500 SPS, buffer on") << 0 << 0xD0 << true << 11.2;
    }
    void noiseFollowsTheTable() {
        QFETCH(int, gainCode);
        QFETCH(int, drate);
        QFETCH(bool, buffer);
        QFETCH(double, microvolts);
        constexpr int kCount = 16384;
        Board board;
        if (buffer) {
            board.write(0x00, 0x02);
        }
        board.select(kShortedPair, std::uint8_t(gainCode), std::uint8_t(drate));
        board.command(Command::SelfCal);
        const double measured =
            standardDeviation(board.collect(kCount)) * 1e6 / ((1 << gainCode) * kCodesPerVolt);
        const double bound = 6.0 / std::sqrt(2.0 * kCount);
        QVERIFY2(std::abs(measured / microvolts - 1.0) < bound,
                 qPrintable(QStringLiteral("%1 µV").arg(measured)));
    }

    // A whole number of periods in the block: the rising zero crossings
    // count them, and the DFT bin holds the full amplitude, which it does
    // only for a frequency exactly on the bin. The second block comes after
    // the data rate changed.
    void sineKeepsFrequencyAndAmplitude_data() {
        QTest::addColumn<double>("hz");
        QTest::addColumn<double>("peak");
        QTest::addColumn<int>("firstRate");
        QTest::addColumn<int>("firstCount");
        QTest::addColumn<int>("secondRate");
        QTest::addColumn<int>("secondCount");
        QTest::newRow("50 Hz, 1000 SPS") << 50.0 << 2.0 << 0xA1 << 4000 << 0xA1 << 2000;
        QTest::newRow("20 Hz, 1000 then 100 SPS") << 20.0 << 2.0 << 0xA1 << 1000 << 0x82 << 500;
        QTest::newRow("7.5 Hz, 60 then 2000 SPS") << 7.5 << 1.0 << 0x72 << 480 << 0xB0 << 3200;
        QTest::newRow("1 kHz, 30000 SPS") << 1000.0 << 2.0 << 0xF0 << 3000 << 0xF0 << 300;
    }
    void sineKeepsFrequencyAndAmplitude() {
        QFETCH(double, hz);
        QFETCH(double, peak);
        QFETCH(int, firstRate);
        QFETCH(int, firstCount);
        QFETCH(int, secondRate);
        QFETCH(int, secondCount);
        Board board(withInput(0, {0.0, peak, hz}));
        board.select(kTone, 0, std::uint8_t(firstRate));
        board.command(Command::SelfCal);
        const auto check = [&](int drate, int count) {
            const Samples block = board.collect(count);
            const double cycles = hz * count / sim::dataRateOf(std::uint8_t(drate));
            QVERIFY2(std::abs(risingCrossings(block) - cycles) <= 1.0,
                     qPrintable(QString::number(risingCrossings(block))));
            const double measured = amplitude(block, std::size_t(std::lround(cycles)));
            QVERIFY2(std::abs(measured / (peak * kCodesPerVolt) - 1.0) < 1e-5,
                     qPrintable(QString::number(measured)));
        };
        check(firstRate, firstCount);
        board.write(0x03, std::uint8_t(secondRate));
        check(secondRate, secondCount);
    }

    // The 2nd and 3rd harmonics at -110 dBc, on coherent blocks where the
    // noise in a bin is well below the harmonic.
    void harmonicsAtMinus110dBc_data() {
        QTest::addColumn<sim::AnalogInput>("tone");
        QTest::addColumn<int>("gainCode");
        QTest::addColumn<int>("drate");
        QTest::addColumn<int>("count");
        QTest::newRow("2 V, gain 1") << sim::AnalogInput{0.0, 2.0, 50.0} << 0 << 0xA1 << 8000;
        QTest::newRow("1 V about 0.5 V, gain 2")
            << sim::AnalogInput{0.5, 1.0, 50.0} << 1 << 0xA1 << 8000;
        QTest::newRow("50 mV, gain 64") << sim::AnalogInput{0.0, 0.05, 10.0} << 6 << 0x82 << 8000;
    }
    void harmonicsAtMinus110dBc() {
        QFETCH(sim::AnalogInput, tone);
        QFETCH(int, gainCode);
        QFETCH(int, drate);
        QFETCH(int, count);
        Board board(withInput(0, tone));
        board.select(kTone, std::uint8_t(gainCode), std::uint8_t(drate));
        board.command(Command::SelfCal);
        const Samples block = board.collect(count);
        const auto cycles = std::size_t(std::lround(tone.hz * count / sim::dataRateOf(drate)));
        const double fundamental = amplitude(block, cycles);
        for (std::size_t harmonic : {2, 3}) {
            const double dbc = 20.0 * std::log10(amplitude(block, harmonic * cycles) / fundamental);
            QVERIFY2(std::abs(dbc + 110.0) < 2.0,
                     qPrintable(QStringLiteral("harmonic %1: %2 dBc").arg(harmonic).arg(dbc)));
        }
    }

    // At power-on the converter's offset and gain errors show; each self
    // calibration removes its own. The span is AIN4 (1.0 V) or AIN5 (0.5 V)
    // against AINCOM, less the shorted pair's reading.
    void selfCalibrationsRemoveTheErrors_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("gainCode");
        QTest::addColumn<int>("spanMux");
        QTest::addColumn<double>("spanVolts");
        QTest::addColumn<bool>("offsetGone");
        QTest::addColumn<bool>("gainExact");
        QTest::newRow("none, gain 1") << 0 << 0 << int(kOneVolt) << 1.0 << false << false;
        QTest::newRow("self offset, gain 1") << 0x04 << 0 << int(kOneVolt) << 1.0 << true << false;
        QTest::newRow("self gain, gain 1") << 0x05 << 0 << int(kOneVolt) << 1.0 << false << true;
        QTest::newRow("self, gain 1") << 0x03 << 0 << int(kOneVolt) << 1.0 << true << true;
        QTest::newRow("self, gain 8") << 0x03 << 3 << int(kHalfVolt) << 0.5 << true << true;
        QTest::newRow("self gain, gain 8") << 0x05 << 3 << int(kHalfVolt) << 0.5 << false << true;
    }
    void selfCalibrationsRemoveTheErrors() {
        QFETCH(int, command);
        QFETCH(int, gainCode);
        QFETCH(int, spanMux);
        QFETCH(double, spanVolts);
        QFETCH(bool, offsetGone);
        QFETCH(bool, gainExact);
        Board board;
        board.select(kShortedPair, std::uint8_t(gainCode), kSlowest);
        if (command != 0) {
            board.command(Command(command));
        }
        const double zero = mean(board.collect(256));
        board.write(0x01, std::uint8_t(spanMux));
        const double span = mean(board.collect(256)) - zero;
        const double ideal = spanVolts * (1 << gainCode) * kCodesPerVolt;
        QCOMPARE(std::abs(zero) < 1.0, offsetGone);
        QVERIFY2(offsetGone || std::abs(zero) > 20.0, qPrintable(QString::number(zero)));
        QCOMPARE(std::abs(span - ideal) < 2.0, gainExact);
        QVERIFY2(gainExact || std::abs(span / ideal - 1.0) > 2e-4,
                 qPrintable(QString::number(span)));
    }

    // The system offset calibration makes the applied input read 0. After
    // one on a zero input, the system gain calibration makes the applied
    // input read full scale (40 % of it at gain 2) and half that input half
    // of full scale.
    void systemCalibrationsTakeTheAppliedInput() {
        Board board;
        board.select(kOneVolt, 0, kSlowest);
        board.command(Command::SysOffsetCal);
        QVERIFY(std::abs(mean(board.collect(64))) < 1.0);

        board.select(kShortedPair, 1, kSlowest);
        board.command(Command::SysOffsetCal);
        board.write(0x01, kOneVolt);
        board.command(Command::SysGainCal);
        // Full scale lies just above the largest code: the results clip
        // there but for noise of about one code.
        const Samples full = board.collect(256);
        QVERIFY(*std::min_element(full.begin(), full.end()) >= kMax - 5);
        QVERIFY2(mean(full) > kMax - 0.5, qPrintable(QString::number(mean(full))));
        board.write(0x01, kHalfVolt);
        const double half = mean(board.collect(256));
        QVERIFY2(std::abs(half - 4194304.0) < 2.0, qPrintable(QString::number(half)));
    }

    // Written OFC and FSC act on every later result:
    // result = (raw - OFC) × FSC / 2^22.
    void writtenCalibrationActsOnTheResults_data() {
        QTest::addColumn<int>("offsetStep");
        QTest::addColumn<double>("scale");
        QTest::newRow("OFC 1000 up") << 1000 << 1.0;
        QTest::newRow("OFC negative") << -123456 << 1.0;
        QTest::newRow("FSC half again") << 0 << 1.5;
        QTest::newRow("both") << 1000 << 0.5;
    }
    void writtenCalibrationActsOnTheResults() {
        QFETCH(int, offsetStep);
        QFETCH(double, scale);
        Board board;
        board.select(kOneVolt, 0, kSlowest);
        board.command(Command::SelfCal);
        const std::int32_t ofc = board.offsetRegister();
        const std::uint32_t fsc = board.fullScaleRegister();
        const double before = mean(board.collect(256));
        const auto newFsc = std::uint32_t(std::lround(fsc * scale));
        board.writeCalibration(ofc + offsetStep, newFsc);
        QCOMPARE(board.offsetRegister(), ofc + offsetStep);
        QCOMPARE(board.fullScaleRegister(), newFsc);
        const double expected = (before * 4194304.0 / fsc - offsetStep) * newFsc / 4194304.0;
        const double after = mean(board.collect(256));
        QVERIFY2(std::abs(after - expected) < 2.0,
                 qPrintable(QStringLiteral("%1 for %2").arg(after).arg(expected)));
    }
};

}  // namespace

ORV_REGISTER_TEST(ConversionTest);
#include "test_conversion.moc"
