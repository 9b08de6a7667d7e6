// SPDX-License-Identifier: GPL-3.0-or-later
#include "bytes.h"
#include "profile/ini_document.h"
#include "test_registry.h"

using namespace orv;
using orv::test::bytes;
using orv::test::toBytes;
using orv::test::toStd;

namespace {

class IniDocumentTest final : public QObject {
    Q_OBJECT
private slots:
    // `expected` is null when the key is not found.
    void readsByTheProfileRules_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray missing;
        QTest::newRow("names without regard to case")
            << bytes("[reg]\r\nmux=1\r\n") << bytes("REG") << bytes("Mux") << bytes("1");
        QTest::newRow("blanks trimmed") << bytes(" \t[ REG ] \n \t MUX \t=  0x18 \t\n")
                                        << bytes("REG") << bytes("MUX") << bytes("0x18");
        QTest::newRow("text after the bracket ignored")
            << bytes("[REG]junk]\nMUX=1\n") << bytes("REG") << bytes("MUX") << bytes("1");
        QTest::newRow("comments") << bytes("[REG]\n;MUX=1\n \t;MUX=2\nMUX=3\n") << bytes("REG")
                                  << bytes("MUX") << bytes("3");
        QTest::newRow("semicolon inside a value kept")
            << bytes("[REG]\nMUX=1 ; note\n") << bytes("REG") << bytes("MUX") << bytes("1 ; note");
        QTest::newRow("line without equals is no key")
            << bytes("[REG]\nMUX\nMUX=4\n") << bytes("REG") << bytes("MUX") << bytes("4");
        QTest::newRow("first equals splits")
            << bytes("[REG]\nMUX = a = b\n") << bytes("REG") << bytes("MUX") << bytes("a = b");
        QTest::newRow("empty value")
            << bytes("[REG]\nMUX=\n") << bytes("REG") << bytes("MUX") << bytes("");
        QTest::newRow("quotation marks dropped")
            << bytes("[REG]\nMUX= \"0x18\" \n") << bytes("REG") << bytes("MUX") << bytes("0x18");
        QTest::newRow("single quotation marks dropped")
            << bytes("[REG]\nMUX='a b'\n") << bytes("REG") << bytes("MUX") << bytes("a b");
        QTest::newRow("unpaired quotation mark kept")
            << bytes("[REG]\nMUX=\"0x18'\n") << bytes("REG") << bytes("MUX") << bytes("\"0x18'");
        QTest::newRow("first key wins")
            << bytes("[REG]\nMUX=1\nmux=2\n") << bytes("REG") << bytes("MUX") << bytes("1");
        QTest::newRow("first section wins") << bytes("[REG]\nIO=1\n[reg]\nMUX=2\nIO=3\n")
                                            << bytes("REG") << bytes("IO") << bytes("1");
        QTest::newRow("later duplicate section unread")
            << bytes("[REG]\nIO=1\n[reg]\nMUX=2\n") << bytes("REG") << bytes("MUX") << missing;
        QTest::newRow("key before any section")
            << bytes("MUX=1\n[REG]\n") << bytes("REG") << bytes("MUX") << missing;
        QTest::newRow("key of another section")
            << bytes("[EVM]\nMUX=1\n[REG]\nIO=2\n") << bytes("REG") << bytes("MUX") << missing;
        QTest::newRow("missing section")
            << bytes("[EVM]\nMUX=1\n") << bytes("REG") << bytes("MUX") << missing;
        QTest::newRow("unclosed bracket is no section")
            << bytes("[REG\nMUX=1\n") << bytes("REG") << bytes("MUX") << missing;
        QTest::newRow("lone CR") << bytes("[REG]\rIO=1\rMUX=2\r") << bytes("REG") << bytes("MUX")
                                 << bytes("2");
        QTest::newRow("LF") << bytes("[REG]\nIO=1\nMUX=2\n") << bytes("REG") << bytes("MUX")
                            << bytes("2");
        QTest::newRow("mixed, no final break")
            << bytes("[EVM]\r\n[REG]\r\rIO=1\nMUX=2") << bytes("REG") << bytes("MUX") << bytes("2");
        QTest::newRow("NUL and high bytes")
            << bytes("[R\0\xE9]\nK\xFF=\0v\x80\n") << bytes("R\0\xE9") << bytes("K\xFF")
            << bytes("\0v\x80");
        QTest::newRow("no ASCII folding of high bytes")
            << bytes("[REG]\n\xE9=1\n") << bytes("REG") << bytes("\xC9") << missing;
    }
    void readsByTheProfileRules() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, expected);
        const IniDocument document(toStd(text));
        const std::optional<std::string> value = document.value(toStd(section), toStd(key));
        QCOMPARE(value.has_value(), !expected.isNull());
        if (value) {
            QCOMPARE(toBytes(*value), expected);
        }
        QCOMPARE(toBytes(document.text()), text);
    }

    void writesByTheProfileRules_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("replaced in its line, spelling kept")
            << bytes("; head\r\n[ reg ]\r\n\t mux  = 0x01 ; old\r\n\r\n[EVM]\r\nMUX=3\r\n")
            << bytes("MUX") << bytes("; head\r\n[ reg ]\r\nmux=0x18\r\n\r\n[EVM]\r\nMUX=3\r\n");
        QTest::newRow("first of duplicates replaced")
            << bytes("[REG]\nMUX=1\n[REG]\nMUX=2\n") << bytes("MUX")
            << bytes("[REG]\nMUX=0x18\n[REG]\nMUX=2\n");
        QTest::newRow("added after the last key line")
            << bytes("[REG]\nIO=1\nnot a key\n; c\n\n[EVM]\n") << bytes("MUX")
            << bytes("[REG]\nIO=1\nMUX=0x18\nnot a key\n; c\n\n[EVM]\n");
        QTest::newRow("added under a section without keys")
            << bytes("[REG]\n; c\n[EVM]\n") << bytes("MUX")
            << bytes("[REG]\nMUX=0x18\n; c\n[EVM]\n");
        QTest::newRow("added after an unterminated last line")
            << bytes("[REG]\r\nIO=1") << bytes("MUX") << bytes("[REG]\r\nIO=1\r\nMUX=0x18\r\n");
        QTest::newRow("section appended")
            << bytes("[EVM]\r\nT=x\r\n\r\n; end\r\n") << bytes("MUX")
            << bytes("[EVM]\r\nT=x\r\n\r\n; end\r\n[REG]\r\nMUX=0x18\r\n");
        QTest::newRow("line break before an appended section")
            << bytes("[EVM]\nT=x") << bytes("MUX") << bytes("[EVM]\nT=x\n[REG]\nMUX=0x18\n");
        QTest::newRow("key before any section is not the key")
            << bytes("MUX=1\r\n") << bytes("MUX") << bytes("MUX=1\r\n[REG]\r\nMUX=0x18\r\n");
        QTest::newRow("lone CR file")
            << bytes("[REG]\rIO=1\r") << bytes("MUX") << bytes("[REG]\rIO=1\rMUX=0x18\r");
        QTest::newRow("first line ending decides")
            << bytes("; a\n[REG]\r\nIO=1\r\n") << bytes("MUX")
            << bytes("; a\n[REG]\r\nIO=1\r\nMUX=0x18\n");
        QTest::newRow("new file") << QByteArray() << bytes("MUX") << bytes("[REG]\r\nMUX=0x18\r\n");
        QTest::newRow("file without a line break")
            << bytes("; only") << bytes("MUX") << bytes("; only\r\n[REG]\r\nMUX=0x18\r\n");
        QTest::newRow("other bytes kept") << bytes("\xFF\0\n[REG]\nIO=\x80\0\n\0\n") << bytes("mux")
                                          << bytes("\xFF\0\n[REG]\nIO=\x80\0\nmux=0x18\n\0\n");
    }
    void writesByTheProfileRules() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, after);
        IniDocument document(toStd(before));
        document.setValue("REG", toStd(key), "0x18");
        QCOMPARE(toBytes(document.text()), after);
        QCOMPARE(IniDocument(document.text()).value("REG", toStd(key)), std::string("0x18"));
    }
};

}  // namespace

ORV_REGISTER_TEST(IniDocumentTest);
#include "test_ini_document.moc"
