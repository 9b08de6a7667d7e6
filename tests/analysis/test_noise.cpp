// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <numbers>
#include <numeric>
#include <vector>

#include "analysis/histogram.h"
#include "analysis/noise.h"
#include "test_registry.h"
#include "test_signals.h"

using namespace orv::analysis;
using orv::test::gaussianBlock;
using orv::test::kMaxCode;
using orv::test::kMinCode;

namespace {

class NoiseTest final : public QObject {
    Q_OBJECT
private slots:
    void measuresGaussianNoise_data() {
        QTest::addColumn<double>("mean");
        QTest::addColumn<double>("rms");
        QTest::addColumn<int>("length");
        QTest::newRow("centred, 65535") << 0.0 << 10.0 << 65535;
        QTest::newRow("near positive full scale") << 8388000.0 << 10.0 << 65535;
        QTest::newRow("near negative full scale, odd length") << -8388000.0 << 10.0 << 4999;
        QTest::newRow("wide") << 1000.0 << 2000.0 << 65535;
    }
    void measuresGaussianNoise() {
        QFETCH(double, mean);
        QFETCH(double, rms);
        QFETCH(int, length);
        const auto codes = gaussianBlock(static_cast<std::size_t>(length), mean, rms, 20240611);
        const NoiseFigures noise = noiseFigures(codes);
        QCOMPARE(noise.count, static_cast<std::size_t>(length));
        // Rounding to codes adds 1/12 code^2 to the variance.
        const double quantisedRms = std::sqrt(rms * rms + 1.0 / 12.0);
        QVERIFY2(std::abs(noise.rms / quantisedRms - 1.0) < 0.02,
                 qPrintable(QString::number(noise.rms)));
        QVERIFY(std::abs(noise.effectiveBits - (24.0 - std::log2(quantisedRms))) < 0.03);
        QVERIFY(std::abs(noise.mean - mean) < 4.0 * rms / std::sqrt(length));
        const auto [lowest, highest] = std::minmax_element(codes.begin(), codes.end());
        QCOMPARE(noise.minimum, *lowest);
        QCOMPARE(noise.maximum, *highest);
        QCOMPARE(noise.peakToPeak, static_cast<double>(*highest - *lowest));
        QCOMPARE(noise.noiseFreeBits, 24.0 - std::log2(noise.peakToPeak));
    }

    // The sums must not lose a digit at full scale: no noise is exactly none.
    void isExactAtFullScale_data() {
        QTest::addColumn<int>("code");
        QTest::newRow("most positive") << kMaxCode;
        QTest::newRow("most negative") << kMinCode;
        QTest::newRow("zero") << 0;
    }
    void isExactAtFullScale() {
        QFETCH(int, code);
        const std::vector<std::int32_t> codes(65535, code);
        const NoiseFigures noise = noiseFigures(codes);
        QCOMPARE(noise.count, std::size_t{65535});
        QVERIFY(noise.mean == code);
        QVERIFY(noise.rms == 0.0);
        QVERIFY(noise.peakToPeak == 0.0);
        QVERIFY(noise.effectiveBits == 24.0);
        QVERIFY(noise.noiseFreeBits == 24.0);
    }

    // Two values p and q times: variance p q (a - b)^2 / (p + q)^2. At the two
    // ends of the scale a sum of squares about zero would cancel badly.
    void measuresTwoFullScaleValues() {
        std::vector<std::int32_t> codes(65535, kMaxCode);
        std::fill(codes.begin(), codes.begin() + 32768, kMinCode);
        const NoiseFigures noise = noiseFigures(codes);
        const double p = 32768.0;
        const double q = 32767.0;
        const double span = 16777215.0;
        QCOMPARE(noise.rms, std::sqrt(p * q) * span / (p + q));
        QCOMPARE(noise.mean, (q * kMaxCode - p * 8388608.0) / (p + q));
        QCOMPARE(noise.peakToPeak, span);
    }

    // Less than a code of noise cannot resolve more than the converter's 24 bits.
    void capsTheResolutionAt24Bits() {
        std::vector<std::int32_t> codes(1000, 5);
        codes[0] = 6;
        const NoiseFigures noise = noiseFigures(codes);
        QVERIFY(noise.rms < 0.1);
        QCOMPARE(noise.effectiveBits, 24.0);
        QCOMPARE(noise.noiseFreeBits, 24.0);
    }

    void givesZerosForNoBlock() {
        const NoiseFigures noise = noiseFigures({});
        QCOMPARE(noise.count, std::size_t{0});
        QCOMPARE(noise.rms, 0.0);
        QVERIFY(histogram({}, noise).counts.empty());
    }

    void countsOneBinPerCode() {
        const std::vector<std::int32_t> codes{-3, -3, 0, -2, -3, 0};
        const Histogram result = histogram(codes, noiseFigures(codes));
        QCOMPARE(result.firstCode, -3.5);  // bin i's centre is code -3 + i
        QCOMPARE(result.binWidth, 1.0);
        QCOMPARE(result.counts, (std::vector<std::uint32_t>{3, 1, 0, 2}));
        QCOMPARE(result.normal.size(), result.counts.size());
    }

    void choosesTheBins_data() {
        QTest::addColumn<int>("span");
        QTest::addColumn<int>("bins");
        QTest::newRow("one code") << 1 << 1;
        QTest::newRow("1024 codes") << 1024 << 1024;
        QTest::newRow("1025 codes") << 1025 << 256;
        QTest::newRow("full scale") << 16777216 << 256;
    }
    void choosesTheBins() {
        QFETCH(int, span);
        QFETCH(int, bins);
        // The span's two ends and its middle.
        const std::int32_t first = span > 1024 ? kMinCode : -100;
        const std::int32_t last = static_cast<std::int32_t>(first + (span - 1));
        const std::vector<std::int32_t> codes{first, last, first + (last - first) / 2, last};
        const Histogram result = histogram(codes, noiseFigures(codes));
        QCOMPARE(result.counts.size(), static_cast<std::size_t>(bins));
        QCOMPARE(result.binWidth, static_cast<double>(span) / bins);
        QCOMPARE(std::accumulate(result.counts.begin(), result.counts.end(), std::size_t{0}),
                 codes.size());
        QVERIFY(result.counts.front() > 0);
        QVERIFY(result.counts.back() > 0);
    }

    // 256 bins over a span of 2560 codes: ten codes each, edges in between.
    void fillsWideBinsByTheirEdges() {
        std::vector<std::int32_t> codes;
        for (std::int32_t code = 0; code < 2560; ++code) {
            codes.push_back(code);
        }
        const Histogram result = histogram(codes, noiseFigures(codes));
        QCOMPARE(result.firstCode, -0.5);
        QCOMPARE(result.binWidth, 10.0);
        QCOMPARE(result.counts, std::vector<std::uint32_t>(256, 10));
    }

    // The normal curve integrates to the count and peaks at the mean.
    void predictsTheNormalCurve() {
        const auto codes = gaussianBlock(65535, 200.0, 10.0, 7);
        const NoiseFigures noise = noiseFigures(codes);
        const Histogram result = histogram(codes, noise);
        const double total = std::accumulate(result.normal.begin(), result.normal.end(), 0.0);
        QVERIFY(std::abs(total / 65535.0 - 1.0) < 1e-3);
        const auto peak = std::max_element(result.normal.begin(), result.normal.end());
        const double peakCentre =
            result.firstCode + (static_cast<double>(peak - result.normal.begin()) + 0.5);
        QVERIFY(std::abs(peakCentre - noise.mean) <= 0.5);
        // The density 1 / (sqrt(2 pi) RMS) per code at the peak.
        QVERIFY(std::abs(*peak / (65535.0 / (std::sqrt(2.0 * std::numbers::pi) * noise.rms)) -
                         1.0) < 0.01);
    }
};

}  // namespace

ORV_REGISTER_TEST(NoiseTest);
#include "test_noise.moc"
