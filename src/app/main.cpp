// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <cstring>

#include "app/application.h"

namespace {

// Help must print without a display, before any window system is needed.
bool asksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 ||
            std::strcmp(argv[i], "--help-all") == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) {
        QCoreApplication core(argc, argv);
        orv::parseCommandLine(core);
        return 0;
    }
    QApplication application(argc, argv);
    // Ties the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("orvellin"));
    orv::COrvellinApp app;
    return app.InitInstance(application);
}
