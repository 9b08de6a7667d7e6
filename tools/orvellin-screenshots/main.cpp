// Renders the screenshots under docs/ offscreen, against the in-memory
// simulated EVM: orvellin-screenshots OUTPUT_FOLDER. The main window shows
// the device panel on its "All Regs" tab, as the EVM answered the Read.
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabBar>
#include <cstdio>

#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "link/link.h"
#include "seams/clock.h"
#include "sim/sim_bus.h"

namespace {

bool save(QWidget& widget, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (!widget.grab().save(path)) {
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
    orv::sim::SimBus bus(clock);
    bus.addEvm("/dev/ttyUSB0");
    orv::QtPrompts prompts;
    orv::Link link({"/dev/ttyUSB0"}, bus.factory(), clock);
    orv::COrvellinDlg window(link, prompts);
    window.show();
    window.findChild<QPushButton*>("detectEvmButton")->click();
    window.findChild<QTabBar*>("tabs")->setCurrentIndex(6);
    return save(window, folder, QStringLiteral("main-window.png")) ? 0 : 1;
}
