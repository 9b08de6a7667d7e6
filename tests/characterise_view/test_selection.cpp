// SPDX-License-Identifier: GPL-3.0-or-later
#include "noise_table_fixture.h"
#include "sweep_plans.h"
#include "test_registry.h"

using namespace orv;
using characterise::SweepPlan;
using test::NoiseTableFixture;
using test::sweepPlanOf;

namespace {

class SelectionTest final : public QObject {
    Q_OBJECT
private slots:
    // The window opens on the default plan: all seven gains at 10, 100,
    // 1000 and 30000 SPS, 256 results, calibrating, its table empty in
    // that shape.
    void opensOnTheDefaultPlan() {
        NoiseTableFixture f;
        QStringList gains;
        for (const char* gain : {"1", "2", "4", "8", "16", "32", "64"}) {
            gains << (f.named<QCheckBox>(gain)->isChecked() ? gain : "-");
        }
        QCOMPARE(gains, (QStringList{"1", "2", "4", "8", "16", "32", "64"}));
        QStringList rates;
        for (const analysis::DataRate& rate : analysis::kDataRates) {
            const QString name = QString::number(rate.samplesPerSecond) + " SPS";
            if (f.named<QCheckBox>(name)->isChecked()) {
                rates << name;
            }
        }
        QCOMPARE(rates, (QStringList{"10 SPS", "100 SPS", "1000 SPS", "30000 SPS"}));
        QCOMPARE(f.named<QCheckBox>("2.5 SPS")->text(), QString("2.5 SPS"));
        QCOMPARE(f.named<QSpinBox>("Results per cell")->value(), 256);
        QCOMPARE(f.named<QSpinBox>("Results per cell")->maximum(), 65531);
        QVERIFY(f.named<QCheckBox>("Self calibration in each cell")->isChecked());
        QCOMPARE(f.table()->rowCount(), 4);
        QCOMPARE(f.table()->columnCount(), 7);
        QCOMPARE(f.texts(), QStringList(28, QString()));
        QVERIFY(!f.named<QPushButton>("Export CSV\u2026")->isEnabled());
        QVERIFY(!f.named<QPushButton>("Copy")->isEnabled());
    }

    // The estimate follows the selection. Worked by hand: a cell takes the
    // longer of count / rate and 40 bits a result at 115200 baud
    // (0.0889 s for 256), plus 0.2 s and 9 bytes on the wire for a
    // calibration; the sum is rounded up.
    void estimateFollowsTheSelection_data() {
        QTest::addColumn<std::vector<int>>("gains");
        QTest::addColumn<std::vector<double>>("rates");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("calibrate");
        QTest::addColumn<QString>("estimate");
        const std::vector<double> all{2.5,    5.0,    10.0,    15.0,   25.0,   30.0,
                                      50.0,   60.0,   100.0,   500.0,  1000.0, 2000.0,
                                      3750.0, 7500.0, 15000.0, 30000.0};
        // 7 x (25.6 + 2.56 + 0.256 + 0.0889) + 28 x 0.2008 = 205.2 s
        QTest::newRow("default") << std::vector<int>{1, 2, 4, 8, 16, 32, 64}
                                 << std::vector<double>{10, 100, 1000, 30000} << 256 << true
                                 << "At least 3 min 26 s";
        // 7 x 228.24 + 112 x 0.2008 = 1620.2 s
        QTest::newRow("everything") << std::vector<int>{1, 2, 4, 8, 16, 32, 64} << all << 256
                                    << true << "At least 27 min 1 s";
        QTest::newRow("slowest") << std::vector<int>{1} << std::vector<double>{2.5} << 256 << false
                                 << "At least 1 min 43 s";  // 102.4 s
        QTest::newRow("two gains") << std::vector<int>{1, 64} << std::vector<double>{10} << 256
                                   << false << "At least 52 s";  // 51.2 s
        // the wire's 0.0111 s, not 32 / 30000
        QTest::newRow("wire bound")
            << std::vector<int>{1} << std::vector<double>{30000} << 32 << false << "At least 1 s";
    }
    void estimateFollowsTheSelection() {
        QFETCH(std::vector<int>, gains);
        QFETCH(std::vector<double>, rates);
        QFETCH(int, count);
        QFETCH(bool, calibrate);
        QFETCH(QString, estimate);
        NoiseTableFixture f;
        f.select(sweepPlanOf(gains, rates, count, calibrate));
        QCOMPARE(f.value("Estimate"), estimate);
        QVERIFY(f.named<QPushButton>("Start")->isEnabled());
        QCOMPARE(f.table()->rowCount(), int(rates.size()));
        QCOMPARE(f.table()->columnCount(), int(gains.size()));
    }

    // A plan without a gain or a rate cannot start, and the status line
    // says why; choosing one again clears it.
    void anEmptyChoiceCannotStart_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("status");
        QTest::newRow("no gain") << "1"
                                 << "Cannot start: no gain chosen.";
        QTest::newRow("no rate") << "10 SPS"
                                 << "Cannot start: no data rate chosen.";
    }
    void anEmptyChoiceCannotStart() {
        QFETCH(QString, box);
        QFETCH(QString, status);
        NoiseTableFixture f;
        f.select(sweepPlanOf({1}, {10.0}, 256, true));
        f.named<QCheckBox>(box)->setChecked(false);
        QCOMPARE(f.status(), status);
        QVERIFY(!f.named<QPushButton>("Start")->isEnabled());
        QCOMPARE(f.value("Estimate"), QString());
        f.press("Start");
        QVERIFY(f.evm.frames().empty());

        f.named<QCheckBox>(box)->setChecked(true);
        QCOMPARE(f.status(), QString());
        QVERIFY(f.named<QPushButton>("Start")->isEnabled());
    }

    // Results stay in their shape when the selection changes after a run,
    // until the next Start.
    void resultsStayUntilTheNextStart() {
        NoiseTableFixture f;
        const SweepPlan plan = test::smallPlan();
        f.run(plan);
        const QStringList measured = f.texts();
        f.select(sweepPlanOf({2}, {10.0}, 256, true));
        QCOMPARE(f.texts(), measured);
        QCOMPARE(f.table()->columnCount(), 2);
    }
};

}  // namespace

ORV_REGISTER_TEST(SelectionTest);
#include "test_selection.moc"
