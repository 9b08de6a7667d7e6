// SPDX-License-Identifier: GPL-3.0-or-later
// The trend file: its stamps, rows, header and reader.

#include <QString>

#include "characterise/trend.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::characterise;
using namespace std::chrono;

Q_DECLARE_METATYPE(orv::LocalTime)

namespace {

constexpr std::string_view kHeader =
    "# Orvellin trend 1\n"
    "# created: 2026-12-11T12:00:00Z\n"
    "# tool: orvellin 1.1.0.3\n"
    "# port: ttyEVM\n"
    "# registers: 30 01 23 A1 E1 00 00 00 3E 5A 45\n"
    "# gain: 8\n"
    "# vref_v: 2.5\n"
    "# rate_sps: 1000\n"
    "# count: 4\n"
    "start_utc,mean_v,rms_noise_uv,min_v,max_v\n";

class TrendTest final : public QObject {
    Q_OBJECT
private slots:
    void writesStamps_data() {
        QTest::addColumn<LocalTime>("utc");
        QTest::addColumn<int>("millis");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole second")
            << LocalTime{2026, 12, 11, 12, 0, 0} << 0 << "2026-12-11T12:00:00.000Z";
        QTest::newRow("milliseconds")
            << LocalTime{2026, 12, 11, 12, 0, 0} << 250 << "2026-12-11T12:00:00.250Z";
        QTest::newRow("over midnight at the year's end")
            << LocalTime{2026, 12, 31, 23, 59, 59} << 1001 << "2027-01-01T00:00:00.001Z";
        QTest::newRow("leap day") << LocalTime{2028, 2, 28, 23, 59, 59} << 1000
                                  << "2028-02-29T00:00:00.000Z";
    }
    void writesStamps() {
        QFETCH(LocalTime, utc);
        QFETCH(int, millis);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(utcMillisText(utcMillisOf(utc) + milliseconds(millis))),
                 text);
    }

    // A run's stamps follow the steady clock from the UTC time it began.
    void stampsARunByTheSteadyClock() {
        ManualClock clock;
        clock.setUtcTime({2026, 12, 11, 23, 59, 58});
        const RunClock run(clock);
        clock.advance(milliseconds(2500));
        clock.setUtcTime({2020, 1, 1, 0, 0, 0});  // the wall clock set back: no matter
        QCOMPARE(QString::fromStdString(utcMillisText(run.now())),
                 QString("2026-12-12T00:00:00.500Z"));
    }

    // Mean, minimum and maximum in volts, the population standard deviation
    // in µV, at the block's gain: codes 1, 2, 3, 6 at gain 8 (0.0745 µV a
    // code): mean 3, deviation sqrt(3.5).
    void measuresABlock() {
        const analysis::Scale scale{.gain = 8, .rateHz = 1000.0, .vref = 2.5};
        const std::vector<std::int32_t> codes{1, 2, 3, 6};
        const TrendRow row = trendRowOf(UtcMillis{}, codes, scale);
        const double code = 5.0 / (8 * 8388608.0);
        QCOMPARE(row.meanV, 3 * code);
        QCOMPARE(row.minV, 1 * code);
        QCOMPARE(row.maxV, 6 * code);
        QVERIFY(std::abs(row.rmsNoiseUv - std::sqrt(3.5) * code * 1e6) < 1e-12);
    }

    void readsWhatItWrites() {
        CaptureInfo info;
        info.created = LocalTime{2026, 12, 11, 12, 0, 0};
        info.tool = "orvellin 1.1.0.3";
        info.port = "ttyEVM";
        info.registers = std::array<std::uint8_t, 11>{0x30, 0x01, 0x23, 0xA1, 0xE1, 0x00,
                                                      0x00, 0x00, 0x3E, 0x5A, 0x45};
        info.scale = {.gain = 8, .rateHz = 1000.0, .vref = 2.5};
        const UtcMillis start = utcMillisOf(*info.created);
        const std::vector<TrendRow> rows{
            {start, 1.9371509552001953e-05, 0.131, -4.5e-05, 8.1e-05},
            {start + milliseconds(4), -1e-07, 0.1234567890123, -1.0, 1.0},
        };
        std::string text = trendHeader(info, 4);
        QCOMPARE(text, std::string(kHeader));
        for (const TrendRow& row : rows) {
            text += trendRowText(row);
        }
        QVERIFY(text.ends_with("2026-12-11T12:00:00.004Z,-1e-07,0.1234567890123,-1,1\n"));
        const TrendReading reading = readTrend(text);
        QVERIFY2(reading.trend, reading.error.c_str());
        QCOMPARE(reading.trend->count, std::size_t(4));
        QCOMPARE(reading.trend->info.scale.gain, 8);
        QCOMPARE(reading.trend->info.port, std::string("ttyEVM"));
        QCOMPARE(reading.trend->rows.size(), rows.size());
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const TrendRow& read = reading.trend->rows[k];
            QCOMPARE(read.start, rows[k].start);
            QCOMPARE(read.meanV, rows[k].meanV);
            QCOMPARE(read.rmsNoiseUv, rows[k].rmsNoiseUv);
            QCOMPARE(read.minV, rows[k].minV);
            QCOMPARE(read.maxV, rows[k].maxV);
        }
    }

    // A row the writer left half done, with no LF after it, is what a crash
    // leaves: it is dropped. Anything else wrong is refused by its line.
    void readsOrRefuses_data() {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("error");
        const QString first = "2026-12-11T12:00:00.000Z,1e-06,0.5,0,2e-06\n";
        QTest::newRow("no rows") << "" << 0 << "";
        QTest::newRow("rows and an empty line") << first + first + "\n" << 2 << "";
        QTest::newRow("stamp without milliseconds") << "2026-12-11T12:00:01Z,1e-06,0.5,0,2e-06\n"
                                                    << 1 << "";
        QTest::newRow("last row cut short") << first + "2026-12-11T12:00:00.004Z,1e-0" << 1 << "";
        QTest::newRow("last row whole without its LF")
            << first + "2026-12-11T12:00:00.004Z,1,2,3,4" << 2 << "";
        QTest::newRow("a cut row inside")
            << first + "2026-12-11T12:00:00.004Z,1e-0\n" + first << 0
            << "line 12: \"2026-12-11T12:00:00.004Z,1e-0\" is not a row "
               "start_utc,mean_v,rms_noise_uv,min_v,max_v";
        QTest::newRow("a bad stamp") << "2026-12-11 12:00:00,1,2,3,4\n"
                                     << 0
                                     << "line 11: start_utc \"2026-12-11 12:00:00\" is not a UTC "
                                        "time such as 2026-12-11T12:00:00.250Z";
        QTest::newRow("not a number") << "2026-12-11T12:00:00.000Z,1,nan,3,4\n"
                                      << 0 << "line 11: rms_noise_uv \"nan\" is not a number";
        QTest::newRow("back in time")
            << first + "2026-12-11T11:59:59.999Z,1,2,3,4\n"
            << 0 << "line 12: start_utc 2026-12-11T11:59:59.999Z is before the row above it";
    }
    void readsOrRefuses() {
        QFETCH(QString, rows);
        QFETCH(int, count);
        QFETCH(QString, error);
        const TrendReading reading = readTrend(std::string(kHeader) + rows.toStdString());
        QCOMPARE(QString::fromStdString(reading.error), error);
        if (error.isEmpty()) {
            QVERIFY(reading.trend);
            QCOMPARE(reading.trend->rows.size(), std::size_t(count));
        }
    }

    void refusesOtherFiles_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("a capture")
            << "# Orvellin capture 1\n"
            << "line 1: not a trend: the first line must be \"# Orvellin trend 1\"";
        QTest::newRow("no count")
            << "# Orvellin trend 1\nstart_utc,mean_v,rms_noise_uv,min_v,max_v\n"
            << "line 2: no \"count\" line before the column header";
        QTest::newRow("a capture's columns")
            << "# Orvellin trend 1\n# count: 4\nindex,code,volts\n"
            << "line 3: \"index,code,volts\" is neither a \"#\" line nor the column header "
               "\"start_utc,mean_v,rms_noise_uv,min_v,max_v\"";
    }
    void refusesOtherFiles() {
        QFETCH(QString, text);
        QFETCH(QString, error);
        const TrendReading reading = readTrend(text.toStdString());
        QVERIFY(!reading.trend);
        QCOMPARE(QString::fromStdString(reading.error), error);
    }
};

}  // namespace

ORV_REGISTER_TEST(TrendTest);
#include "test_trend.moc"
