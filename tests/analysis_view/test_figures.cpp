// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QLabel>

#include "test_registry.h"
#include "window_fixture.h"

using namespace orv;
using test::WindowFixture;

namespace {

const analysis::Scale kCollected{1, 30000.0, 2.5};

const QStringList kFigureNames{"Samples",
                               "Mean",
                               "RMS Noise",
                               "Peak-to-Peak Noise",
                               "Effective Resolution",
                               "Noise-Free Resolution",
                               "SNR",
                               "THD",
                               "SINAD",
                               "SFDR",
                               "ENOB"};

class FiguresTest final : public QObject {
    Q_OBJECT
private slots:
    // Each figure is a read-only text a screen reader finds by the figure's
    // name and reads with the label beside it; ENOB's label names SINAD.
    void everyFigureIsANamedReadOnlyField() {
        WindowFixture f;
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Analysis"));
        for (const QString& name : kFigureNames) {
            const QLineEdit* field = f.named<QLineEdit>(name);
            QVERIFY2(field, qPrintable(name));
            QVERIFY(field->isReadOnly());
            QAccessibleInterface* spoken =
                QAccessible::queryAccessibleInterface(const_cast<QLineEdit*>(field));
            QVERIFY(spoken->state().readOnly);
        }
        QStringList labelled;
        for (const QLabel* label : f.window.findChildren<QLabel*>()) {
            if (label->buddy() && kFigureNames.contains(label->buddy()->accessibleName())) {
                labelled << label->buddy()->accessibleName() + "=" + label->text();
            }
        }
        QCOMPARE(labelled.size(), kFigureNames.size());
        QVERIFY(labelled.contains(QStringLiteral("ENOB=ENOB (from SINAD)")));
        QVERIFY(labelled.contains(QStringLiteral("RMS Noise=RMS Noise")));
    }

    // A block with no noise reads the whole 24 bits and no noise; it has
    // no tone, so the tone figures cannot be had. A tone has them all.
    // Clearing blanks every figure.
    void figuresOfKnownBlocks() {
        WindowFixture f;
        f.window.showBlock(test::constantBlock(1000, 12345), kCollected, "Constant");
        QCOMPARE(f.figure("Samples"), QStringLiteral("1000"));
        QCOMPARE(f.figure("RMS Noise"), QStringLiteral("0.000 µV"));
        QCOMPARE(f.figure("Peak-to-Peak Noise"), QStringLiteral("0.000 µV"));
        QCOMPARE(f.figure("Effective Resolution"), QStringLiteral("24.00 bits"));
        QCOMPARE(f.figure("Noise-Free Resolution"), QStringLiteral("24.00 bits"));
        QCOMPARE(f.figure("SNR"), QStringLiteral("n/a"));
        QCOMPARE(f.figure("ENOB"), QStringLiteral("n/a"));

        f.window.showBlock(test::toneBlock(4096, 37.3, 4e6), kCollected, "Tone");
        for (const char* name : {"SNR", "THD", "SINAD", "SFDR", "ENOB"}) {
            QVERIFY2(!f.figure(name).isEmpty() && f.figure(name) != "n/a", name);
        }

        f.window.clearBlock();
        for (const QString& name : kFigureNames) {
            QCOMPARE(f.figure(name), QString());
        }
    }

    // The block's own settings show with it, whatever the user chose for
    // the block before; values the lists lack are shown all the same.
    void settingsShowTheBlocksOwn_data() {
        QTest::addColumn<int>("gain");
        QTest::addColumn<double>("rate");  // 0: unknown
        QTest::addColumn<double>("vref");
        QTest::addColumn<QString>("gainShown");
        QTest::addColumn<QString>("rateShown");
        QTest::addColumn<QString>("vrefShown");
        QTest::newRow("listed") << 8 << 2.5 << 4.096 << "8"
                                << "2.5 SPS"
                                << "4.096";
        QTest::newRow("unknown rate") << 64 << 0.0 << 1.25 << "64"
                                      << "Unknown"
                                      << "1.25";
        QTest::newRow("unlisted") << 3 << 1234.5 << 2.5 << "3"
                                  << "1234.5 SPS"
                                  << "2.5";
    }
    void settingsShowTheBlocksOwn() {
        QFETCH(int, gain);
        QFETCH(double, rate);
        QFETCH(double, vref);
        WindowFixture f;
        f.window.showBlock(test::constantBlock(100, 0), kCollected, "First");
        f.chooseGain(16);
        f.typeVref("3.3");
        f.window.showBlock(test::constantBlock(100, 0),
                           {gain, rate ? std::optional(rate) : std::nullopt, vref}, "Second");
        QTEST(f.named<QComboBox>("Gain")->currentText(), "gainShown");
        QTEST(f.named<QComboBox>("Data rate")->currentText(), "rateShown");
        QTEST(f.named<QLineEdit>("Vref (V)")->text(), "vrefShown");
    }

    // Volts scale with Vref / gain; resolutions do not move. The block sits
    // at 2^22 codes (2.5 V at gain 1, Vref 2.5 V) and swings +-1000 codes
    // (RMS 1000 codes = 596.046 µV, peak-to-peak 1192.093 µV).
    void gainAndVrefRescaleTheVolts() {
        WindowFixture f;
        f.window.showBlock(test::alternatingBlock(2000, test::kQuarterScale, 1000), kCollected,
                           "Alternating");
        const QString effective = f.figure("Effective Resolution");
        const QString noiseFree = f.figure("Noise-Free Resolution");
        const auto expect = [&](double factor) {
            QCOMPARE(test::numberIn(f.figure("Mean")), 2.5 * factor);
            QVERIFY(f.figure("Mean").endsWith(" V"));
            QVERIFY(qAbs(test::numberIn(f.figure("RMS Noise")) -
                         1000 * test::kMicrovoltsPerCode * factor) < 0.001);
            QVERIFY(qAbs(test::numberIn(f.figure("Peak-to-Peak Noise")) -
                         2000 * test::kMicrovoltsPerCode * factor) < 0.001);
            QCOMPARE(f.figure("Effective Resolution"), effective);
            QCOMPARE(f.figure("Noise-Free Resolution"), noiseFree);
        };
        expect(1.0);
        f.chooseGain(2);
        expect(0.5);
        f.typeVref("5");
        expect(1.0);
        f.typeVref(" 1.25 ");
        expect(0.25);
    }

    // Anything but a positive number with a point is refused where it was
    // typed: the field and the figures keep the last good Vref, and a note
    // says so until a good one comes.
    void badVrefIsRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("decimal comma") << "2,5";
        QTest::newRow("word") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("zero") << "0";
        QTest::newRow("negative") << "-2.5";
        QTest::newRow("infinite") << "inf";
        QTest::newRow("not a number") << "nan";
        QTest::newRow("unit") << "2.5V";
    }
    void badVrefIsRefused() {
        QFETCH(QString, typed);
        WindowFixture f;
        f.window.showBlock(test::alternatingBlock(2000, 0, 1000), kCollected, "Alternating");
        f.typeVref("4.096");
        const QString rms = f.figure("RMS Noise");
        const QLabel* note = f.window.findChild<QLabel*>("vrefNote");
        QVERIFY(note->isHidden());

        f.typeVref(typed);
        QCOMPARE(f.named<QLineEdit>("Vref (V)")->text(), QStringLiteral("4.096"));
        QCOMPARE(f.figure("RMS Noise"), rms);
        QVERIFY(!note->isHidden());
        QVERIFY(note->text().contains("4.096"));

        f.typeVref("2.5");
        QVERIFY(note->isHidden());
        QVERIFY(f.figure("RMS Noise") != rms);
    }
};

}  // namespace

ORV_REGISTER_TEST(FiguresTest);

#include "test_figures.moc"
