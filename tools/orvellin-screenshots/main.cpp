// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the screenshots under docs/ offscreen, against the in-memory
// simulated EVM: orvellin-screenshots OUTPUT_FOLDER. The main window shows
// the device panel on its "All Regs" tab, as the EVM answered the Read; the
// page shots show the panel's register side on one tab each; the chart shot
// shows the panel after a collection of 200 results of a test tone; the
// analysis shot shows the spectrum of 16384 results of that tone at gain 1
// and 30000 SPS in the Analysis window; the noise table shot shows the
// Noise Table window after its default run (all seven gains at 10, 100,
// 1000 and 30000 SPS, 256 results a cell) over a shorted input; the trend
// shot shows the Analysis window's Trend tab after a Repeat of 100 blocks
// of a shorted input.
#include <qcustomplot.h>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "analysis_view/analysis_window.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "link/link.h"
#include "seams/clock.h"
#include "seams/prompts.h"
#include "sim/sim_bus.h"

namespace {

bool save(QWidget& widget, const QDir& folder, const QString& name,
          const QRect& region = QRect(QPoint(0, 0), QSize(-1, -1))) {
    const QString path = folder.filePath(name);
    if (!widget.grab(region).save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// A main window of its own, whose EVM has no test tone: 0 V on AIN0, so
// that the power-on MUX reads noise and offset only. The window opens from
// the panel's button; the run takes no real time on the manual clock.
bool saveNoiseTable(const QDir& folder) {
    orv::ManualClock clock;
    orv::sim::SimBus bus(clock);
    bus.addEvm("/dev/ttyUSB0", orv::sim::EvmConfig{.toneHz = 0.0});
    orv::QtPrompts prompts;
    orv::Link link({"/dev/ttyUSB0"}, bus.factory(), clock);
    orv::COrvellinDlg window(link, prompts);
    window.show();
    window.findChild<QPushButton*>("detectEvmButton")->click();
    window.findChild<QPushButton*>("noiseTableButton")->click();
    QWidget* table = window.findChild<QWidget*>("noiseTableWindow");
    for (QPushButton* button : table->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("Start")) {
            button->click();
        }
    }
    QApplication::processEvents();
    return save(*table, folder, QStringLiteral("noise-table.png"));
}

// No dialogs offscreen: every file asked for is `file`, every message goes
// to standard error.
class ScriptedPrompts final : public orv::Prompts {
public:
    explicit ScriptedPrompts(std::string file) : file_(std::move(file)) {}
    void message(orv::PromptOwner, const std::string& text, const std::string&,
                 orv::MessageIcon) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    std::optional<std::uint32_t> chooseColour(orv::PromptOwner, std::uint32_t) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFile(orv::PromptOwner, const orv::FileRequest&) override {
        return file_;
    }

private:
    std::string file_;
};

// "Repeat" in the Analysis window of a main window of its own, over a
// shorted input at gain 1 and 10 SPS, paced like a board on the manual
// clock: 100 blocks of 256 results are 43 minutes that cost no real time.
// The trend file goes to a temporary folder.
bool saveTrend(const QDir& folder) {
    constexpr int kBlocks = 100;
    orv::ManualClock clock;
    clock.setLocalTime(
        {.year = 2026, .month = 12, .day = 11, .hour = 14, .minute = 5, .second = 9});
    clock.setUtcTime({.year = 2026, .month = 12, .day = 11, .hour = 13, .minute = 5, .second = 9});
    orv::sim::Registers registers = orv::sim::kPowerOnRegisters;
    registers[orv::DRATE] = 0x23;  // 10 SPS
    orv::sim::SimBus bus(clock);
    bus.addEvm("/dev/ttyUSB0", orv::sim::EvmConfig{.powerOn = registers, .toneHz = 0.0},
               orv::sim::Wire::Paced);
    const QTemporaryDir files;
    ScriptedPrompts prompts(files.filePath(QStringLiteral("trend.csv")).toStdString());
    orv::Link link({"/dev/ttyUSB0"}, bus.factory(), clock);
    orv::COrvellinDlg window(link, prompts);
    window.show();
    window.findChild<QPushButton*>("detectEvmButton")->click();
    window.findChild<QLineEdit*>("dataCount")->setText(QStringLiteral("256"));
    window.OnSysCommand(orv::kSysAnalysis);
    orv::AnalysisWindow* analysis = window.analysisWindow();
    analysis->resize(1100, 700);
    auto* repeat = analysis->findChild<QPushButton*>("repeat");
    const QCPGraph* means = analysis->findChild<QWidget*>("trendOrigin")
                                ->parentWidget()
                                ->findChild<QCustomPlot*>()
                                ->graph(0);
    repeat->click();
    while (repeat->isChecked() && means->dataCount() < kBlocks) {
        QApplication::processEvents();
    }
    repeat->click();
    QApplication::processEvents();  // the layout of the last status text
    return save(*analysis, folder, QStringLiteral("trend.png"));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));

    orv::ManualClock clock;
    clock.setLocalTime(
        {.year = 2026, .month = 12, .day = 11, .hour = 14, .minute = 5, .second = 9});
    orv::sim::SimBus bus(clock);
    bus.addEvm("/dev/ttyUSB0", orv::sim::EvmConfig{.toneHz = 1000.0});
    orv::QtPrompts prompts;
    orv::Link link({"/dev/ttyUSB0"}, bus.factory(), clock);
    orv::COrvellinDlg window(link, prompts);
    window.show();
    window.findChild<QPushButton*>("detectEvmButton")->click();
    auto* tabs = window.findChild<QTabBar*>("tabs");
    auto* panel = window.findChild<QWidget*>("devicePanel");
    // The lists, the tabs, the page under them and "Write" and "Read".
    const QRect registerSide(0, 0, tabs->geometry().right() + 8,
                             window.findChild<QWidget*>("writeButton")->geometry().bottom() + 8);

    bool saved = true;
    for (const auto& [tab, name] : {std::pair{0, "mux-page.png"}, std::pair{4, "cal-page.png"}}) {
        tabs->setCurrentIndex(tab);
        saved = save(*panel, folder, QString::fromLatin1(name), registerSide) && saved;
    }
    tabs->setCurrentIndex(6);
    saved = save(window, folder, QStringLiteral("main-window.png")) && saved;

    tabs->setCurrentIndex(0);
    window.findChild<QLineEdit*>("dataCount")->setText(QStringLiteral("200"));
    window.findChild<QPushButton*>("startButton")->click();
    saved = save(window, folder, QStringLiteral("chart.png")) && saved;

    window.findChild<QLineEdit*>("dataCount")->setText(QStringLiteral("16384"));
    window.findChild<QPushButton*>("startButton")->click();
    window.findChild<QPushButton*>("analysisButton")->click();
    QWidget* analysis = window.findChild<QWidget*>("analysisWindow");
    analysis->resize(1100, 700);
    analysis->findChild<QTabWidget*>("views")->setCurrentIndex(2);
    QApplication::processEvents();
    saved = save(*analysis, folder, QStringLiteral("analysis.png")) && saved;
    saved = saveNoiseTable(folder) && saved;
    saved = saveTrend(folder) && saved;
    return saved ? 0 : 1;
}
