// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QTest>
#include <string>
#include <vector>

#include "converter/registers.h"
#include "converter/value_tables.h"
#include "device/table_combo.h"
#include "test_registry.h"

using namespace orv;

namespace {

struct Row {
    int code;
    std::string name;
    bool operator==(const Row&) const = default;
};

std::vector<Row> rowsOf(const ValueEntry* table) {
    std::vector<Row> rows;
    for (int i = 0; table[i].valid != -1; ++i) {
        rows.push_back({table[i].code, table[i].name});
    }
    return rows;
}

const ValueEntry* tableNamed(const QByteArray& name) {
    if (name == "clock")
        return ClockOutTable;
    if (name == "gain")
        return PgaGainTable;
    if (name == "sensor")
        return SensorCurrentTable;
    return DataRateTable;
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<Row>)

class TablesTest : public QObject {
    Q_OBJECT
private slots:
    // Every entry byte for byte: the data-rate names keep their blanks.
    void tablesHoldTheirEntriesInListOrder_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<std::vector<Row>>("rows");
        QTest::newRow("clock output")
            << QByteArray("clock")
            << std::vector<Row>{{0, "Off"}, {1, "f_CLKIN"}, {2, "f_CLKIN/2"}, {3, "f_CLKIN/4"}};
        QTest::newRow("gain") << QByteArray("gain")
                              << std::vector<Row>{{0, "1"},  {1, "2"},  {2, "4"}, {3, "8"},
                                                  {4, "16"}, {5, "32"}, {6, "64"}};
        QTest::newRow("sensor current")
            << QByteArray("sensor")
            << std::vector<Row>{{0, "Off"}, {1, "0.5 uA"}, {2, "2 uA"}, {3, "10 uA"}};
        QTest::newRow("data rate")
            << QByteArray("rate")
            << std::vector<Row>{
                   {0x03, "     2.5 SPS"}, {0x13, "        5 SPS"}, {0x23, "      10 SPS"},
                   {0x33, "      15 SPS"}, {0x43, "      25 SPS"},  {0x53, "      30 SPS"},
                   {0x63, "      50 SPS"}, {0x72, "      60 SPS"},  {0x82, "    100 SPS"},
                   {0x92, "    500 SPS"},  {0xA1, "  1000 SPS"},    {0xB0, "  2000 SPS"},
                   {0xC0, "  3750 SPS"},   {0xD0, "  7500 SPS"},    {0xE0, "15000 SPS"},
                   {0xF0, "30000 SPS"}};
    }
    void tablesHoldTheirEntriesInListOrder() {
        QFETCH(QByteArray, table);
        QFETCH(std::vector<Row>, rows);
        QCOMPARE(rowsOf(tableNamed(table)), rows);
        const ValueEntry& end = tableNamed(table)[rows.size()];
        QCOMPARE(end.valid, -1);
        QCOMPARE(end.code, 0);
        QCOMPARE(std::string(end.name), std::string());
    }

    void fillingListsEveryNameWithItsCodeAndSelectsTheFirst() {
        QComboBox list;
        fillFromTable(&list, DataRateTable);
        QCOMPARE(list.count(), 16);
        QCOMPARE(list.currentIndex(), 0);
        QCOMPARE(list.itemText(1), QString("        5 SPS"));
        QCOMPARE(list.itemData(7).toInt(), 0x72);
        QCOMPARE(selectedCode(&list), 0x03);
    }

    void directSelectionWithoutItemLeavesNoSelection() {
        QComboBox list;
        fillFromTable(&list, PgaGainTable);
        selectDirect(&list, 5);
        QCOMPARE(list.currentText(), QString("32"));
        selectDirect(&list, gainCode(0x07));
        QCOMPARE(list.currentIndex(), -1);
        QCOMPARE(selectedCode(&list), -1);
    }

    void searchSelectsByCodeOrKeepsTheSelection() {
        QComboBox list;
        fillFromTable(&list, DataRateTable);
        selectBySearch(&list, 0x72);
        QCOMPARE(list.currentText(), QString("      60 SPS"));
        selectBySearch(&list, 0x00);
        QCOMPARE(list.currentText(), QString("      60 SPS"));
    }

    // ADCON 0x2D: gain code 5, sensor current 1, clock output 1.
    void adconFieldsDecodeAndEncode() {
        QCOMPARE(gainCode(0x2D), 5);
        QCOMPARE(sensorCurrentCode(0x2D), 1);
        QCOMPARE(clockOutCode(0x2D), 1);
        QCOMPARE(withGain(0xFF, 2), std::uint8_t{0xFA});
        QCOMPARE(withSensorCurrent(0xFF, 1), std::uint8_t{0xEF});
        QCOMPARE(withClockOut(0x80, 3), std::uint8_t{0xE0});
    }

    void muxDecodesHighNibblesAsAincom_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("positive");
        QTest::addColumn<int>("negative");
        QTest::addColumn<int>("encoded");
        QTest::newRow("AIN0/AIN1") << 0x01 << 0 << 1 << 0x01;
        QTest::newRow("AIN7/AINCOM") << 0x78 << 7 << 8 << 0x78;
        QTest::newRow("0x9F is AINCOM/AINCOM") << 0x9F << 8 << 8 << 0x88;
        QTest::newRow("0xF0") << 0xF0 << 8 << 0 << 0x80;
    }
    void muxDecodesHighNibblesAsAincom() {
        QFETCH(int, value);
        QFETCH(int, positive);
        QFETCH(int, negative);
        QFETCH(int, encoded);
        const MuxChannels channels = decodeMux(static_cast<std::uint8_t>(value));
        QCOMPARE(channels, (MuxChannels{positive, negative}));
        QCOMPARE(encodeMux(channels.positive, channels.negative), std::uint8_t(encoded));
    }

    void valuesShowAsUpperCaseHex() {
        QCOMPARE(registerText(0x0a), std::string("0A"));
        QCOMPARE(calibrationText(0x01, 0x02, 0x03), std::string("010203"));
        QCOMPARE(calibrationText(0xAB, 0x0C, 0xFF), std::string("AB0CFF"));
    }
};

ORV_REGISTER_TEST(TablesTest);

#include "test_tables.moc"
