// SPDX-License-Identifier: GPL-3.0-or-later
// The noise table as CSV and as a datasheet's Markdown table.

#include "characterise/table_text.h"
#include "test_registry.h"

using namespace orv::characterise;

namespace {

NoiseCell cellOf(int gain, double rate, double rmsUv) {
    return {.gain = gain,
            .rateSps = rate,
            .count = 256,
            .rmsNoiseUv = rmsUv,
            .ppNoiseUv = 6.5 * rmsUv,
            .effectiveBits = 22.456,
            .noiseFreeBits = 19.75,
            .meanV = -1.25e-7};
}

class TableTextTest final : public QObject {
    Q_OBJECT
private slots:
    void writesMicrovoltsToThreeDigits_data() {
        QTest::addColumn<double>("uv");
        QTest::addColumn<QString>("text");
        QTest::newRow("below one") << 0.22149 << "0.221";
        QTest::newRow("below a tenth") << 0.060249 << "0.0602";
        QTest::newRow("tens") << 21.94 << "21.9";
        QTest::newRow("hundreds") << 123.4 << "123";
        QTest::newRow("thousands keep their digits") << 1234.4 << "1234";
        QTest::newRow("rounding into the next digit") << 0.099996 << "0.100";
        QTest::newRow("rounding to ten") << 9.9996 << "10.0";
        QTest::newRow("no noise") << 0.0 << "0.00";
    }
    void writesMicrovoltsToThreeDigits() {
        QFETCH(double, uv);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(figureText(cellOf(1, 10.0, uv), TableFigure::RmsNoiseUv)),
                 text);
    }

    void writesOneCsvRowPerCell() {
        const std::vector<NoiseCell> cells{cellOf(1, 2.5, 0.221), cellOf(64, 30000.0, 6.59)};
        QCOMPARE(QString::fromStdString(cellsCsv(cells)),
                 QString("gain,rate_sps,rms_noise_uv,pp_noise_uv,effective_resolution_bits,"
                         "noise_free_resolution_bits,mean_v\n"
                         "1,2.5,0.221,1.4365,22.456,19.75,-1.25e-07\n"
                         "64,30000,6.59,42.835,22.456,19.75,-1.25e-07\n"));
    }

    // Rows are the plan's rates, columns its gains, in the plan's order; a
    // cell not measured (a run stopped) stays empty.
    void writesADatasheetTable() {
        SweepPlan plan;
        plan.gains = {1, 64};
        plan.rates = {10.0, 2.5};
        const std::vector<NoiseCell> cells{cellOf(1, 10.0, 0.434), cellOf(64, 10.0, 0.12),
                                           cellOf(1, 2.5, 0.221)};
        QCOMPARE(QString::fromStdString(markdownTable(plan, cells, TableFigure::RmsNoiseUv)),
                 QString("| SPS \\ gain | 1 | 64 |\n"
                         "|---:|---:|---:|\n"
                         "| 10 | 0.434 | 0.120 |\n"
                         "| 2.5 | 0.221 | |\n"));
        QCOMPARE(QString::fromStdString(markdownTable(plan, cells, TableFigure::NoiseFreeBits))
                     .section('\n', 2, 2),
                 QString("| 10 | 19.75 | 19.75 |"));
        QCOMPARE(QString::fromStdString(markdownTable(plan, cells, TableFigure::EffectiveBits))
                     .section('\n', 3, 3),
                 QString("| 2.5 | 22.46 | |"));
    }
};

}  // namespace

ORV_REGISTER_TEST(TableTextTest);
#include "test_table_text.moc"
