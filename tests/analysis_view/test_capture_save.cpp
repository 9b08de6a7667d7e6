// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <cerrno>
#include <system_error>

#include "test_registry.h"
#include "window_fixture.h"

using namespace orv;
using test::WindowFixture;

namespace {

const QString kSaveCapture = QStringLiteral("Save Capture\u2026");

// A block as its collection describes it: every field of the info set, the
// extreme codes among a tone's.
Capture collectedBlock() {
    Capture block;
    block.info.created = LocalTime{2026, 12, 11, 12, 0, 0};
    block.info.tool = "orvellin 9.8.7.6";
    block.info.port = "/dev/ttyUSB0";
    block.info.registers = {{0x30, 0x01, 0x22, 0x82, 0xE1, 0x00, 0x00, 0x00, 0x3E, 0x5A, 0x45}};
    block.info.scale = {4, 100.0, 2.5};
    block.codes = test::toneBlock(1000, 13.7, 3e6);
    block.codes[10] = -8388608;
    block.codes[11] = 8388607;
    return block;
}

struct SaveFixture : WindowFixture {
    SaveFixture() {
        window.showBlock(collectedBlock(), QStringLiteral("Collected 2026-12-11 13:00:00"),
                         "ADC_20261211_13_00_00.csv");
    }
    QPushButton* button() { return named<QPushButton>(kSaveCapture); }
    // Presses "Save Capture…" and answers the dialog with `path`.
    void saveAs(const std::string& path) {
        prompts.fileAnswers.push_back(path);
        QTest::mouseClick(button(), Qt::LeftButton);
    }
    QString pathIn(const QString& name) { return QDir::toNativeSeparators(folder.filePath(name)); }

    QTemporaryDir folder;
};

class CaptureSaveTest final : public QObject {
    Q_OBJECT
private slots:
    // The button, named as captioned, is there for a block only.
    void savingNeedsABlock() {
        WindowFixture f;
        auto* button = f.named<QPushButton>(kSaveCapture);
        QVERIFY(button);
        QCOMPARE(button->text(), kSaveCapture);
        QVERIFY(!button->isEnabled());
        f.window.showBlock(test::constantBlock(10, 5), {}, "Constant");
        QVERIFY(button->isEnabled());
        f.window.clearBlock();
        QVERIFY(!button->isEnabled());
    }

    // The capture proposed under the name the block came with reads back
    // as the block: codes, settings, registers, port, start and writer.
    void savesTheBlockItShows() {
        SaveFixture f;
        const QString path = f.pathIn("saved.csv");
        f.saveAs(path.toStdString());

        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(1));
        const FileRequest& request = f.prompts.fileChoices[0].request;
        QVERIFY(request.kind == FileRequest::Kind::Save);
        QCOMPARE(request.initialPath, std::string("ADC_20261211_13_00_00.csv"));
        QCOMPARE(request.filters.size(), std::size_t(1));
        QCOMPARE(request.filters[0].pattern, std::string("*.csv"));
        QCOMPARE(request.defaultExtension, std::string("csv"));
        QVERIFY(request.confirmOverwrite);
        QVERIFY(f.prompts.messages.empty());

        const CaptureReading read = test::readCaptureFile(path);
        QVERIFY2(read.capture, read.error.c_str());
        const Capture expected = collectedBlock();
        const CaptureInfo& info = read.capture->info;
        QVERIFY(read.capture->codes == expected.codes);
        QVERIFY(test::sameTime(info.created, expected.info.created));
        QCOMPARE(info.tool, expected.info.tool);
        QCOMPARE(info.port, expected.info.port);
        QVERIFY(info.registers == expected.info.registers);
        QCOMPARE(info.scale.gain, 4);
        QCOMPARE(info.scale.rateHz, std::optional(100.0));
        QCOMPARE(info.scale.vref, 2.5);
    }

    // The window keeps its own copy: the caller's codes may change or go
    // while it shows them. A block known only by its settings is saved
    // with nothing else said about it, under a plain name.
    void savesItsOwnCopyOfTheCodes() {
        WindowFixture f;
        std::vector<std::int32_t> codes = test::alternatingBlock(64, 100, 7);
        const std::vector<std::int32_t> shown = codes;
        f.window.showBlock(codes, analysis::Scale{2, std::nullopt, 4.096}, "Alternating");
        codes.assign(codes.size(), 0);
        QTemporaryDir folder;
        const QString path = QDir::toNativeSeparators(folder.filePath("copy.csv"));
        f.prompts.fileAnswers.push_back(path.toStdString());
        QTest::mouseClick(f.named<QPushButton>(kSaveCapture), Qt::LeftButton);

        QCOMPARE(f.prompts.fileChoices.at(0).request.initialPath, std::string("capture.csv"));
        const CaptureReading read = test::readCaptureFile(path);
        QVERIFY2(read.capture, read.error.c_str());
        QVERIFY(read.capture->codes == shown);
        QVERIFY(!read.capture->info.created && !read.capture->info.registers);
        QCOMPARE(read.capture->info.port, std::string());
        QCOMPARE(read.capture->info.scale.gain, 2);
        QCOMPARE(read.capture->info.scale.rateHz, std::optional<double>());
        QCOMPARE(read.capture->info.scale.vref, 4.096);
    }

    // The capture holds the settings the figures use when it is saved, not
    // those the block came with: a corrected Vref is what its reader needs.
    void savedSettingsFollowTheWindow_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("gain");
        QTest::addColumn<double>("rate");  // 0: unknown
        QTest::addColumn<double>("vref");
        QTest::newRow("Vref corrected") << "vref" << 4 << 100.0 << 2.048;
        QTest::newRow("gain chosen") << "gain" << 16 << 100.0 << 2.5;
        QTest::newRow("rate unknown") << "rate" << 4 << 0.0 << 2.5;
    }
    void savedSettingsFollowTheWindow() {
        QFETCH(QString, change);
        QFETCH(int, gain);
        QFETCH(double, rate);
        QFETCH(double, vref);
        SaveFixture f;
        if (change == "vref") {
            f.typeVref("2.048");
        } else if (change == "gain") {
            f.chooseGain(16);
        } else {
            QComboBox* list = f.named<QComboBox>("Data rate");
            list->setCurrentIndex(list->findText("Unknown"));
        }
        const QString path = f.pathIn("changed.csv");
        f.saveAs(path.toStdString());

        const CaptureReading read = test::readCaptureFile(path);
        QVERIFY2(read.capture, read.error.c_str());
        const analysis::Scale& saved = read.capture->info.scale;
        QCOMPARE(saved.gain, gain);
        QCOMPARE(saved.rateHz, rate ? std::optional(rate) : std::nullopt);
        QCOMPARE(saved.vref, vref);
        QVERIFY(read.capture->codes == collectedBlock().codes);
    }

    // A file that cannot be made or written is named in an error message
    // with the system's reason.
    void aFailedWriteSaysWhy_data() {
        QTest::addColumn<QString>("path");  // relative: in a fresh folder
        QTest::addColumn<int>("cause");
        QTest::newRow("missing folder") << "missing/block.csv" << ENOENT;
        QTest::newRow("full device") << "/dev/full" << ENOSPC;
    }
    void aFailedWriteSaysWhy() {
        QFETCH(QString, path);
        QFETCH(int, cause);
        SaveFixture f;
        if (path.startsWith('/')) {
            if (!QFile::exists(path)) {
                QSKIP("no such device here");
            }
        } else {
            path = f.pathIn(path);
        }
        f.saveAs(path.toStdString());

        QCOMPARE(f.prompts.messages.size(), std::size_t(1));
        const test::RecordedMessage& message = f.prompts.messages[0];
        QVERIFY2(message.text.find(path.toStdString()) != std::string::npos, message.text.c_str());
        QVERIFY2(message.text.find(std::generic_category().message(cause)) != std::string::npos,
                 message.text.c_str());
        QCOMPARE(message.caption, std::string("Analysis"));
        QVERIFY(message.icon == MessageIcon::Error);
    }

    void cancellingTheSaveWritesNothing() {
        SaveFixture f;
        QTest::mouseClick(f.button(), Qt::LeftButton);
        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(1));
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(QDir(f.folder.path()).isEmpty());
    }
};

}  // namespace

ORV_REGISTER_TEST(CaptureSaveTest);

#include "test_capture_save.moc"
