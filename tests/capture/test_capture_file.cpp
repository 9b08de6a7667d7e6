// SPDX-License-Identifier: GPL-3.0-or-later
#include <QByteArray>
#include <QTest>

#include "capture/capture.h"
#include "capture_samples.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;

namespace {

QByteArray exampleWith(const QByteArray& from, const QByteArray& to) {
    QByteArray text(kExampleText);
    Q_ASSERT(text.contains(from));
    return text.replace(from, to);
}

CaptureReading read(const QByteArray& text) {
    return readCapture(std::string_view(text.constData(), std::size_t(text.size())));
}

class CaptureFileTest final : public QObject {
    Q_OBJECT
private slots:
    // The format's own example, byte for byte: the shortest volts texts
    // (Python's repr of numpy's code * 2 * vref / (gain * 2**23)), the
    // register bytes, the time; and a capture that knows nothing of where
    // it came from, whose keys stay with empty values.
    void writesTheFormat_data() {
        QTest::addColumn<Capture>("capture");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("example") << exampleCapture() << QByteArray(kExampleText);
        QTest::newRow("nothing known") << Capture{{}, {0, -8388608}}
                                       << QByteArray(
                                              "# Orvellin capture 1\n"
                                              "# created: \n"
                                              "# tool: \n"
                                              "# port: \n"
                                              "# registers: \n"
                                              "# gain: 1\n"
                                              "# vref_v: 2.5\n"
                                              "# rate_sps: \n"
                                              "# count: 2\n"
                                              "index,code,volts\n"
                                              "0,0,0\n"
                                              "1,-8388608,-5\n");
        Capture odd{{}, {1, 168}};
        odd.info.scale = {64, 2.5, 2.048};
        odd.info.created = LocalTime{5, 1, 2, 3, 4, 5};
        odd.info.port = "COM10\r\n";
        QTest::newRow("gain 64, rate 2.5, early year, a line break in the port")
            << odd
            << QByteArray(
                   "# Orvellin capture 1\n"
                   "# created: 0005-01-02T03:04:05Z\n"
                   "# tool: \n"
                   "# port: COM10\n"
                   "# registers: \n"
                   "# gain: 64\n"
                   "# vref_v: 2.048\n"
                   "# rate_sps: 2.5\n"
                   "# count: 2\n"
                   "index,code,volts\n"
                   "0,1,7.62939453125e-09\n"
                   "1,168,1.28173828125e-06\n");
    }
    void writesTheFormat() {
        QFETCH(Capture, capture);
        QFETCH(QByteArray, text);
        QCOMPARE(QByteArray::fromStdString(captureText(capture)), text);
    }

    // Written and read back, with LF and with CR LF line ends.
    void readsBackWhatItWrites_data() {
        QTest::addColumn<Capture>("capture");
        QTest::newRow("example") << exampleCapture();
        QTest::newRow("unknown rate, no registers, no time") << Capture{{}, {12345, -12345, 0}};
        Capture extremes{{}, {-8388608, 8388607, 0, -1, 1}};
        extremes.info.scale = {64, 2.5, 3.3};
        extremes.info.port = "\\\\.\\COM12";
        QTest::newRow("extreme codes, gain 64, Vref 3.3") << extremes;
        Capture odd{{}, spreadCodes(500, 7)};
        odd.info.scale = {8, 7500.0, 1.234567};
        odd.info.created = LocalTime{2028, 2, 29, 23, 59, 59};
        odd.info.tool =
            "orvellin 1.1.0.3 (Pr\xC3\xBC"
            "fstand 2)";
        odd.info.registers = {0xFF, 0x00, 0x7F, 0x80, 0x01, 0x10, 0xAB, 0xCD, 0xEF, 0x12, 0x34};
        QTest::newRow("odd Vref, leap day, UTF-8 tool") << odd;
        Capture largest{{}, spreadCodes(65535, 11)};
        largest.info.scale = {2, 2.5, 2.048};
        QTest::newRow("65535 results") << largest;
    }
    void readsBackWhatItWrites() {
        QFETCH(Capture, capture);
        const std::string text = captureText(capture);
        const CaptureReading reading = readCapture(text);
        QVERIFY2(reading.capture, reading.error.c_str());
        QVERIFY(reading.error.empty());
        compareCaptures(*reading.capture, capture);
        if (QTest::currentTestFailed()) {
            return;
        }
        QByteArray windows = QByteArray::fromStdString(text);
        windows.replace("\n", "\r\n");
        const CaptureReading fromWindows = read(windows);
        QVERIFY2(fromWindows.capture, fromWindows.error.c_str());
        compareCaptures(*fromWindows.capture, capture);
    }

    // Files this version did not write, or someone edited, that it still
    // reads.
    void readsWhatItCan_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Capture>("capture");
        const Capture example = exampleCapture();
        QTest::newRow("keys it does not know")
            << exampleWith("# gain: 1\n",
                           "# operator: J. Doe\n# note without a colon\n#\n# gain: 1\n")
            << example;
        QTest::newRow("keys in another order")
            << QByteArray(
                   "# Orvellin capture 1\n"
                   "# count: 3\n# rate_sps: 30000\n# vref_v: 2.5\n# gain: 1\n"
                   "# registers: 30 01 20 f0 e1 00 00 00 3e 5a 45\n"
                   "# port: /dev/ttyUSB0\n# tool: orvellin 1.1.0.3\n"
                   "# created: 2026-12-11T12:00:00Z\n"
                   "index,code,volts\n"
                   "0,2079397,1.2394171953201294\n"
                   "1,-5,-2.9802322387695312e-06\n"
                   "2,8388607,4.999999403953552\n")
            << example;
        QTest::newRow("loose spacing")
            << exampleWith("# gain: 1\n# vref_v: 2.5\n", "#gain:1\n\n#   vref_v :  2.5  \n")
            << example;
        QTest::newRow("byte order mark") << "\xEF\xBB\xBF" + QByteArray(kExampleText) << example;
        QTest::newRow("no final line feed") << QByteArray(kExampleText).chopped(1) << example;
        QTest::newRow("empty lines after the rows") << QByteArray(kExampleText) + "\n\r\n\n"
                                                    << example;
        QTest::newRow("volts in another notation")
            << exampleWith("1,-5,-2.9802322387695312e-06", "1,-5,-0.0000029802") << example;
        QTest::newRow("count alone: the defaults")
            << QByteArray("# Orvellin capture 1\n# count: 1\nindex,code,volts\n0,1,5.96e-07\n")
            << Capture{{}, {1}};
    }
    void readsWhatItCan() {
        QFETCH(QByteArray, text);
        QFETCH(Capture, capture);
        const CaptureReading reading = read(text);
        QVERIFY2(reading.capture, reading.error.c_str());
        compareCaptures(*reading.capture, capture);
    }

    // Every refusal names the line at fault and says what is wrong with it;
    // nothing of the file is returned.
    void refusesBrokenFiles_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("says");

        QTest::newRow("empty") << QByteArray() << 1 << "not a capture";
        QTest::newRow("a text file") << QByteArray("  2079397\r\n") << 1 << "not a capture";
        QTest::newRow("first line missing")
            << QByteArray(kExampleText).mid(QByteArray(kExampleText).indexOf('\n') + 1) << 1
            << "the first line must be \"# Orvellin capture 1\"";
        QTest::newRow("later version")
            << exampleWith("# Orvellin capture 1", "# Orvellin capture 2") << 1
            << "a capture of version \"2\"; this version of the tool reads version 1";

        QTest::newRow("ends in the header")
            << QByteArray(kExampleText).left(QByteArray(kExampleText).indexOf("index")) << 10
            << "the file ends before the column header";
        QTest::newRow("no count") << exampleWith("# count: 3\n", "") << 9
                                  << "no \"count\" line before the column header";
        QTest::newRow("stray line in the header")
            << exampleWith("# gain: 1\n", "gain: 1\n") << 6
            << "\"gain: 1\" is neither a \"#\" line nor the column header";
        QTest::newRow("a key twice") << exampleWith("# gain: 1\n", "# gain: 1\n# gain: 2\n") << 7
                                     << "a second \"gain\" line";

        QTest::newRow("count negative") << exampleWith("# count: 3", "# count: -1") << 9
                                        << "count \"-1\" is not a whole number from 1 to 65535";
        QTest::newRow("count above 65535")
            << exampleWith("# count: 3", "# count: 65536") << 9 << "count \"65536\"";
        QTest::newRow("count zero")
            << exampleWith("# count: 3", "# count: 0") << 9 << "count \"0\"";
        QTest::newRow("count empty") << exampleWith("# count: 3", "# count:") << 9 << "count \"\"";
        QTest::newRow("gain 3") << exampleWith("# gain: 1", "# gain: 3") << 6
                                << "gain \"3\" is not one of 1, 2, 4, 8, 16, 32 and 64";
        QTest::newRow("gain 128") << exampleWith("# gain: 1", "# gain: 128") << 6 << "gain \"128\"";
        QTest::newRow("gain 0") << exampleWith("# gain: 1", "# gain: 0") << 6 << "gain \"0\"";
        QTest::newRow("gain 1.0") << exampleWith("# gain: 1", "# gain: 1.0") << 6 << "gain \"1.0\"";
        QTest::newRow("Vref zero") << exampleWith("# vref_v: 2.5", "# vref_v: 0") << 7
                                   << "vref_v \"0\" is not a positive number of volts";
        QTest::newRow("Vref negative")
            << exampleWith("# vref_v: 2.5", "# vref_v: -2.5") << 7 << "vref_v \"-2.5\"";
        QTest::newRow("Vref infinite")
            << exampleWith("# vref_v: 2.5", "# vref_v: inf") << 7 << "vref_v \"inf\"";
        QTest::newRow("Vref beyond double")
            << exampleWith("# vref_v: 2.5", "# vref_v: 1e999") << 7 << "vref_v \"1e999\"";
        QTest::newRow("Vref with a decimal comma")
            << exampleWith("# vref_v: 2.5", "# vref_v: 2,5") << 7 << "vref_v \"2,5\"";
        QTest::newRow("Vref empty")
            << exampleWith("# vref_v: 2.5", "# vref_v: ") << 7 << "vref_v \"\"";
        QTest::newRow("rate zero") << exampleWith("# rate_sps: 30000", "# rate_sps: 0") << 8
                                   << "rate_sps \"0\" is not a positive number of samples";
        QTest::newRow("rate nan") << exampleWith("# rate_sps: 30000", "# rate_sps: nan") << 8
                                  << "rate_sps \"nan\"";
        QTest::newRow("ten registers")
            << exampleWith("30 01 20 F0 E1 00 00 00 3E 5A 45", "30 01 20 F0 E1 00 00 00 3E 5A") << 5
            << "are not eleven bytes in hexadecimal";
        QTest::newRow("twelve registers")
            << exampleWith("3E 5A 45", "3E 5A 45 00") << 5 << "are not eleven bytes";
        QTest::newRow("register not hexadecimal")
            << exampleWith("30 01 20 F0", "30 01 20 G0") << 5 << "are not eleven bytes";
        QTest::newRow("registers run together")
            << exampleWith("30 01 20 F0", "3001 20 F0 00") << 5 << "are not eleven bytes";
        QTest::newRow("time not UTC") << exampleWith("12:00:00Z", "12:00:00+01:00") << 2
                                      << "created \"2026-12-11T12:00:00+01:00\" is not a UTC time";
        QTest::newRow("time with a space")
            << exampleWith("2026-12-11T", "2026-12-11 ") << 2 << "is not a UTC time";
        QTest::newRow("no 30 February")
            << exampleWith("2026-12-11T", "2028-02-30T") << 2 << "is not a UTC time";
        QTest::newRow("no hour 24") << exampleWith("T12:00", "T24:00") << 2 << "is not a UTC time";

        QTest::newRow("fewer rows than the count")
            << exampleWith("2,8388607,4.999999403953552\n", "") << 13
            << "the file ends after 2 of the 3 rows";
        QTest::newRow("no rows") << exampleWith("0,2079397,1.2394171953201294\n", "")
                                        .replace("1,-5,-2.9802322387695312e-06\n", "")
                                        .replace("2,8388607,4.999999403953552\n", "")
                                 << 11 << "the file ends after 0 of the 3 rows";
        QTest::newRow("more rows than the count") << QByteArray(kExampleText) + "3,0,0\n"
                                                  << 14 << "more rows than the count of 3";
        QTest::newRow("a row after empty lines") << QByteArray(kExampleText) + "\n\n3,0,0\n"
                                                 << 16 << "more rows than the count of 3";
        QTest::newRow("cut in the code") << exampleWith("2,8388607,4.999999403953552\n", "2,83886")
                                         << 13 << "\"2,83886\" is not a row index,code,volts";
        QTest::newRow("cut after the code")
            << exampleWith("2,8388607,4.999999403953552\n", "2,8388607,") << 13
            << "volts \"\" is not a number";
        QTest::newRow("cut in the volts")
            << exampleWith("2,8388607,4.999999403953552\n", "2,8388607,4.9") << 13
            << "volts \"4.9\" do not match code 8388607 (4.999999403953552 V)";
        QTest::newRow("an empty line among the rows")
            << exampleWith("\n1,-5", "\n\n1,-5") << 12
            << "an empty line where the row of index 1 should be";
        QTest::newRow("index skipped")
            << exampleWith("1,-5,", "2,-5,") << 12 << "index \"2\" where 1 should be";
        QTest::newRow("index not a number")
            << exampleWith("1,-5,", "one,-5,") << 12 << "index \"one\" is not a whole number";
        QTest::newRow("code abc") << exampleWith("1,-5,", "1,abc,") << 12
                                  << "code \"abc\" is not a whole number";
        QTest::newRow("code with a fraction")
            << exampleWith("1,-5,", "1,-5.0,") << 12 << "code \"-5.0\" is not a whole number";
        QTest::newRow("code with blanks")
            << exampleWith("1,-5,", "1, -5,") << 12 << "code \" -5\" is not a whole number";
        QTest::newRow("code above the range")
            << exampleWith("2,8388607,4.999999403953552", "2,8388608,5") << 13
            << "code \"8388608\" is outside -8388608..8388607";
        QTest::newRow("code below the range")
            << exampleWith("1,-5,-2.9802322387695312e-06", "1,-8388609,-5.000000596046448") << 12
            << "code \"-8388609\" is outside";
        QTest::newRow("code beyond 64 bits")
            << exampleWith("1,-5,", "1,-99999999999999999999999,") << 12
            << "code \"-99999999999999999999999\" is outside";
        QTest::newRow("volts not a number") << exampleWith("-2.9802322387695312e-06", "abc") << 12
                                            << "volts \"abc\" is not a number";
        QTest::newRow("volts nan") << exampleWith("-2.9802322387695312e-06", "nan") << 12
                                   << "volts \"nan\" is not a number";
        QTest::newRow("four columns") << exampleWith("-2.9802322387695312e-06", "-3e-06,x") << 12
                                      << "is not a row index,code,volts";
        QTest::newRow("gain changed, rows not")
            << exampleWith("# gain: 1", "# gain: 2") << 11
            << "volts \"1.2394171953201294\" do not match code 2079397 (0.6197085976600647 V)";
        QTest::newRow("long garbage quoted in part")
            << exampleWith("1,-5,", "1," + QByteArray(100, 'x') + "\x01,") << 12
            << "code \"" + QString(40, 'x') + "...\" is not a whole number";
    }
    void refusesBrokenFiles() {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QFETCH(QString, says);
        const CaptureReading reading = read(text);
        QVERIFY(!reading.capture);
        const QString error = QString::fromStdString(reading.error);
        const QString prefix = QStringLiteral("line %1: ").arg(line);
        QVERIFY2(error.startsWith(prefix) && error.contains(says), qPrintable(error));

        // The same file from Windows is refused for the same reason.
        QByteArray windows = text;
        windows.replace("\n", "\r\n");
        QCOMPARE(QString::fromStdString(read(windows).error), error);
    }
};

ORV_REGISTER_TEST(CaptureFileTest);

}  // namespace

#include "test_capture_file.moc"
