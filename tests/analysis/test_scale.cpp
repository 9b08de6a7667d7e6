// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/scale.h"
#include "test_registry.h"

using namespace orv::analysis;

namespace {

class ScaleTest final : public QObject {
    Q_OBJECT
private slots:
    void readsTheGain_data() {
        QTest::addColumn<int>("adcon");
        QTest::addColumn<int>("gain");
        for (int code = 0; code <= 6; ++code) {
            QTest::addRow("code %d", code) << code << (1 << code);
        }
        QTest::newRow("code 7 as 6") << 7 << 64;
        // Bits 7-3 belong to other fields (clock output, sensor detect).
        QTest::newRow("other fields set") << 0xFD << 32;
        QTest::newRow("other fields, gain 1") << 0x78 << 1;
    }
    void readsTheGain() {
        QFETCH(int, adcon);
        QFETCH(int, gain);
        QCOMPARE(gainOf(static_cast<std::uint8_t>(adcon)), gain);
    }

    void readsTheDataRate_data() {
        QTest::addColumn<int>("drate");
        QTest::addColumn<double>("rate");  // 0: no rate
        QTest::newRow("slowest") << 0x03 << 2.5;
        QTest::newRow("60 SPS") << 0x72 << 60.0;
        QTest::newRow("1000 SPS") << 0xA1 << 1000.0;
        QTest::newRow("3750 SPS") << 0xC0 << 3750.0;
        QTest::newRow("fastest") << 0xF0 << 30000.0;
        QTest::newRow("unknown 00") << 0x00 << 0.0;
        QTest::newRow("unknown 73 (next to 60 SPS)") << 0x73 << 0.0;
        QTest::newRow("unknown FF") << 0xFF << 0.0;
    }
    void readsTheDataRate() {
        QFETCH(int, drate);
        QFETCH(double, rate);
        const auto found = dataRateOf(static_cast<std::uint8_t>(drate));
        QCOMPARE(found.has_value(), rate != 0.0);
        if (found) {
            QCOMPARE(*found, rate);
        }
    }

    // Half of the positive full scale, 2^22 codes, is Vref / gain.
    void turnsCodesIntoVolts_data() {
        QTest::addColumn<int>("adcon");
        QTest::addColumn<double>("vref");
        QTest::addColumn<double>("halfScaleVolts");
        QTest::addColumn<double>("fullScaleRange");
        QTest::newRow("gain 1") << 0x00 << 2.5 << 2.5 << 10.0;
        QTest::newRow("gain 64") << 0x06 << 2.5 << 0.0390625 << 0.15625;
        QTest::newRow("gain 8, Vref 3.3") << 0x03 << 3.3 << 0.4125 << 1.65;
    }
    void turnsCodesIntoVolts() {
        QFETCH(int, adcon);
        QFETCH(double, vref);
        QFETCH(double, halfScaleVolts);
        QFETCH(double, fullScaleRange);
        const Scale scale = scaleOf(static_cast<std::uint8_t>(adcon), 0xF0, vref);
        QCOMPARE(4194304 * scale.voltsPerCode(), halfScaleVolts);
        QCOMPARE(scale.fullScaleRange(), fullScaleRange);
        QCOMPARE(scale.rateHz, std::optional<double>(30000.0));
        // The most negative code is minus half the full-scale range.
        QCOMPARE(-8388608 * scale.voltsPerCode(), -fullScaleRange / 2);
    }

    void defaultsToAVrefOf2_5() {
        QCOMPARE(scaleOf(0x00, 0x00).vref, 2.5);
        QCOMPARE(scaleOf(0x00, 0x00).rateHz, std::optional<double>());
    }
};

}  // namespace

ORV_REGISTER_TEST(ScaleTest);
#include "test_scale.moc"
