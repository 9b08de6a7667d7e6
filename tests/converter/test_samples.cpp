// SPDX-License-Identifier: GPL-3.0-or-later
#include "converter/samples.h"
#include "test_registry.h"

using namespace orv;

Q_DECLARE_METATYPE(std::optional<DataCount>)

namespace {

class SampleTest final : public QObject {
    Q_OBJECT
private slots:
    void decodesSignedItems_data() {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<int>("value");
        QTest::newRow("most negative") << QByteArray("\x80\x00\x00\x80", 4) << -8388608;
        QTest::newRow("most positive") << QByteArray("\x7F\xFF\xFF\x7D", 4) << 8388607;
        QTest::newRow("minus one") << QByteArray("\xFF\xFF\xFF\xFD", 4) << -1;
        QTest::newRow("zero") << QByteArray("\x00\x00\x00\x00", 4) << 0;
        QTest::newRow("bytes in order") << QByteArray("\x01\x02\x03\x06", 4) << 0x010203;
    }
    void decodesSignedItems() {
        QFETCH(QByteArray, item);
        QFETCH(int, value);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(item.constData());
        SampleList list{42, 43};
        BuildSampleList(std::span(bytes, 4), 1, list);
        QCOMPARE(list, SampleList{value});
    }

    // The check byte is no part of the value, and only `count` items count.
    void buildsOneValuePerItem() {
        const std::uint8_t block[] = {0x00, 0x00, 0x05, 0xEE, 0xFF, 0xFF,
                                      0xFE, 0x00, 0x12, 0x34, 0x56, 0x9C};
        SampleList list;
        BuildSampleList(block, 2, list);
        QCOMPARE(list, (SampleList{5, -2}));
    }

    void readsTheDataCount_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<DataCount>>("expected");
        const auto count = [](int n, bool defaulted = false) {
            return std::optional<DataCount>(DataCount{n, defaulted});
        };
        QTest::newRow("empty") << "" << count(45, true);
        QTest::newRow("zero") << "0" << count(45, true);
        QTest::newRow("zeros") << "00000" << count(45, true);
        QTest::newRow("letter first") << "a1" << count(45, true);
        QTest::newRow("digits then a letter") << "1a" << count(1);
        QTest::newRow("leading zero") << "0100" << count(100);
        QTest::newRow("largest") << "65535" << count(65535);
        QTest::newRow("one too many") << "65536" << std::optional<DataCount>();
        QTest::newRow("far too many, then more") << "99999 1" << std::optional<DataCount>();
        // Pasted texts: the leading digits count, up to the first other character.
        QTest::newRow("trailing space") << "100 " << count(100);
        QTest::newRow("point") << "4.5" << count(4);
        QTest::newRow("minus sign") << "-5" << count(45, true);
        QTest::newRow("space first") << " 45" << count(45, true);
        QTest::newRow("plus sign") << "+45" << count(45, true);
    }
    void readsTheDataCount() {
        QFETCH(QString, text);
        QFETCH(std::optional<DataCount>, expected);
        const auto parsed = parseDataCount(text.toStdString());
        QCOMPARE(parsed.has_value(), expected.has_value());
        if (parsed) {
            QCOMPARE(parsed->count, expected->count);
            QCOMPARE(parsed->defaulted, expected->defaulted);
        }
    }
};

}  // namespace

ORV_REGISTER_TEST(SampleTest);
#include "test_samples.moc"
