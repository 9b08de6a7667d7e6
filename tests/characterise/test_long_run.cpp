// SPDX-License-Identifier: GPL-3.0-or-later
// Long runs: block after block into a trend file, and every way they end.

#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <system_error>

#include "capture/data_files.h"
#include "characterise/long_run.h"
#include "converter/registers.h"
#include "file_size_limit.h"
#include "sweep_fixture.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::characterise;
using namespace orv::test;
using namespace std::chrono;

Q_DECLARE_METATYPE(LongRunEnd)

namespace {

// 1000 SPS at gain 8.
sim::EvmConfig gain8At1000() {
    sim::EvmConfig config = SimulatedBoard::shorted();
    config.powerOn[ADCON] = 0x23;
    config.powerOn[DRATE] = 0xA1;
    return config;
}

LongRunPlan blocksOf(int count, std::size_t blocks, std::string keepFolder = {}) {
    LongRunPlan plan;
    plan.count = count;
    plan.blocks = blocks;
    plan.keepFolder = std::move(keepFolder);
    return plan;
}

LongRunPlan runFor(int count, milliseconds duration) {
    LongRunPlan plan;
    plan.count = count;
    plan.duration = duration;
    return plan;
}

CaptureInfo infoOf(const SimulatedBoard& board) {
    CaptureInfo info;
    info.created = board.clock.utcTime();
    info.tool = "orvellin test";
    info.port = SimulatedBoard::kPort;
    info.scale = {.gain = 8, .rateHz = 1000.0, .vref = 2.5};
    return info;
}

std::optional<Trend> trendIn(const std::string& path) {
    const FileReading file = readWholeFile(path, 1 << 20);
    if (!file.bytes) {
        return std::nullopt;
    }
    TrendReading reading = readTrend(*file.bytes);
    if (!reading.trend) {
        qWarning("%s", reading.error.c_str());
    }
    return reading.trend;
}

class LongRunTest final : public QObject {
    Q_OBJECT
private slots:
    // Every row is in the file once its block is measured, stamped at its
    // block's start by the steady clock: 100 results at 1000 SPS apart.
    void writesARowPerBlock() {
        SimulatedBoard board(gain8At1000(), sim::Wire::Paced);
        QTemporaryDir folder;
        const std::string path = folder.filePath("trend.csv").toStdString();
        TrendWriter trend;
        QVERIFY(trend.create(path, trendHeader(infoOf(board), 100)));
        RecordingLongRunView view;
        std::vector<std::size_t> rowsOnDisk;
        view.onBlockDone = [&](std::size_t) { rowsOnDisk.push_back(trendIn(path)->rows.size()); };
        const LongRunOutcome outcome = runLongRun(board.link, board.prompts, nullptr,
                                                  blocksOf(100, 3), infoOf(board), trend, view);
        QCOMPARE(outcome.end, LongRunEnd::Finished);
        QCOMPARE(outcome.blocks, std::size_t(3));
        QCOMPARE(rowsOnDisk, (std::vector<std::size_t>{1, 2, 3}));
        const std::optional<Trend> read = trendIn(path);
        QVERIFY(read);
        QCOMPARE(read->rows.size(), std::size_t(3));
        QCOMPARE(utcMillisText(read->rows[0].start), std::string("2026-12-11T23:59:58.000Z"));
        for (std::size_t k = 1; k < 3; ++k) {
            const auto apart = read->rows[k].start - read->rows[k - 1].start;
            QVERIFY(apart >= milliseconds(100) && apart < milliseconds(110));
            QCOMPARE(read->rows[k].meanV, view.rows[k].meanV);
        }
        // A shorted input at gain 8 and 1000 SPS: 1.29 µV RMS.
        QVERIFY(std::abs(read->rows[0].rmsNoiseUv - 1.29) < 0.4);
        QVERIFY(board.prompts.messages.empty());
    }

    // No block starts once the time asked for has passed.
    void stopsOnTime() {
        SimulatedBoard board(gain8At1000(), sim::Wire::Paced);
        QTemporaryDir folder;
        TrendWriter trend;
        QVERIFY(trend.create(folder.filePath("t.csv").toStdString(), "x\n"));
        RecordingLongRunView view;
        const auto started = board.clock.now();
        const LongRunOutcome outcome =
            runLongRun(board.link, board.prompts, nullptr, runFor(100, milliseconds(1000)),
                       infoOf(board), trend, view);
        QCOMPARE(outcome.end, LongRunEnd::Finished);
        QVERIFY2(outcome.blocks >= 9 && outcome.blocks <= 10,
                 qPrintable(QString::number(outcome.blocks)));
        QVERIFY(view.rows.back().start - view.rows.front().start < milliseconds(1000));
        QVERIFY(board.clock.now() - started >= milliseconds(1000));
    }

    // However a run ends early, the rows of the blocks before stay whole in
    // the file, and the caller hears why.
    void keepsTheRowsWhenCutShort_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<LongRunEnd>("end");
        QTest::addColumn<QString>("message");
        QTest::newRow("stopped") << "stop" << LongRunEnd::Stopped << "";
        QTest::newRow("board unplugged") << "unplug" << LongRunEnd::EvmFailed << "";
        if (FileSizeLimit::kAvailable) {
            QTest::newRow("disk full")
                << "full" << LongRunEnd::FileFailed
                << QString::fromStdString(std::generic_category().message(EFBIG));
        }
    }
    void keepsTheRowsWhenCutShort() {
        QFETCH(QString, ending);
        QFETCH(LongRunEnd, end);
        QFETCH(QString, message);
        constexpr std::size_t kCount = 32;
        SimulatedBoard board(gain8At1000());
        QTemporaryDir folder;
        const std::string path = folder.filePath("trend.csv").toStdString();
        TrendWriter trend;
        QVERIFY(trend.create(path, trendHeader(infoOf(board), kCount)));
        std::optional<FileSizeLimit> limit;
        RecordingLongRunView view;
        view.onBlockDone = [&](std::size_t number) {
            if (ending == "full" && number == 2) {
                limit.emplace(
                    static_cast<std::uint64_t>(QFileInfo(QString::fromStdString(path)).size()));
            }
        };
        view.onResult = [&](std::size_t result) {
            if (ending == "unplug" && result == 2 * kCount + 5) {
                board.bus.unplug(SimulatedBoard::kPort);
            }
            return !(ending == "stop" && result == 2 * kCount + 5);
        };
        const LongRunOutcome outcome = runLongRun(board.link, board.prompts, nullptr,
                                                  blocksOf(kCount, 10), infoOf(board), trend, view);
        limit.reset();
        QCOMPARE(outcome.end, end);
        QCOMPARE(outcome.blocks, std::size_t(2));
        const std::optional<Trend> read = trendIn(path);
        QVERIFY(read);
        QCOMPARE(read->rows.size(), std::size_t(2));
        QCOMPARE(read->rows[1].meanV, view.rows[1].meanV);
        if (!message.isEmpty()) {
            QCOMPARE(board.prompts.messages.size(), std::size_t(1));
            QVERIFY(QString::fromStdString(board.prompts.messages[0].text).contains(message));
            QVERIFY(QString::fromStdString(board.prompts.messages[0].text).contains("trend.csv"));
        }
    }

    // Each block kept is the capture of the block its row measured.
    void keepsEachBlockAsACapture() {
        SimulatedBoard board(gain8At1000());
        QTemporaryDir folder;
        TrendWriter trend;
        QVERIFY(trend.create(folder.filePath("t.csv").toStdString(), "x\n"));
        RecordingLongRunView view;
        const std::string keep = folder.path().toStdString();
        const LongRunOutcome outcome = runLongRun(
            board.link, board.prompts, nullptr, blocksOf(50, 2, keep), infoOf(board), trend, view);
        QCOMPARE(outcome.blocks, std::size_t(2));
        QVERIFY(keptBlockPath(keep, 2).ends_with("block-000002.csv"));
        for (std::size_t number = 1; number <= 2; ++number) {
            const FileReading file = readWholeFile(keptBlockPath(keep, number), 1 << 20);
            QVERIFY(file.bytes);
            const CaptureReading capture = readCapture(*file.bytes);
            QVERIFY2(capture.capture, capture.error.c_str());
            QCOMPARE(capture.capture->codes.size(), std::size_t(50));
            QCOMPARE(capture.capture->info.port, std::string(SimulatedBoard::kPort));
            const TrendRow row = trendRowOf(view.rows[number - 1].start, capture.capture->codes,
                                            capture.capture->info.scale);
            QCOMPARE(row.meanV, view.rows[number - 1].meanV);
            QCOMPARE(row.rmsNoiseUv, view.rows[number - 1].rmsNoiseUv);
        }
    }

#ifdef __linux__
    void saysWhyAFileCannotBeCreated() {
        TrendWriter trend;
        QVERIFY(!trend.create("/dev/full", "# Orvellin trend 1\n"));
        QCOMPARE(trend.error(), "Cannot write the file \"/dev/full\": " +
                                    std::generic_category().message(ENOSPC) + ".");
        QVERIFY(!trend.append({}));
    }
#endif
};

}  // namespace

ORV_REGISTER_TEST(LongRunTest);
#include "test_long_run.moc"
