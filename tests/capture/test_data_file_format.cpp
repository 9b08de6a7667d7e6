// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <system_error>

#include "capture/data_files.h"
#include "test_registry.h"

using namespace orv;

namespace {

std::string native(const char* path) {
    return QDir::toNativeSeparators(QString::fromLatin1(path)).toStdString();
}

class DataFileFormatTest final : public QObject {
    Q_OBJECT
private slots:
    void textLines_data() {
        QTest::addColumn<int>("sample");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("5") << 5 << QByteArray("        5\r\n");
        QTest::newRow("-123") << -123 << QByteArray("     -123\r\n");
        QTest::newRow("largest") << 8388607 << QByteArray("  8388607\r\n");
        QTest::newRow("smallest") << -8388608 << QByteArray(" -8388608\r\n");
        QTest::newRow("0") << 0 << QByteArray("        0\r\n");
    }
    void textLines() {
        QFETCH(int, sample);
        QFETCH(QByteArray, line);
        QCOMPARE(QByteArray::fromStdString(textLine(sample)), line);
        QCOMPARE(std::size_t(line.size()), kTextLineSize);
    }

    void textIsWrittenEightLinesAtATime_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("pieces");  // bytes in each write
        QTest::newRow("45") << 45 << QList<int>{88, 88, 88, 88, 88, 55};
        QTest::newRow("8") << 8 << QList<int>{88};
        QTest::newRow("1") << 1 << QList<int>{11};
        QTest::newRow("none") << 0 << QList<int>{};
    }
    void textIsWrittenEightLinesAtATime() {
        QFETCH(int, count);
        QFETCH(QList<int>, pieces);
        std::vector<std::int32_t> samples(count);
        for (int i = 0; i < count; ++i) {
            samples[i] = i * 1000 - 20000;
        }
        QList<int> sizes;
        std::string written;
        QVERIFY(writeTextLines(samples, [&](std::string_view piece) {
            sizes << int(piece.size());
            written += piece;
            return true;
        }));
        QCOMPARE(sizes, pieces);
        std::string expected;
        for (const std::int32_t sample : samples) {
            expected += textLine(sample);
        }
        QCOMPARE(written, expected);
    }

    void aRefusedWriteStopsTheText() {
        const std::vector<std::int32_t> samples(20, 7);
        int writes = 0;
        QVERIFY(!writeTextLines(samples, [&](std::string_view) { return ++writes < 2; }));
        QCOMPARE(writes, 2);
    }

    void rawPathBesideTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("raw");  // empty: none
        QTest::newRow("txt") << "/data/run1.txt"
                             << "/data/run1.bin";
        QTest::newRow("csv") << "/data/run2.csv"
                             << "/data/run2.bin";
        QTest::newRow("last dot") << "/data/run.3.txt"
                                  << "/data/run.3.bin";
        QTest::newRow("dot in the folder") << "/data.v2/run"
                                           << "";
        QTest::newRow("no dot") << "/data/run"
                                << "";
        QTest::newRow("bare name") << "run1.txt"
                                   << "run1.bin";
        QTest::newRow("name is an extension") << "/data/.txt"
                                              << "/data/.bin";
    }
    void rawPathBesideTheText() {
        QFETCH(QString, text);
        QFETCH(QString, raw);
        const auto path = rawPathFor(native(text.toLatin1().constData()));
        QCOMPARE(path.has_value(), !raw.isEmpty());
        if (path) {
            QCOMPARE(*path, native(raw.toLatin1().constData()));
        }
    }

    void folderOfAPath() {
        QCOMPARE(folderOf(native("/data/run1.txt")), std::optional(native("/data/")));
        QCOMPARE(folderOf("run1.txt"), std::optional<std::string>());
    }

    void stampFromTheLocalTime() {
        QCOMPARE(fileNameStamp({2025, 3, 7, 9, 5, 41}), std::string("ADC_20250307_09_05_41"));
        QCOMPARE(fileNameStamp({2026, 12, 31, 23, 59, 0}), std::string("ADC_20261231_23_59_00"));
    }

    void outputFileErrorsNameTheFileAndTheCause() {
        QTemporaryDir folder;
        const std::string missing = native(folder.filePath("missing/x.bin").toLatin1().constData());
        OutputFile file(missing);
        QVERIFY(!file.isOpen());
        QVERIFY(!file.write("abc"));
        QVERIFY(!file.close());
        const QString error = QString::fromStdString(file.error());
        QVERIFY2(error.contains(QString::fromStdString(missing)), qPrintable(error));
        // The cause is the system's own text, in the user's language.
        const auto cause = QString::fromStdString(std::generic_category().message(ENOENT));
        QVERIFY2(error.endsWith(": " + cause + "."), qPrintable(error));
    }

    // A full disk is a failure, not a short file reported as saved.
    void aFullDiskIsReported() {
        if (!QFile::exists("/dev/full")) {
            QSKIP("no /dev/full here");
        }
        OutputFile file("/dev/full");
        QVERIFY(file.isOpen());
        QVERIFY(!file.write(textLine(5)));
        QVERIFY2(QString::fromStdString(file.error()).contains("/dev/full"), file.error().c_str());
    }
};

ORV_REGISTER_TEST(DataFileFormatTest);

}  // namespace

#include "test_data_file_format.moc"
