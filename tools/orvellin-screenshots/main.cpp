// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the screenshots under docs/ offscreen, against the in-memory
// simulated EVM: orvellin-screenshots OUTPUT_FOLDER. The main window shows
// the device panel on its "All Regs" tab, as the EVM answered the Read; the
// page shots show the panel's register side on one tab each; the chart shot
// shows the panel after a collection of 200 results of a test tone; the
// analysis shot shows the spectrum of 16384 results of that tone at gain 1
// and 30000 SPS in the Analysis window.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <cstdio>
#include <utility>

#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "link/link.h"
#include "seams/clock.h"
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
    return saved ? 0 : 1;
}
