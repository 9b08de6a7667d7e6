// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>

#include "test_registry.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    return orv::test::runRegisteredTests(argc, argv);
}
