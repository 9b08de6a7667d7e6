// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "acquisition_fixture.h"
#include "capture/data_files.h"
#include "test_registry.h"

using namespace orv;
using test::AcquisitionFixture;

namespace {

constexpr LocalTime kFirstSave{2025, 3, 7, 9, 5, 41};
constexpr LocalTime kSecondSave{2025, 3, 7, 9, 6, 2};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray textOf(const SampleList& samples) {
    QByteArray text;
    for (const std::int32_t sample : samples) {
        text += QByteArray::fromStdString(textLine(sample));
    }
    return text;
}

QByteArray bytesOf(const RawBlock& block) {
    return QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size()));
}

// A collected block and a folder to save it in; `save` answers the save
// dialog with a path in that folder (native separators, as the dialog
// gives it) and presses "Save File".
struct SaveFixture : AcquisitionFixture {
    SaveFixture() {
        clock.setLocalTime(kFirstSave);
        evm.setFault({});
    }
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(folder.filePath(name));
    }
    void save(const QString& name) {
        prompts.fileAnswers.push_back(path(name).toStdString());
        click("saveFileButton");
    }
    void cancelSave() { click("saveFileButton"); }
    QString logField() { return field("logFilePath"); }
    QStringList files() const { return QDir(folder.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir folder;
};

class DataFilesTest final : public QObject {
    Q_OBJECT
private slots:
    void savesTheBlockInBothFiles() {
        SaveFixture f;
        f.collect("45");
        f.save("run1.txt");

        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.files(), QStringList({"run1.bin", "run1.txt"}));
        const QByteArray raw = contents(f.path("run1.bin"));
        QCOMPARE(raw.size(), 180);
        QCOMPARE(raw, bytesOf(f.data().sampleItems));
        const QByteArray text = contents(f.path("run1.txt"));
        QCOMPARE(text.size(), 495);
        QCOMPARE(text, textOf(f.data().samples));
        QCOMPARE(f.logField(), f.path("run1.txt"));

        const FileRequest& request = f.prompts.fileChoices.at(0).request;
        QCOMPARE(f.prompts.fileChoices.at(0).owner, f.panel());
        QVERIFY(request.kind == FileRequest::Kind::Save);
        QCOMPARE(request.initialPath, std::string("ADC_20250307_09_05_41"));
        QCOMPARE(request.filters.size(), std::size_t(2));
        QCOMPARE(request.filters[0].description, std::string("Normal text file(*.txt)"));
        QCOMPARE(request.filters[0].pattern, std::string("*.txt"));
        QCOMPARE(request.filters[1].description, std::string("All Format(*.*)"));
        QCOMPARE(request.filters[1].pattern, std::string("*.*"));
        QCOMPARE(request.defaultExtension, std::string("txt"));
        QVERIFY(request.confirmOverwrite);

        // The next save proposes the folder of this one.
        f.clock.setLocalTime(kSecondSave);
        f.cancelSave();
        QCOMPARE(QString::fromStdString(f.prompts.fileChoices.at(1).request.initialPath),
                 f.path("ADC_20250307_09_06_02"));
    }

    // The sample values as the text file spells them, through the panel.
    void writesEachSampleOnItsOwnLine() {
        SaveFixture f;
        f.data().samples = {5, -123, 8388607, -8388608};
        f.data().sampleItems = {0x00, 0x00, 0x05, 0x05, 0xFF, 0xFF, 0x85, 0x83,
                                0x7F, 0xFF, 0xFF, 0x7D, 0x80, 0x00, 0x00, 0x80};
        f.save("values.txt");
        QCOMPARE(contents(f.path("values.txt")),
                 QByteArray("        5\r\n     -123\r\n  8388607\r\n -8388608\r\n"));
        QCOMPARE(contents(f.path("values.bin")), bytesOf(f.data().sampleItems));
    }

    // A raw file of the chosen name never gets overwritten: the pair goes
    // to the stamp of the save, then to the stamp with a counter.
    void aNameClashGoesToNewStampedFiles() {
        SaveFixture f;
        f.collect("45");
        f.save("run1.txt");
        const QByteArray firstRaw = contents(f.path("run1.bin"));
        const QByteArray firstText = contents(f.path("run1.txt"));

        f.collect("10");
        f.clock.setLocalTime(kSecondSave);
        f.save("run1.txt");
        f.save("run1.txt");

        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(contents(f.path("run1.bin")), firstRaw);
        QCOMPARE(contents(f.path("run1.txt")), firstText);
        QCOMPARE(f.files(), QStringList({"ADC_20250307_09_06_02.bin", "ADC_20250307_09_06_02.txt",
                                         "ADC_20250307_09_06_02_2.bin",
                                         "ADC_20250307_09_06_02_2.txt", "run1.bin", "run1.txt"}));
        for (const char* stamp : {"ADC_20250307_09_06_02", "ADC_20250307_09_06_02_2"}) {
            const QString name = QString::fromLatin1(stamp);
            QCOMPARE(contents(f.path(name + ".bin")), bytesOf(f.data().sampleItems));
            QCOMPARE(contents(f.path(name + ".txt")).size(), 110);
        }
        QCOMPARE(f.logField(), f.path("ADC_20250307_09_06_02_2.txt"));
    }

    void namesWithoutATextExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("another extension") << "run2.csv" << QStringList({"run2.bin", "run2.csv"});
        QTest::newRow("several dots") << "run.3.txt" << QStringList({"run.3.bin", "run.3.txt"});
        QTest::newRow("a dot in the folder only") << "data.v2/run" << QStringList();
    }
    void namesWithoutATextExtension() {
        QFETCH(QString, name);
        QFETCH(QStringList, written);
        SaveFixture f;
        QVERIFY(QDir(f.folder.path()).mkdir("data.v2"));
        f.collect("45");
        f.save(name);
        QCOMPARE(f.files(), written);
        QCOMPARE(QDir(f.folder.filePath("data.v2")).entryList(QDir::Files), QStringList());
        QCOMPARE(f.logField(), f.path(name));
        QVERIFY(f.prompts.messages.empty());
    }

    void nothingToSave() {
        SaveFixture f;
        f.save("early.txt");
        QCOMPARE(f.files(), QStringList());
        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.logField(), f.path("early.txt"));
    }

    void cancellingForgetsTheLastSave() {
        SaveFixture f;
        f.collect("45");
        f.save("run1.txt");
        f.cancelSave();
        QCOMPARE(f.logField(), QString());
        QVERIFY(f.data().textFilePath.empty());
        QVERIFY(f.data().binaryFilePath.empty());
        QCOMPARE(f.files(), QStringList({"run1.bin", "run1.txt"}));
    }

    void filesThatCannotBeCreated_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("failed");  // the file the first message names
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("missing folder") << "missing/run1.txt"
                                        << "missing/run1.bin"
                                        << "Save ADC Raw Data Failed !" << QStringList();
        QTest::newRow("text file is a folder")
            << "taken.txt"
            << "taken.txt"
            << "Save ADC Data Failed !" << QStringList({"taken.bin"});
    }
    void filesThatCannotBeCreated() {
        QFETCH(QString, name);
        QFETCH(QString, failed);
        QFETCH(QString, message);
        QFETCH(QStringList, written);
        SaveFixture f;
        QVERIFY(QDir(f.folder.path()).mkdir("taken.txt"));
        f.collect("45");
        f.save(name);

        QCOMPARE(f.prompts.messages.size(), std::size_t(2));
        const auto& error = f.prompts.messages[0];
        QCOMPARE(error.caption, std::string("Error"));
        QVERIFY2(QString::fromStdString(error.text).contains(f.path(failed)), error.text.c_str());
        QCOMPARE(QString::fromStdString(f.prompts.messages[1].text), message);
        QCOMPARE(f.prompts.messages[1].caption, std::string("Error occured !"));
        QCOMPARE(f.files(), written);
    }

    // The text and the raw file always hold one block: the one on the
    // chart, whatever the last collection left in its raw block.
    void bothFilesHoldTheBlockShown() {
        SaveFixture f;
        f.collect("45");
        const SampleList shown = f.data().samples;
        const RawBlock shownItems = f.data().sampleItems;
        f.evm.setFault({.kind = sim::FaultKind::BadChecksum, .items = {3}});
        f.collect("20");
        QCOMPARE(f.prompts.messages.size(), std::size_t(1));
        f.prompts.messages.clear();
        f.during([&] { f.save("during.txt"); });
        f.evm.setFault({});
        f.collect("30");
        f.save("after.txt");

        QVERIFY(f.duringCollection);
        QCOMPARE(contents(f.path("during.txt")), textOf(shown));
        QCOMPARE(contents(f.path("during.bin")), bytesOf(shownItems));
        QCOMPARE(contents(f.path("after.txt")), textOf(f.data().samples));
        QCOMPARE(contents(f.path("after.bin")), bytesOf(f.data().sampleItems));
        QCOMPARE(contents(f.path("after.bin")).size(), 120);
    }
};

ORV_REGISTER_TEST(DataFilesTest);

}  // namespace

#include "test_data_files.moc"
