// SPDX-License-Identifier: GPL-3.0-or-later
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <system_error>

#include "capture/capture.h"
#include "capture/data_files.h"
#include "capture_samples.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;

namespace {

CaptureReading readText(const QByteArray& text) {
    return readTextFile(std::string_view(text.constData(), std::size_t(text.size())));
}

std::string native(const QString& path) {
    return QDir::toNativeSeparators(path).toStdString();
}

class BlockFileReadingTest final : public QObject {
    Q_OBJECT
private slots:
    // What "Save File" writes reads back as its codes, with the settings
    // left at their defaults.
    void readsWhatSaveFileWrites() {
        const std::vector<std::int32_t> codes = spreadCodes(1000, 3);
        std::string text;
        QVERIFY(writeTextLines(codes, [&](std::string_view piece) {
            text += piece;
            return true;
        }));
        const CaptureReading reading = readTextFile(text);
        QVERIFY2(reading.capture, reading.error.c_str());
        compareCaptures(*reading.capture, Capture{{}, codes});
    }

    void readsEditedTextFiles_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("LF alone") << QByteArray("        5\n     -123\n") << QList<int>{5, -123};
        QTest::newRow("not aligned, tabs")
            << QByteArray("5\r\n\t-123\r\n  7  \r\n") << QList<int>{5, -123, 7};
        QTest::newRow("no final line break")
            << QByteArray("  8388607\r\n -8388608") << QList<int>{8388607, -8388608};
        QTest::newRow("empty lines") << QByteArray("\r\n5\r\n\r\n6\r\n\r\n") << QList<int>{5, 6};
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF 5\r\n") << QList<int>{5};
        QTest::newRow("leading zeros, minus zero") << QByteArray("007\n-0\n") << QList<int>{7, 0};
    }
    void readsEditedTextFiles() {
        QFETCH(QByteArray, text);
        QFETCH(QList<int>, codes);
        const CaptureReading reading = readText(text);
        QVERIFY2(reading.capture, reading.error.c_str());
        QCOMPARE(codesOf(*reading.capture), codes);
    }

    void refusesBrokenTextFiles_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << "no results: the file holds no numbers";
        QTest::newRow("blank lines only")
            << QByteArray("  \r\n\r\n") << "no results: the file holds no numbers";
        QTest::newRow("not a number")
            << QByteArray("        5\r\n      abc\r\n") << "line 2: \"abc\" is not a whole number";
        QTest::newRow("a fraction")
            << QByteArray("1.5\r\n") << "line 1: \"1.5\" is not a whole number";
        QTest::newRow("two numbers")
            << QByteArray("5 6\r\n") << "line 1: \"5 6\" is not a whole number";
        QTest::newRow("a plus sign")
            << QByteArray("+5\r\n") << "line 1: \"+5\" is not a whole number";
        QTest::newRow("above the range") << QByteArray("1\n2\n  8388608\r\n")
                                         << "line 3: \"8388608\" is outside -8388608..8388607";
        QTest::newRow("below the range")
            << QByteArray(" -8388609\r\n") << "line 1: \"-8388609\" is outside -8388608..8388607";
        QTest::newRow("a raw file")
            << QByteArray("\x00\x12\x34\x56\x7F", 5) << "line 1: \"??4V?\" is not a whole number";
        QByteArray tooMany;
        for (int k = 0; k < 65536; ++k) {
            tooMany += "1\n";
        }
        QTest::newRow("65536 results") << tooMany << "line 65536: more than 65535 results";
    }
    void refusesBrokenTextFiles() {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        const CaptureReading reading = readText(text);
        QVERIFY(!reading.capture);
        QCOMPARE(QString::fromStdString(reading.error), error);
    }

    void aBlockFileIsTakenByItsFirstLine_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("error");  // its start
        QTest::newRow("capture") << QByteArray(kExampleText) << true << "";
        QTest::newRow("capture after a byte order mark")
            << "\xEF\xBB\xBF" + QByteArray(kExampleText) << true << "";
        QTest::newRow("text file") << QByteArray("  2079397\r\n       -5\r\n") << true << "";
        QTest::newRow("capture of a later version")
            << QByteArray("# Orvellin capture 2\n# count: 1\n") << false
            << "line 1: a capture of version \"2\"";
        QTest::newRow("another file with # lines")
            << QByteArray("# x\n5\n") << false << "line 1: not a capture";
    }
    void aBlockFileIsTakenByItsFirstLine() {
        QFETCH(QByteArray, text);
        QFETCH(bool, read);
        QFETCH(QString, error);
        const CaptureReading reading =
            readBlockFile(std::string_view(text.constData(), std::size_t(text.size())));
        QCOMPARE(bool(reading.capture), read);
        QVERIFY2(QString::fromStdString(reading.error).startsWith(error), reading.error.c_str());
        if (reading.capture && text.contains("# Orvellin")) {
            compareCaptures(*reading.capture, exampleCapture());
        } else if (reading.capture) {
            compareCaptures(*reading.capture, Capture{{}, {2079397, -5}});
        }
    }

    void readsAWholeFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath("block.csv");
        QByteArray bytes("a\r\nb\n\0c", 7);
        bytes += QByteArray(200000, 'x');
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        const FileReading reading = readWholeFile(native(path), bytes.size());
        QVERIFY2(reading.bytes, reading.error.c_str());
        QCOMPARE(QByteArray::fromStdString(*reading.bytes), bytes);

        const FileReading tooLarge = readWholeFile(native(path), bytes.size() - 1);
        QVERIFY(!tooLarge.bytes);
        QCOMPARE(QString::fromStdString(tooLarge.error),
                 QString("Cannot read the file \"%1\": it is larger than %2 bytes.")
                     .arg(QString::fromStdString(native(path)))
                     .arg(bytes.size() - 1));
    }

    void fileErrorsNameTheFileAndTheCause() {
        QTemporaryDir folder;
        const std::string missing = native(folder.filePath("missing.csv"));
        const FileReading reading = readWholeFile(missing, kMostBlockFileBytes);
        QVERIFY(!reading.bytes);
        const auto cause = std::generic_category().message(ENOENT);
        QCOMPARE(reading.error, "Cannot read the file \"" + missing + "\": " + cause + ".");

        const FileReading folderRead = readWholeFile(native(folder.path()), kMostBlockFileBytes);
        QVERIFY(!folderRead.bytes);
        QVERIFY2(QString::fromStdString(folderRead.error).startsWith("Cannot read the file \""),
                 folderRead.error.c_str());
    }
};

ORV_REGISTER_TEST(BlockFileReadingTest);

}  // namespace

#include "test_block_file_reading.moc"
