// SPDX-License-Identifier: GPL-3.0-or-later
#include <clocale>
#include <limits>
#include <string>

#include "analysis/figures.h"
#include "test_registry.h"

using namespace orv::analysis;

namespace {

// Figures whose texts are worked out by hand: at gain 1 and Vref 2.5 V a
// code is 5 / 2^23 V = 0.5960464... µV, and 2^22 codes are 2.5 V.
NoiseFigures noiseOfABlock() {
    NoiseFigures noise;
    noise.count = 65535;
    noise.mean = 4194304.0;
    noise.minimum = 4194299;
    noise.maximum = 4194309;
    noise.rms = 1.0;
    noise.peakToPeak = 10.0;
    noise.effectiveBits = 21.3456;
    noise.noiseFreeBits = 18.9;
    return noise;
}

ToneFigures toneOfABlock() {
    ToneFigures tone;
    tone.fundamentalBin = 1021;
    tone.snr = 146.0249;
    tone.thd = -100.031;
    tone.sinad = 99.9951;
    tone.sfdr = 120.0;
    tone.enob = 16.318;
    return tone;
}

const Scale kScale{1, 30000.0, 2.5};

class FigureTextTest final : public QObject {
    Q_OBJECT
private slots:
    void formatsEveryField() {
        const FigureTexts texts = figureTexts(noiseOfABlock(), toneOfABlock(), kScale);
        QCOMPARE(texts.samples, "65535");
        QCOMPARE(texts.mean, "2.5000000 V");
        QCOMPARE(texts.rmsNoise, "0.596 \u00B5V");
        QCOMPARE(texts.peakToPeakNoise, "5.960 \u00B5V");
        QCOMPARE(texts.effectiveResolution, "21.35 bits");
        QCOMPARE(texts.noiseFreeResolution, "18.90 bits");
        QCOMPARE(texts.snr, "146.02 dB");
        QCOMPARE(texts.thd, "-100.03 dBc");
        QCOMPARE(texts.sinad, "100.00 dB");
        QCOMPARE(texts.sfdr, "120.00 dBc");
        QCOMPARE(texts.enob, "16.32 bits");
    }

    void scalesTheVolts_data() {
        QTest::addColumn<double>("meanCodes");
        QTest::addColumn<double>("rmsCodes");
        QTest::addColumn<int>("adcon");
        QTest::addColumn<double>("vref");
        QTest::addColumn<QString>("mean");
        QTest::addColumn<QString>("rms");
        QTest::newRow("negative half scale") << -4194304.0 << 1.0 << 0 << 2.5 << "-2.5000000 V"
                                             << "0.596 µV";
        QTest::newRow("most positive code") << 8388607.0 << 0.0 << 0 << 2.5 << "4.9999994 V"
                                            << "0.000 µV";
        // Rounds to zero: no minus sign before it.
        QTest::newRow("just below zero") << -0.01 << 1.0 << 0 << 2.5 << "0.0000000 V"
                                         << "0.596 µV";
        QTest::newRow("gain 64") << 4194304.0 << 100.0 << 6 << 2.5 << "0.0390625 V"
                                 << "0.931 µV";
        QTest::newRow("Vref 3.3, gain 2") << 4194304.0 << 1000.0 << 1 << 3.3 << "1.6500000 V"
                                          << "393.391 µV";
    }
    void scalesTheVolts() {
        QFETCH(double, meanCodes);
        QFETCH(double, rmsCodes);
        QFETCH(int, adcon);
        QFETCH(double, vref);
        QFETCH(QString, mean);
        QFETCH(QString, rms);
        NoiseFigures noise = noiseOfABlock();
        noise.mean = meanCodes;
        noise.rms = rmsCodes;
        const FigureTexts texts =
            figureTexts(noise, std::nullopt, scaleOf(static_cast<std::uint8_t>(adcon), 0xF0, vref));
        QCOMPARE(QString::fromStdString(texts.mean), mean);
        QCOMPARE(QString::fromStdString(texts.rmsNoise), rms);
    }

    // No tone, or a ratio with nothing on one side: "n/a". No block: blank.
    void marksWhatCannotBeHad() {
        const FigureTexts noTone = figureTexts(noiseOfABlock(), std::nullopt, kScale);
        QCOMPARE(noTone.mean, "2.5000000 V");
        for (const std::string* text :
             {&noTone.snr, &noTone.thd, &noTone.sinad, &noTone.sfdr, &noTone.enob}) {
            QCOMPARE(*text, "n/a");
        }

        ToneFigures pure = toneOfABlock();
        pure.thd = -std::numeric_limits<double>::infinity();
        pure.sfdr = std::numeric_limits<double>::infinity();
        const FigureTexts noHarmonic = figureTexts(noiseOfABlock(), pure, kScale);
        QCOMPARE(noHarmonic.thd, "n/a");
        QCOMPARE(noHarmonic.sfdr, "n/a");
        QCOMPARE(noHarmonic.snr, "146.02 dB");

        const FigureTexts blank = figureTexts(NoiseFigures{}, toneOfABlock(), kScale);
        for (const std::string* text :
             {&blank.samples, &blank.mean, &blank.rmsNoise, &blank.peakToPeakNoise,
              &blank.effectiveResolution, &blank.noiseFreeResolution, &blank.snr, &blank.thd,
              &blank.sinad, &blank.sfdr, &blank.enob}) {
            QCOMPARE(*text, "");
        }
    }

    void writesTheReport() {
        const FigureTexts texts = figureTexts(noiseOfABlock(), toneOfABlock(), kScale);
        QCOMPARE(figuresReport(texts, kScale),
                 "Samples: 65535\n"
                 "Mean: 2.5000000 V\n"
                 "RMS Noise: 0.596 \u00B5V\n"
                 "Peak-to-Peak Noise: 5.960 \u00B5V\n"
                 "Effective Resolution: 21.35 bits\n"
                 "Noise-Free Resolution: 18.90 bits\n"
                 "SNR: 146.02 dB\n"
                 "THD: -100.03 dBc\n"
                 "SINAD: 100.00 dB\n"
                 "SFDR: 120.00 dBc\n"
                 "ENOB (from SINAD): 16.32 bits\n"
                 "Gain: 1\n"
                 "Data rate: 30000 SPS\n"
                 "Vref: 2.5 V\n");
        const std::string blank = figuresReport(FigureTexts{}, Scale{});
        QVERIFY(blank.starts_with("Samples:\nMean:\n"));
        QVERIFY(blank.ends_with("ENOB (from SINAD):\nGain: 1\nData rate: unknown\nVref: 2.5 V\n"));
    }

    void namesTheScale_data() {
        QTest::addColumn<int>("adcon");
        QTest::addColumn<int>("drate");
        QTest::addColumn<double>("vref");
        QTest::addColumn<QString>("lines");
        QTest::newRow("slowest") << 0x06 << 0x03 << 2.5
                                 << "Gain: 64\nData rate: 2.5 SPS\nVref: 2.5 V\n";
        QTest::newRow("unknown rate")
            << 0x02 << 0x00 << 4.096 << "Gain: 4\nData rate: unknown\nVref: 4.096 V\n";
        QTest::newRow("3750 SPS") << 0x00 << 0xC0 << 1.25
                                  << "Gain: 1\nData rate: 3750 SPS\nVref: 1.25 V\n";
    }
    void namesTheScale() {
        QFETCH(int, adcon);
        QFETCH(int, drate);
        QFETCH(double, vref);
        QFETCH(QString, lines);
        const Scale scale =
            scaleOf(static_cast<std::uint8_t>(adcon), static_cast<std::uint8_t>(drate), vref);
        const std::string report = figuresReport(FigureTexts{}, scale);
        QVERIFY2(report.ends_with(lines.toStdString()), report.c_str());
    }

    // German writes a decimal comma; the texts keep the point whatever the
    // locale (the suite also runs under de_DE.UTF-8 as a whole).
    void ignoresTheLocale() {
        const std::string previous = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
            QSKIP("de_DE.UTF-8 is not available here (scripts/test.sh --locale builds it)");
        }
        const FigureTexts texts = figureTexts(noiseOfABlock(), toneOfABlock(), kScale);
        const std::string report = figuresReport(texts, Scale{1, 2.5, 2.5});
        std::setlocale(LC_ALL, previous.c_str());
        QCOMPARE(texts.mean, "2.5000000 V");
        QCOMPARE(texts.thd, "-100.03 dBc");
        QVERIFY(report.find("Data rate: 2.5 SPS\nVref: 2.5 V\n") != std::string::npos);
        QVERIFY(report.find(',') == std::string::npos);
    }
};

}  // namespace

ORV_REGISTER_TEST(FigureTextTest);
#include "test_figure_texts.moc"
