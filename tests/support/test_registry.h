// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

namespace orv::test {

// Lets one test executable hold several Qt Test classes, one per file:
// each file registers its class with ORV_REGISTER_TEST, and main() calls
// runRegisteredTests.
using TestFactory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<TestFactory>& registeredTests() {
    static std::vector<TestFactory> tests;
    return tests;
}

inline bool registerTest(TestFactory factory) {
    registeredTests().push_back(std::move(factory));
    return true;
}

// Returns the number of failed test functions over all classes.
inline int runRegisteredTests(int argc, char** argv) {
    int failures = 0;
    for (const TestFactory& factory : registeredTests()) {
        const std::unique_ptr<QObject> test = factory();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures;
}

}  // namespace orv::test

#define ORV_REGISTER_TEST(Class)             \
    static const bool orvRegistered##Class = \
        ::orv::test::registerTest([] { return std::unique_ptr<QObject>(new Class); })
