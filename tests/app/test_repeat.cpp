// SPDX-License-Identifier: GPL-3.0-or-later
#include <qcustomplot.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <optional>
#include <system_error>

#include "analysis/scale.h"
#include "analysis_view/analysis_window.h"
#include "characterise/trend.h"
#include "device/panel.h"
#include "file_size_limit.h"
#include "main_window_fixture.h"
#include "test_registry.h"

using namespace orv;
using characterise::TrendRow;

namespace {

constexpr LocalTime kLocalStart{2026, 12, 11, 14, 5, 9};
constexpr LocalTime kUtcStart{2026, 12, 11, 13, 5, 9};
constexpr int kCount = 64;

std::string contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// The main window with the panel of a simulated EVM on ttyS0, paced like a
// board so that blocks take time, its input shorted (0 V against 0 V), the
// data count at 64 and the Analysis window open; files go to a folder of
// their own.
struct RepeatFixture : test::Window {
    explicit RepeatFixture(bool detected = true)
        : evm(bus.addEvm("/dev/ttyS0", sim::EvmConfig{.toneHz = 0.0}, sim::Wire::Paced)) {
        clock.setLocalTime(kLocalStart);
        clock.setUtcTime(kUtcStart);
        if (detected) {
            detect()->click();
            panel()->findChild<QLineEdit*>("dataCount")->setText(QString::number(kCount));
        }
        window.OnSysCommand(kSysAnalysis);
    }

    ZN410Dlg* panel() { return window.findChild<ZN410Dlg*>("devicePanel"); }
    AnalysisWindow* analysis() { return window.analysisWindow(); }
    QPushButton* repeat() { return analysis()->findChild<QPushButton*>("repeat"); }
    QString status() { return analysis()->findChild<QLabel*>("repeatStatus")->text(); }
    QCustomPlot* trendPlot() {
        for (auto* plot : analysis()->findChildren<QCustomPlot*>()) {
            if (plot->accessibleName() == QStringLiteral("Trend plot")) {
                return plot;
            }
        }
        return nullptr;
    }
    int trendPoints() { return trendPlot()->graph(0)->dataCount(); }
    std::size_t dataCommands() const {
        return std::size_t(std::ranges::count_if(evm.frames(), [](const Frame& frame) {
            return frame[2] == std::uint8_t(Command::ReadData);
        }));
    }

    QString path(const QString& name) const {
        return QDir::toNativeSeparators(folder.filePath(name));
    }
    // Presses Repeat, the file dialog answered with `file` (cancelled when
    // empty).
    void pressRepeat(const QString& file) {
        if (!file.isEmpty()) {
            prompts.fileAnswers.push_back(file.toStdString());
        }
        repeat()->click();
    }
    // Lets the event loop run until the trend has `rows` points or the
    // repeat has ended.
    void runUntil(int rows) {
        for (int turn = 0; turn < 100000 && repeat()->isChecked() && trendPoints() < rows; ++turn) {
            QCoreApplication::processEvents();
        }
    }
    // Runs `action` once, in the middle of the collection that would give
    // the trend's row `rows` + 1.
    void duringBlockAfter(int rows, std::function<void()> action) {
        auto* bar = panel()->findChild<QProgressBar*>("progress");
        QObject::connect(
            bar, &QProgressBar::valueChanged, analysis(), [=, this, done = false](int at) mutable {
                if (!done && at > 0 && trendPoints() == rows && panel()->collecting()) {
                    done = true;
                    action();
                }
            });
    }
    characterise::Trend readBack(const QString& file) {
        const characterise::TrendReading reading = characterise::readTrend(contents(file));
        if (!reading.trend) {
            qFatal("the trend does not read back: %s", reading.error.c_str());
        }
        return *reading.trend;
    }

    sim::EvmModel& evm;
    QTemporaryDir folder;
};

// A trend file of `rows` rows a second apart, as a run would write it.
std::string trendFile(std::size_t rows) {
    CaptureInfo info;
    info.created = LocalTime{2026, 12, 11, 12, 0, 0};
    info.scale = {8, 100.0, 2.5};
    std::string text = characterise::trendHeader(info, 256);
    const characterise::UtcMillis start = characterise::utcMillisOf(*info.created);
    for (std::size_t i = 0; i < rows; ++i) {
        text += characterise::trendRowText({.start = start + std::chrono::seconds(i),
                                            .meanV = 1e-6 * double(i),
                                            .rmsNoiseUv = 0.2,
                                            .minV = -1e-6,
                                            .maxV = 2e-6});
    }
    return text;
}

}  // namespace

class RepeatTest : public QObject {
    Q_OBJECT
private slots:
    // Block after block goes into the trend file and the window as it
    // comes: one row per block, in time order, under a header of the run's
    // start; the last row is the block on the chart. Unchecking between
    // blocks leaves the file whole.
    void repeatWritesOneRowPerBlock() {
        RepeatFixture f;
        const QString file = f.path("trend.csv");
        f.pressRepeat(file);
        f.runUntil(5);
        QVERIFY(f.repeat()->isChecked());
        QCOMPARE(f.status(), QStringLiteral("Repeating: 5 blocks"));

        // The Trend tab shows the run's trend: another file waits.
        f.window.OnSysCommand(kSysOpenTrend);
        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(1));
        QCOMPARE(f.prompts.messages.size(), std::size_t(1));
        f.prompts.messages.clear();

        f.repeat()->click();
        QCoreApplication::processEvents();
        QCOMPARE(f.status(), QStringLiteral("Repeat stopped after 5 blocks."));
        QCOMPARE(f.dataCommands(), std::size_t(5));
        QVERIFY(f.prompts.messages.empty());

        const FileRequest& request = f.prompts.fileChoices[0].request;
        QVERIFY(request.kind == FileRequest::Kind::Save);
        QCOMPARE(request.initialPath,
                 f.window.panelData().dataFolder + "trend-20261211-140509.csv");
        QCOMPARE(request.filters.size(), std::size_t(1));
        QCOMPARE(request.filters[0].description, std::string("Trend (*.csv)"));
        QCOMPARE(request.filters[0].pattern, std::string("*.csv"));

        const characterise::Trend trend = f.readBack(file);
        QCOMPARE(trend.count, std::size_t(kCount));
        QCOMPARE(trend.info.port, std::string("/dev/ttyS0"));
        QCOMPARE(trend.info.tool, std::string("orvellin"));
        QVERIFY(trend.info.registers == std::optional(f.window.panelData().image));
        QVERIFY(trend.info.created);
        QCOMPARE(utcText(*trend.info.created), std::string("2026-12-11T13:05:09Z"));
        QCOMPARE(trend.rows.size(), std::size_t(5));
        QCOMPARE(f.trendPoints(), 5);
        // Each row is stamped with its block's start: the first block starts
        // as the run does, and each takes at least its 256 bytes' time on
        // the wire (22.2 ms at 11520 bytes a second).
        QVERIFY(trend.rows.front().start == characterise::utcMillisOf(kUtcStart));
        for (std::size_t i = 1; i < trend.rows.size(); ++i) {
            QVERIFY(trend.rows[i].start - trend.rows[i - 1].start >= std::chrono::milliseconds(22));
        }
        // The last row measures the chart's block: its extremes in volts.
        const PanelData& data = f.window.panelData();
        const analysis::Scale scale = analysis::scaleOf(data.image[ADCON], data.image[DRATE]);
        const auto [low, high] = std::ranges::minmax(data.samples);
        QCOMPARE(trend.rows.back().minV, low * scale.voltsPerCode());
        QCOMPARE(trend.rows.back().maxV, high * scale.voltsPerCode());
    }

    // However a run ends in the middle of a block, that block is dropped,
    // every row before it stays in the file and in the window, and the
    // window says why it ended.
    void anEndMidRunKeepsTheRows_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("messages");  // the panel's, of a failed collection
        QTest::newRow("Repeat unchecked") << "uncheck"
                                          << "Repeat stopped after 3 blocks." << 0;
        QTest::newRow("Analysis window closed") << "close analysis"
                                                << "Repeat stopped after 3 blocks." << 0;
        QTest::newRow("main window closed") << "close main"
                                            << "Repeat stopped after 3 blocks." << 0;
        QTest::newRow("board unplugged") << "unplug"
                                         << "Repeat stopped after 3 blocks: the EVM was lost." << 1;
        QTest::newRow("EVM silent") << "silent"
                                    << "Repeat stopped after 3 blocks: the collection failed." << 1;
        if (test::FileSizeLimit::kAvailable) {
            QTest::newRow("disk full")
                << "full"
                << "Repeat stopped after 3 blocks: the trend file could not be written." << 1;
        }
    }
    void anEndMidRunKeepsTheRows() {
        QFETCH(QString, ending);
        QFETCH(QString, status);
        QFETCH(int, messages);
        RepeatFixture f;
        const QString file = f.path("trend.csv");
        std::optional<test::FileSizeLimit> limit;
        f.duringBlockAfter(3, [&] {
            if (ending == "full") {
                limit.emplace(std::uint64_t(QFileInfo(file).size()));
            }
            if (ending == "uncheck") {
                f.repeat()->click();
            } else if (ending == "close analysis") {
                f.analysis()->close();
            } else if (ending == "close main") {
                f.window.close();
            } else if (ending == "unplug") {
                f.bus.unplug("/dev/ttyS0");
            }
        });
        f.pressRepeat(file);
        f.runUntil(3);
        // Between blocks: the next data command gets no answer.
        if (ending == "silent") {
            f.evm.setFault({.kind = sim::FaultKind::SilentAfter, .count = 0});
        }
        f.runUntil(4);
        limit.reset();

        QVERIFY(!f.repeat()->isChecked());
        QCOMPARE(f.status(), status);
        QCOMPARE(f.prompts.messages.size(), std::size_t(messages));
        if (ending == "full") {
            QCOMPARE(f.prompts.messages[0].text,
                     "Cannot write the file \"" + file.toStdString() +
                         "\": " + std::generic_category().message(EFBIG) + ".");
        }
        QCOMPARE(f.readBack(file).rows.size(), std::size_t(3));
        QCOMPARE(f.trendPoints(), 3);
        QCOMPARE(f.dataCommands(), std::size_t(4));
        QCOMPARE(f.window.isVisible(), ending != "close main");
        QVERIFY(!f.panel() || !f.panel()->collecting());
    }

    // A repeat that cannot start asks for no more than it needs and
    // collects nothing: without an EVM it says so, a cancelled dialog says
    // nothing, and a file that cannot take its header is named with the
    // cause.
    void aRepeatThatCannotStartCollectsNothing_data() {
        QTest::addColumn<bool>("detected");
        QTest::addColumn<QString>("file");  // empty: the dialog is cancelled
        QTest::addColumn<int>("fileChoices");
        QTest::addColumn<QStringList>("message");
        QTest::newRow("no EVM") << false << "unused.csv" << 0
                                << QStringList{"Repeat needs the EVM", "Detect EVM"};
        QTest::newRow("dialog cancelled") << true << QString() << 1 << QStringList();
#ifdef Q_OS_LINUX
        QTest::newRow("full disk")
            << true << "/dev/full" << 1
            << QStringList{"/dev/full",
                           QString::fromStdString(std::generic_category().message(ENOSPC))};
#endif
    }
    void aRepeatThatCannotStartCollectsNothing() {
        QFETCH(bool, detected);
        QFETCH(QString, file);
        QFETCH(int, fileChoices);
        QFETCH(QStringList, message);
        RepeatFixture f(detected);
        f.evm.clearFrames();
        f.pressRepeat(file);
        QCoreApplication::processEvents();

        QVERIFY(!f.repeat()->isChecked());
        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(fileChoices));
        QCOMPARE(f.dataCommands(), std::size_t(0));
        QCOMPARE(f.trendPoints(), 0);
        if (message.isEmpty()) {
            QVERIFY(f.prompts.messages.empty());
            return;
        }
        QCOMPARE(f.prompts.messages.size(), std::size_t(1));
        const QString text = QString::fromStdString(f.prompts.messages[0].text);
        for (const QString& part : message) {
            QVERIFY2(text.contains(part), qPrintable(text));
        }
        QCOMPARE(f.prompts.messages[0].caption, std::string("Repeat"));
    }

    // "Open Trend…" shows a trend file's rows in the Trend tab, in front,
    // with no EVM; a file that cannot be read is refused with the reason,
    // a broken line by its number, and the tab keeps what it showed.
    void openTrendShowsAFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("contents");  // none: no such file
        QTest::addColumn<QString>("reason");    // none: it opens
        QTest::newRow("a trend of three blocks")
            << "good.csv" << QString::fromStdString(trendFile(3)) << QString();
        QTest::newRow("a row with a word")
            << "broken.csv"
            << QString::fromStdString(trendFile(2) + "2026-12-11T12:00:02.000Z,abc,0.2,0,0\n")
            << "line 13";
        QTest::newRow("a capture, not a trend")
            << "capture.csv" << QString::fromStdString(captureText({.info = {}, .codes = {1, 2}}))
            << "line 1";
        QTest::newRow("no such file")
            << "missing.csv" << QString()
            << QString::fromStdString(std::generic_category().message(ENOENT));
    }
    void openTrendShowsAFile() {
        QFETCH(QString, name);
        QFETCH(QString, contents);
        QFETCH(QString, reason);
        RepeatFixture f(false);
        f.analysis()->showTrend({.info = {}, .count = 1, .rows = {TrendRow{}}}, "Shown before");
        const QString file = f.path(name);
        if (!contents.isNull()) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(contents.toUtf8()) > 0);
        }
        f.prompts.fileAnswers.push_back(file.toStdString());
        for (QAction* action : f.window.findChild<QMenu*>("windowMenu")->actions()) {
            if (action->text() == QStringLiteral("Open Trend\u2026")) {
                action->trigger();
            }
        }

        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(1));
        QVERIFY(f.prompts.fileChoices[0].request.kind == FileRequest::Kind::Open);
        const QLabel* origin = f.analysis()->findChild<QLabel*>("trendOrigin");
        if (reason.isEmpty()) {
            QVERIFY(f.prompts.messages.empty());
            QCOMPARE(f.trendPoints(), 3);
            QCOMPARE(origin->text(), QStringLiteral("Trend good.csv, blocks of 256 results, "
                                                    "started 2026-12-11 12:00:00 UTC"));
            const auto* views = f.analysis()->findChild<QTabWidget*>("views");
            QCOMPARE(views->tabText(views->currentIndex()), QStringLiteral("Trend"));
            QVERIFY(f.analysis()->isVisible());
            return;
        }
        QCOMPARE(f.prompts.messages.size(), std::size_t(1));
        const test::RecordedMessage& message = f.prompts.messages[0];
        const QString text = QString::fromStdString(message.text);
        QVERIFY2(text.contains(file) && text.contains(reason), qPrintable(text));
        QCOMPARE(message.caption, std::string("Open Trend"));
        QVERIFY(message.icon == MessageIcon::Error);
        QCOMPARE(f.trendPoints(), 1);
        QCOMPARE(origin->text(), QStringLiteral("Shown before"));
    }
};

ORV_REGISTER_TEST(RepeatTest);

#include "test_repeat.moc"
