// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "test_registry.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return orv::test::runRegisteredTests(argc, argv);
}
