// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>
#include <cmath>

#include "characterise_view/cell_shade.h"
#include "test_registry.h"

using namespace orv;
using characterise::NoiseCell;
using characterise::TableFigure;

namespace {

// WCAG's relative luminance of a colour.
double luminance(const QColor& colour) {
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

NoiseCell cellOf(double rmsUv, double effectiveBits) {
    NoiseCell cell;
    cell.rmsNoiseUv = rmsUv;
    cell.effectiveBits = effectiveBits;
    return cell;
}

class ShadingTest final : public QObject {
    Q_OBJECT
private slots:
    // Noise in µV on a logarithmic scale, lowest best; bits on a linear
    // one, most best; cells all alike are all best.
    void badnessRunsFromTheBestCell_data() {
        QTest::addColumn<int>("figureCode");
        QTest::addColumn<std::vector<NoiseCell>>("cells");
        QTest::addColumn<std::vector<double>>("badness");
        QTest::newRow("µV, decades") << int(TableFigure::RmsNoiseUv)
                                     << std::vector{cellOf(10.0, 0), cellOf(0.1, 0), cellOf(1.0, 0)}
                                     << std::vector{1.0, 0.0, 0.5};
        QTest::newRow("bits") << int(TableFigure::EffectiveBits)
                              << std::vector{cellOf(0, 24.0), cellOf(0, 20.0), cellOf(0, 23.0)}
                              << std::vector{0.0, 1.0, 0.25};
        QTest::newRow("all alike")
            << int(TableFigure::RmsNoiseUv) << std::vector{cellOf(2.0, 0), cellOf(2.0, 0)}
            << std::vector{0.0, 0.0};
        QTest::newRow("one noiseless")
            << int(TableFigure::RmsNoiseUv) << std::vector{cellOf(0.0, 0), cellOf(1.0, 0)}
            << std::vector{0.0, 1.0};
    }
    void badnessRunsFromTheBestCell() {
        QFETCH(int, figureCode);
        QFETCH(std::vector<NoiseCell>, cells);
        QFETCH(std::vector<double>, badness);
        const std::vector<double> got = badnessOf(cells, TableFigure(figureCode));
        QCOMPARE(got.size(), badness.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            QVERIFY2(std::abs(got[i] - badness[i]) < 1e-12, qPrintable(QString::number(got[i])));
        }
    }

    // The best cell is white, every shade darker than the one before it
    // and light enough that black text keeps a contrast over 10 to 1.
    void shadesStayLightAndOrdered() {
        QCOMPARE(shadeOf(0.0), QColor(Qt::white));
        double previous = 2.0;
        for (int step = 0; step <= 20; ++step) {
            const double l = luminance(shadeOf(step / 20.0));
            QVERIFY(l < previous || step == 0);
            QVERIFY2((l + 0.05) / 0.05 > 10.0, qPrintable(QString::number(step)));
            previous = l;
        }
    }
};

}  // namespace

ORV_REGISTER_TEST(ShadingTest);
#include "test_shading.moc"
