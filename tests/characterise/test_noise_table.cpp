// SPDX-License-Identifier: GPL-3.0-or-later
// The noise table run against the simulated converter, whose noise is known,
// and what it sends, and what it leaves behind.

#include <cmath>

#include "characterise/noise_table.h"
#include "characterise/table_text.h"
#include "converter/registers.h"
#include "sweep_fixture.h"
#include "sweep_plans.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::characterise;
using namespace orv::test;

Q_DECLARE_METATYPE(SweepPlan)
Q_DECLARE_METATYPE(SweepEnd)

namespace {

// The simulated converter's input-referred noise at its input stage and
// after the gain, growing with the square root of the data rate (µV, input
// buffer off), and the rounding to whole codes on top, 1/12 code².
double modelledNoiseUv(int gain, double rate) {
    const double analog =
        std::hypot(0.06, 0.19 / gain) * std::sqrt(rate / 2.5);  // see src/sim/README.md
    const double codeUv = 5.0 / (gain * 8388608.0) * 1e6;
    return std::sqrt(analog * analog + codeUv * codeUv / 12.0);
}

std::vector<Frame> framesOf(const sim::EvmModel& evm, Command command) {
    std::vector<Frame> frames;
    for (const Frame& frame : evm.frames()) {
        if (frame[2] == static_cast<std::uint8_t>(command)) {
            frames.push_back(frame);
        }
    }
    return frames;
}

class NoiseTableTest final : public QObject {
    Q_OBJECT
private slots:
    // Each cell measures what the model puts there, within the spread of a
    // standard deviation of N results (1/sqrt(2N) relative), and a mean at
    // zero once calibrated.
    void followsTheNoiseModel_data() {
        QTest::addColumn<int>("gain");
        QTest::addColumn<double>("rate");
        for (const int gain : {1, 8, 64}) {
            for (const double rate : {10.0, 1000.0, 30000.0}) {
                QTest::addRow("gain %d at %g SPS", gain, rate) << gain << rate;
            }
        }
    }
    void followsTheNoiseModel() {
        QFETCH(int, gain);
        QFETCH(double, rate);
        constexpr int kCount = 4096;
        SimulatedBoard board;
        RecordingSweepView view;
        const SweepOutcome outcome = runNoiseTable(board.link, board.prompts, nullptr,
                                                   sweepPlanOf({gain}, {rate}, kCount), view);
        QCOMPARE(outcome.end, SweepEnd::Finished);
        QCOMPARE(outcome.cells.size(), std::size_t(1));
        const NoiseCell& cell = outcome.cells[0];
        QCOMPARE(cell.count, std::size_t(kCount));
        const double expected = modelledNoiseUv(gain, rate);
        const double tolerance = 5.0 / std::sqrt(2.0 * kCount) + 0.02;
        QVERIFY2(
            std::abs(cell.rmsNoiseUv / expected - 1.0) < tolerance,
            qPrintable(QString("%1 µV measured, %2 modelled").arg(cell.rmsNoiseUv).arg(expected)));
        // Peak to peak of 4096 normal results: about 6 to 9 standard deviations.
        QVERIFY(cell.ppNoiseUv > 5.0 * cell.rmsNoiseUv && cell.ppNoiseUv < 10.0 * cell.rmsNoiseUv);
        const double codeV = 5.0 / (gain * 8388608.0);
        QVERIFY(std::abs(cell.meanV) < codeV + 4.0 * cell.rmsNoiseUv * 1e-6 / std::sqrt(kCount));
        QVERIFY(board.prompts.messages.empty());
    }

    // Rate by rate, gain by gain: ADCON gets the gain bits alone, DRATE the
    // rate's code, a self calibration each cell, one data command of the
    // settling results and the measured ones; then the registers as found.
    void sendsEachCellsSettingsAndRestores_data() {
        QTest::addColumn<bool>("calibrate");
        QTest::newRow("calibrating") << true;
        QTest::newRow("not calibrating") << false;
    }
    void sendsEachCellsSettingsAndRestores() {
        QFETCH(bool, calibrate);
        sim::EvmConfig config = SimulatedBoard::shorted();
        config.powerOn[ADCON] = 0x5A;  // clock out, sensor current, gain 4
        SimulatedBoard board(config);
        const sim::Registers before = board.evm.registers();
        RecordingSweepView view;
        const SweepPlan plan = sweepPlanOf({64, 1}, {30000.0, 2.5}, 8, calibrate);
        const SweepOutcome outcome = runNoiseTable(board.link, board.prompts, nullptr, plan, view);

        QCOMPARE(outcome.end, SweepEnd::Finished);
        QVERIFY(outcome.restored);
        QCOMPARE(restoreNote(outcome).value_or(""),
                 std::string("The registers were written back as they were found."));
        QCOMPARE(board.evm.registers(), before);
        std::vector<std::pair<int, double>> order;
        for (const NoiseCell& cell : outcome.cells) {
            order.emplace_back(cell.gain, cell.rateSps);
        }
        QCOMPARE(order, (std::vector<std::pair<int, double>>{
                            {64, 30000.0}, {1, 30000.0}, {64, 2.5}, {1, 2.5}}));
        QCOMPARE(view.measured.size(), std::size_t(4));

        std::vector<std::pair<int, int>> writes;
        for (const Frame& frame : framesOf(board.evm, Command::WriteReg)) {
            writes.emplace_back(frame[3], frame[4]);
        }
        std::vector<std::pair<int, int>> expected{
            {ADCON, 0x5E}, {DRATE, 0xF0}, {ADCON, 0x58}, {DRATE, 0xF0}, {ADCON, 0x5E},
            {DRATE, 0x03}, {ADCON, 0x58}, {DRATE, 0x03}, {ADCON, 0x5A}, {DRATE, before[DRATE]}};
        if (calibrate) {
            for (int address = OFC0; address <= FSC2; ++address) {
                expected.emplace_back(address, before[address]);
            }
        }
        QCOMPARE(writes, expected);
        QCOMPARE(framesOf(board.evm, Command::SelfCal).size(), calibrate ? std::size_t(4) : 0u);
        for (const Frame& frame : framesOf(board.evm, Command::ReadData)) {
            QCOMPARE((frame[3] << 8) | frame[4], kSettlingResults + 8);
        }
        // The time left counts down from the whole run's floor.
        QCOMPARE(view.started.size(), std::size_t(4));
        QCOMPARE(view.started[0].secondsLeft, sweepFloorSeconds(plan));
        QVERIFY(view.started[3].secondsLeft < view.started[2].secondsLeft);
        QCOMPARE(view.started[3].secondsLeft, cellFloorSeconds(plan, 2.5));
    }

    // However a run ends, it writes back what it changed, or says it could
    // not; the cells measured before the end are kept.
    void restoresHoweverItEnds_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<SweepEnd>("end");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<int>("cells");
        QTest::newRow("finished") << "none" << SweepEnd::Finished << true << 4;
        QTest::newRow("stopped in the third cell") << "stop" << SweepEnd::Stopped << true << 2;
        QTest::newRow("board silent in the third cell")
            << "silent" << SweepEnd::Failed << true << 2;
        QTest::newRow("board unplugged in the third cell")
            << "unplug" << SweepEnd::Failed << false << 2;
    }
    void restoresHoweverItEnds() {
        QFETCH(QString, ending);
        QFETCH(SweepEnd, end);
        QFETCH(bool, restored);
        QFETCH(int, cells);
        constexpr int kCount = 16;
        constexpr std::size_t kPerCell = kSettlingResults + kCount;
        constexpr std::size_t kThirdCell = 2 * kPerCell + 3;
        SimulatedBoard board;
        const sim::Registers before = board.evm.registers();
        RecordingSweepView view;
        view.onResult = [&](std::size_t result) {
            if (ending == "unplug" && result == kThirdCell) {
                board.bus.unplug(SimulatedBoard::kPort);
            }
            if (ending == "silent" && result == 2 * kPerCell) {
                // From the third cell's data command on: three items, then nothing.
                board.evm.setFault({.kind = sim::FaultKind::SilentAfter, .count = 3});
            }
            return !(ending == "stop" && result == kThirdCell);
        };
        const SweepOutcome outcome =
            runNoiseTable(board.link, board.prompts, nullptr,
                          sweepPlanOf({1, 64}, {1000.0, 100.0}, kCount), view);
        QCOMPARE(outcome.end, end);
        QCOMPARE(outcome.restored, restored);
        QCOMPARE(outcome.cells.size(), std::size_t(cells));
        QVERIFY(restoreNote(outcome).has_value());
        if (restored) {
            QCOMPARE(board.evm.registers(), before);
        }
        QCOMPARE(board.prompts.messages.empty(), ending == "none" || ending == "stop");
    }

    // Nothing is changed, and nothing said of the registers, when they
    // cannot even be read.
    void changesNothingWithoutTheRegisters() {
        SimulatedBoard board;
        board.evm.setFault({.kind = sim::FaultKind::NoAnswer, .command = Command::ReadReg});
        RecordingSweepView view;
        const SweepOutcome outcome =
            runNoiseTable(board.link, board.prompts, nullptr, defaultSweepPlan(), view);
        QCOMPARE(outcome.end, SweepEnd::Failed);
        QVERIFY(!outcome.changedRegisters);
        QVERIFY(!restoreNote(outcome));
        QVERIFY(framesOf(board.evm, Command::WriteReg).empty());
    }

    void refusesBadPlans_data() {
        QTest::addColumn<SweepPlan>("plan");
        QTest::addColumn<QString>("error");
        QTest::newRow("no gain") << sweepPlanOf({}, {10.0}, 256) << "no gain chosen";
        QTest::newRow("no rate") << sweepPlanOf({1}, {}, 256) << "no data rate chosen";
        QTest::newRow("gain 3") << sweepPlanOf({1, 3}, {10.0}, 256)
                                << "gain 3 is not one of 1, 2, 4, 8, 16, 32 and 64";
        QTest::newRow("rate 20") << sweepPlanOf({1}, {20.0}, 256)
                                 << "data rate 20 SPS is not on the converter's list";
        QTest::newRow("gain twice")
            << sweepPlanOf({8, 1, 8}, {10.0}, 256) << "a gain is chosen twice";
        QTest::newRow("rate twice")
            << sweepPlanOf({1}, {2.5, 2.5}, 256) << "a data rate is chosen twice";
        QTest::newRow("one result")
            << sweepPlanOf({1}, {10.0}, 1) << "results per cell must be from 2 to 65531";
        QTest::newRow("too many") << sweepPlanOf({1}, {10.0}, 65532)
                                  << "results per cell must be from 2 to 65531";
        QTest::newRow("most") << sweepPlanOf({1}, {10.0}, 65531) << "";
        QTest::newRow("default") << defaultSweepPlan() << "";
    }
    void refusesBadPlans() {
        QFETCH(SweepPlan, plan);
        QFETCH(QString, error);
        QCOMPARE(QString::fromStdString(planError(plan).value_or("")), error);
    }

    // The floor of a cell: the longer of the conversions and the wire, and
    // the calibration's 200 ms pause with its frame and reply (9 bytes).
    void estimatesTheRun_data() {
        QTest::addColumn<SweepPlan>("plan");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        constexpr double kCalibration = 0.2 + 90.0 / 115200.0;
        const double wire256 = 256 * 40 / 115200.0;
        QTest::newRow("default") << defaultSweepPlan()
                                 << 7 * (25.6 + 2.56 + 0.256 + wire256 + 4 * kCalibration)
                                 << "3 min 26 s";
        QTest::newRow("2.5 SPS without calibrating")
            << sweepPlanOf({1}, {2.5}, 256, false) << 102.4 << "1 min 43 s";
        QTest::newRow("the wire's pace")
            << sweepPlanOf({1, 2}, {30000.0}, 1000, false) << 2 * 1000 * 40 / 115200.0 << "1 s";
        std::vector<double> everyRate;
        for (const analysis::DataRate& rate : analysis::kDataRates) {
            everyRate.push_back(rate.samplesPerSecond);
        }
        double full = 0.0;
        for (const double rate : everyRate) {
            full += 7 * (std::max(256 / rate, wire256) + kCalibration);
        }
        QTest::newRow("the whole table")
            << sweepPlanOf({1, 2, 4, 8, 16, 32, 64}, everyRate, 256) << full << "27 min 1 s";
    }
    void estimatesTheRun() {
        QFETCH(SweepPlan, plan);
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QVERIFY(std::abs(sweepFloorSeconds(plan) - seconds) < 1e-9);
        QCOMPARE(QString::fromStdString(durationText(sweepFloorSeconds(plan))), text);
    }

    void writesDurations_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0.0 << "0 s";
        QTest::newRow("a part of a second") << 0.2 << "1 s";
        QTest::newRow("just under a minute") << 59.5 << "1 min 0 s";
        QTest::newRow("an hour and a bit") << 3725.0 << "1 h 02 min";
        QTest::newRow("a day") << 86400.0 << "24 h 00 min";
    }
    void writesDurations() {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(durationText(seconds)), text);
    }
};

}  // namespace

ORV_REGISTER_TEST(NoiseTableTest);
#include "test_noise_table.moc"
