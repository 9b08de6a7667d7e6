// SPDX-License-Identifier: GPL-3.0-or-later
#include <QList>
#include <cmath>
#include <numeric>
#include <vector>

#include "analysis/spectrum.h"
#include "analysis/tone.h"
#include "test_registry.h"
#include "test_signals.h"

using namespace orv::analysis;
using orv::test::gaussianBlock;
using orv::test::Harmonic;
using orv::test::kFullScaleAmplitude;
using orv::test::toneBlock;

Q_DECLARE_METATYPE(Harmonic)

namespace {

// An ideal 24-bit converter's SNR for a full-scale sine: 6.02 x 24 + 1.76 dB.
constexpr double kIdealSnr = 146.24;

double decibelsOf(double amplitude) {
    return 20.0 * std::log10(amplitude / 8388608.0);
}

class SpectrumTest final : public QObject {
    Q_OBJECT
private slots:
    // Any length, primes included; a coherent sine stands on its own bin at
    // its own level, and its lobe holds its power A^2 / 2.
    void findsATone_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("cycles");
        QTest::addColumn<double>("amplitude");
        QTest::newRow("power of two") << 4096 << 101 << kFullScaleAmplitude;
        QTest::newRow("odd length") << 4999 << 1009 << kFullScaleAmplitude;
        QTest::newRow("largest prime") << 65521 << 7919 << 1000.0;
        QTest::newRow("longest block") << 65535 << 32749 << 1.0e6;
        QTest::newRow("shortest for a tone") << 64 << 17 << 1.0e6;
    }
    void findsATone() {
        QFETCH(int, length);
        QFETCH(int, cycles);
        QFETCH(double, amplitude);
        SpectrumAnalyser analyser;
        const Spectrum spectrum = analyser.spectrum(toneBlock(length, amplitude, cycles));
        QCOMPARE(spectrum.length, static_cast<std::size_t>(length));
        QCOMPARE(spectrum.power.size(), static_cast<std::size_t>(length / 2 + 1));
        QCOMPARE(spectrum.dbfs.size(), spectrum.power.size());
        QVERIFY(std::abs(spectrum.dbfs[cycles] - decibelsOf(amplitude)) < 0.001);
        QCOMPARE(spectrum.binFrequency(cycles), static_cast<double>(cycles) / length);

        const auto tone = toneFigures(spectrum);
        QVERIFY(tone);
        QCOMPARE(tone->fundamentalBin, static_cast<std::size_t>(cycles));
        // Rounding to codes changes a small sine's amplitude a little (some
        // millionths at 1000 codes).
        QVERIFY(std::abs(tone->signalPower / (amplitude * amplitude / 2) - 1.0) < 1e-4);
    }

    // Noise alone has no tone, however its largest bin happens to fall; a
    // tone of a quarter of the noise's power still stands out by the
    // transform's gain and is measured at its true SNR of -6 dB.
    void findsOnlyATone_data() {
        QTest::addColumn<int>("length");
        QTest::newRow("shortest for a tone") << 64;
        QTest::newRow("odd length") << 4999;
        QTest::newRow("longest block") << 65535;
    }
    void findsOnlyATone() {
        QFETCH(int, length);
        const auto size = static_cast<std::size_t>(length);
        SpectrumAnalyser analyser;
        for (std::uint32_t seed = 1; seed <= 20; ++seed) {
            QVERIFY(!toneFigures(analyser.spectrum(gaussianBlock(size, 300.0, 100.0, seed))));
        }
        if (length >= 4096) {
            // Power A^2 / 2 = 2500 against the noise's 100^2.
            const double amplitude = std::sqrt(2.0 * 2500.0);
            const auto tone =
                toneFigures(analyser.spectrum(toneBlock(size, amplitude, 1000.3, {}, 100.0)));
            QVERIFY(tone);
            QCOMPARE(tone->fundamentalBin, std::size_t{1000});
            QVERIFY2(std::abs(tone->snr - (-6.02)) < 0.5, qPrintable(QString::number(tone->snr)));
        }
    }

    // Alternating codes are a cosine at half the rate: its lobe lies below
    // the Nyquist bin only, which has no image and must not be doubled. The
    // lobe then holds the block's whole mean square, A^2.
    void keepsTheNyquistBinSingle() {
        std::vector<std::int32_t> codes(4096);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            codes[i] = i % 2 ? -1000 : 1000;
        }
        SpectrumAnalyser analyser;
        const Spectrum spectrum = analyser.spectrum(codes);
        const double lobe = std::accumulate(spectrum.power.end() - 8, spectrum.power.end(), 0.0);
        QVERIFY(std::abs(lobe / 1e6 - 1.0) < 1e-9);
        QVERIFY(std::abs(spectrum.dbfs.back() - decibelsOf(1000.0)) < 1e-6);
    }

    void removesTheMean() {
        SpectrumAnalyser analyser;
        const Spectrum spectrum = analyser.spectrum(std::vector<std::int32_t>(1000, -8388608));
        for (const double level : spectrum.dbfs) {
            QCOMPARE(level, kFloorDbfs);
        }
        QVERIFY(!toneFigures(spectrum));

        // A tone of a fractional number of cycles has a plain mean off zero
        // (here about -51 dBFS at DC); the mean under the window leaves the lowest
        // bins at the quantisation floor, without the window's shape at DC.
        const Spectrum tone = analyser.spectrum(toneBlock(4096, kFullScaleAmplitude, 100.37));
        for (std::size_t bin = 0; bin <= 4; ++bin) {
            QVERIFY2(tone.dbfs[bin] < -150.0, qPrintable(QString::number(tone.dbfs[bin])));
        }
    }

    void needsEnoughPoints() {
        SpectrumAnalyser analyser;
        QCOMPARE(analyser.spectrum(std::vector<std::int32_t>{5}).length, std::size_t{0});
        QCOMPARE(analyser.spectrum(std::vector<std::int32_t>{5, 7}).power.size(), std::size_t{2});
        QVERIFY(!toneFigures(analyser.spectrum(toneBlock(63, 1e6, 11))));
        QVERIFY(toneFigures(analyser.spectrum(toneBlock(64, 1e6, 11))));
    }

    // Quantisation alone leaves an ideal converter's SNR, whether the tone
    // falls on a bin or between bins.
    void measuresAQuantisedFullScaleSine_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<double>("cycles");
        QTest::newRow("coherent, 65536") << 65536 << 1021.0;
        QTest::newRow("coherent, 65535") << 65535 << 2039.0;
        QTest::newRow("non-coherent, 65535") << 65535 << 1234.567;
        QTest::newRow("non-coherent, 4999") << 4999 << 345.678;
    }
    void measuresAQuantisedFullScaleSine() {
        QFETCH(int, length);
        QFETCH(double, cycles);
        SpectrumAnalyser analyser;
        const auto tone =
            toneFigures(analyser.spectrum(toneBlock(length, kFullScaleAmplitude, cycles)));
        QVERIFY(tone);
        QCOMPARE(tone->fundamentalBin, static_cast<std::size_t>(std::lround(cycles)));
        QVERIFY2(std::abs(tone->snr - kIdealSnr) < 1.0, qPrintable(QString::number(tone->snr)));
        QVERIFY2(std::abs(tone->sinad - kIdealSnr) < 1.0, qPrintable(QString::number(tone->sinad)));
        QVERIFY(std::abs(tone->enob - 24.0) < 1.0 / 6.02);
        QVERIFY(tone->thd < -140.0);
    }

    // Harmonics of known level, also where they fold back below half the rate.
    void measuresHarmonicDistortion_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<double>("cycles");
        QTest::addColumn<QList<Harmonic>>("harmonics");
        QTest::addColumn<double>("thd");
        QTest::addColumn<double>("sfdr");  // 0: not checked (between bins the peaks scallop apart)
        QTest::addColumn<double>("noiseRms");
        const QList<Harmonic> second{{2, -100.0}};
        QTest::newRow("2nd, coherent") << 65536 << 1021.0 << second << -100.0 << 100.0 << 0.0;
        QTest::newRow("2nd, non-coherent") << 65535 << 1234.567 << second << -100.0 << 0.0 << 0.0;
        QTest::newRow("2nd folded") << 4096 << 1500.0 << second << -100.0 << 100.0 << 0.0;
        QTest::newRow("2nd and 5th") << 65535 << 2039.0 << QList<Harmonic>{{2, -100.0}, {5, -90.0}}
                                     << 10.0 * std::log10(1e-10 + 1e-9) << 90.0 << 0.0;
        QTest::newRow("3rd with noise")
            << 65535 << 2039.0 << QList<Harmonic>{{3, -80.0}} << -80.0 << 80.0 << 30.0;
    }
    void measuresHarmonicDistortion() {
        QFETCH(int, length);
        QFETCH(double, cycles);
        QFETCH(QList<Harmonic>, harmonics);
        QFETCH(double, thd);
        QFETCH(double, sfdr);
        QFETCH(double, noiseRms);
        SpectrumAnalyser analyser;
        const auto tone = toneFigures(analyser.spectrum(toneBlock(
            length, kFullScaleAmplitude, cycles, {harmonics.begin(), harmonics.end()}, noiseRms)));
        QVERIFY(tone);
        QVERIFY2(std::abs(tone->thd - thd) < 0.5, qPrintable(QString::number(tone->thd)));
        if (sfdr != 0.0) {
            QVERIFY2(std::abs(tone->sfdr - sfdr) < 0.1, qPrintable(QString::number(tone->sfdr)));
        }
        // SINAD adds the harmonics to the noise.
        const double expectedSinad =
            -10.0 * std::log10(std::pow(10.0, -tone->snr / 10.0) + std::pow(10.0, thd / 10.0));
        QVERIFY(std::abs(tone->sinad - expectedSinad) < 0.5);
    }

    // Where each harmonic lands, and which are left out for sharing a lobe.
    void placesTheHarmonics_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("cycles");
        QTest::addColumn<QList<int>>("bins");  // -1: not counted
        QTest::newRow("plain") << 4096 << 101 << QList<int>{202, 303, 404, 505, 606};
        // 3000, 4500, 6000, 7500, 9000 folded into 0..2048.
        QTest::newRow("folded") << 4096 << 1500 << QList<int>{1096, 404, 1904, 692, 808};
        // 24 shares the fundamental's lobe; 48 and 72 share the lobes of the
        // 3rd and 5th before them.
        QTest::newRow("close to DC") << 4096 << 12 << QList<int>{-1, 36, -1, 60, -1};
        // 1366, 1, 1364, 1367, 2: each on the fundamental's lobe or DC's.
        QTest::newRow("none counted") << 4096 << 1365 << QList<int>{-1, -1, -1, -1, -1};
    }
    void placesTheHarmonics() {
        QFETCH(int, length);
        QFETCH(int, cycles);
        QFETCH(QList<int>, bins);
        SpectrumAnalyser analyser;
        const auto tone = toneFigures(analyser.spectrum(toneBlock(length, 1e6, cycles, {}, 3.0)));
        QVERIFY(tone);
        QCOMPARE(tone->fundamentalBin, static_cast<std::size_t>(cycles));
        for (std::size_t i = 0; i < kHarmonicCount; ++i) {
            const auto& bin = tone->harmonicBins[i];
            QCOMPARE(bin ? static_cast<int>(*bin) : -1, bins[static_cast<qsizetype>(i)]);
        }
        if (bins == QList<int>(5, -1)) {
            QCOMPARE(tone->harmonicPower, 0.0);
            QVERIFY(std::isinf(tone->thd));
        }
    }

    // The noise of the bins left over stands for the whole band: with short
    // blocks the lobes take many bins (DC's, the tone's and five harmonics':
    // 98 of 257 here), and a noise not scaled up for them would read 2 dB low.
    // Averaged over blocks to see it.
    void scalesTheNoiseToTheWholeBand() {
        SpectrumAnalyser analyser;
        const double rms = 50.0;
        double total = 0.0;
        constexpr int kBlocks = 1000;
        for (int seed = 0; seed < kBlocks; ++seed) {
            const auto codes = toneBlock(512, 1e6, 37.3, {}, rms, static_cast<std::uint32_t>(seed));
            total += toneFigures(analyser.spectrum(codes))->noisePower;
        }
        const double expected = rms * rms + 1.0 / 12.0;
        QVERIFY2(std::abs(total / kBlocks / expected - 1.0) < 0.015,
                 qPrintable(QString::number(total / kBlocks)));
    }

    // The window: periodic, so symmetric about N/2 and 1 there for even N;
    // its first point is the coefficients' alternating sum.
    void windowsWithBlackmanHarris() {
        const std::vector<double> window = blackmanHarris7(1000);
        QVERIFY(std::abs(window[500] - 1.0) < 1e-12);
        QVERIFY(std::abs(window[0] - 5.910452e-8) < 1e-13);
        for (std::size_t n = 1; n < 500; ++n) {
            QVERIFY(std::abs(window[n] - window[1000 - n]) < 1e-15);
        }
    }
};

}  // namespace

ORV_REGISTER_TEST(SpectrumTest);
#include "test_spectrum.moc"
