// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "analysis/number_text.h"
#include "analysis_view/volt_text.h"
#include "test_registry.h"

using namespace orv;

namespace {

class VoltTextTest final : public QObject {
    Q_OBJECT
private slots:
    // The unit changes at 1 mV and 1 V; what rounds to nothing has no sign.
    void voltsReadInTheirUnit_data() {
        QTest::addColumn<double>("volts");
        QTest::addColumn<QString>("text");
        QTest::newRow("volts") << 2.5 << "2.5000000 V";
        QTest::newRow("one volt") << -1.0 << "-1.0000000 V";
        QTest::newRow("just under a volt") << 0.99999 << "999.990000 mV";
        QTest::newRow("one millivolt") << 1e-3 << "1.000000 mV";
        QTest::newRow("microvolts") << -5.9604644775390625e-7 << "-0.596 µV";
        QTest::newRow("zero") << 0.0 << "0.000 µV";
        QTest::newRow("less than a nanovolt below zero") << -1e-10 << "0.000 µV";
    }
    void voltsReadInTheirUnit() {
        QFETCH(double, volts);
        QTEST(QString::fromStdString(voltsText(volts)), "text");
    }

    // Good entries beside those the window test refuses.
    void vrefTakesPlainDecimals_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("vref");
        QTest::newRow("integer") << "5" << 5.0;
        QTest::newRow("decimals") << "4.096" << 4.096;
        QTest::newRow("no leading digit") << ".5" << 0.5;
        QTest::newRow("blanks around") << " \t2.5 " << 2.5;
        QTest::newRow("exponent") << "2.5e0" << 0.0;
        QTest::newRow("plus sign") << "+2.5" << 0.0;
        QTest::newRow("two numbers") << "2.5 3" << 0.0;
    }
    void vrefTakesPlainDecimals() {
        QFETCH(QString, typed);
        QFETCH(double, vref);
        const std::optional<double> parsed = parseVref(typed.toStdString());
        QCOMPARE(parsed.value_or(0.0), vref);
        if (parsed) {
            QCOMPARE(parseVref(analysis::shortestText(*parsed)), parsed);
        }
    }
};

}  // namespace

ORV_REGISTER_TEST(VoltTextTest);

#include "test_volt_text.moc"
