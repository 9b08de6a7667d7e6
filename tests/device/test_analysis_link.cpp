// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include "acquisition_fixture.h"
#include "analysis_view/analysis_window.h"
#include "capture/capture.h"
#include "capture/data_files.h"
#include "test_registry.h"

using namespace orv;

namespace {

struct AnalysisFixture : test::AcquisitionFixture {
    AnalysisWindow* analysis() { return window.analysisWindow(); }
    QString figure(const char* name) {
        for (auto* field : analysis()->findChildren<QLineEdit*>()) {
            if (field->accessibleName() == QLatin1String(name)) {
                return field->text();
            }
        }
        return QStringLiteral("<no field %1>").arg(QLatin1String(name));
    }
    QString setting(const char* list) {
        return analysis()->findChild<QComboBox*>(QLatin1String(list))->currentText();
    }
    QString origin() { return analysis()->findChild<QLabel*>("origin")->text(); }
    // "Save Capture…" in the Analysis window, answered with `path`; the
    // capture read back.
    CaptureReading saveCapture(const QString& path) {
        prompts.fileAnswers.push_back(path.toStdString());
        QTest::mouseClick(analysis()->findChild<QPushButton*>("saveCapture"), Qt::LeftButton);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return {std::nullopt, "no file " + path.toStdString()};
        }
        return readCapture(file.readAll().toStdString());
    }
};

}  // namespace

class AnalysisLinkTest : public QObject {
    Q_OBJECT
private slots:
    // The button goes where the panel's layout left room: inside the panel,
    // over no other control.
    void buttonSitsInFreeSpace() {
        test::AcquisitionFixture f;
        auto* button = f.control<QPushButton>("analysisButton");
        QVERIFY(button);
        QCOMPARE(button->text(), QString("Analysis"));
        QVERIFY(f.panel()->rect().contains(button->geometry()));
        for (auto* child : f.panel()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child != button && child->isVisible()) {
                QVERIFY2(!child->geometry().intersects(button->geometry()),
                         qPrintable(child->objectName()));
            }
        }
    }

    // The window shows the settings the block was collected with, even after
    // a later Write changed the gain, and when its collection started.
    void opensOnTheChartBlockWithItsSettings() {
        AnalysisFixture f;
        f.evm.setRegister(ADCON, 0x22);
        f.evm.setRegister(DRATE, 0x82);
        f.click("readButton");
        f.clock.setLocalTime(
            {.year = 2026, .month = 12, .day = 11, .hour = 14, .minute = 5, .second = 9});
        f.collect("200");
        f.choose("gainList", 0);
        f.write();
        QCOMPARE(f.data().image[ADCON] & 0x07, 0);

        QVERIFY(!f.analysis());
        f.click("analysisButton");
        QVERIFY(f.analysis() && f.analysis()->isVisible());
        QCOMPARE(f.figure("Samples"), QString("200"));
        QCOMPARE(f.setting("gain"), QString("4"));
        QCOMPARE(f.setting("dataRate"), QString("100 SPS"));
        QCOMPARE(f.origin(), QString("Collected 2026-12-11 14:05:09"));
    }

    // One window, from the button or the menu, following every block on
    // the chart while it is open: a new collection, a profile that empties
    // the chart. A failed collection keeps the chart's block, and so does
    // the window.
    void followsTheChartWhileOpen() {
        AnalysisFixture f;
        f.window.OnSysCommand(kSysAnalysis);
        AnalysisWindow* window = f.analysis();
        QVERIFY(window && window->isVisible());
        QCOMPARE(f.figure("Samples"), QString());

        f.collect("300");
        QCOMPARE(f.figure("Samples"), QString("300"));
        f.evm.setFault({.kind = sim::FaultKind::BadChecksum, .items = {5}});
        f.collect("50");
        QCOMPARE(f.figure("Samples"), QString("300"));
        f.evm.setFault({});

        f.click("analysisButton");
        QCOMPARE(f.analysis(), window);

        QTemporaryDir folder;
        const QString profile = folder.filePath("p.ini");
        f.panel()->SaveProfile(profile.toStdString());
        f.panel()->LoadProfile(profile.toStdString());
        QCOMPARE(f.figure("Samples"), QString());
        QVERIFY(f.data().samplePort.empty());
        QCOMPARE(f.data().sampleImage, RegisterImage{});
    }

    // The collected block saved from the window is the chart's block with
    // everything its collection knew: the registers it started with, the
    // port's full name, its start in UTC, its settings. The capture is
    // proposed in the data folder under the start's local stamp.
    void savesTheChartBlockAsACapture() {
        AnalysisFixture f;
        f.evm.setRegister(ADCON, 0x22);
        f.evm.setRegister(DRATE, 0x82);
        f.click("readButton");
        f.clock.setLocalTime(
            {.year = 2026, .month = 12, .day = 11, .hour = 14, .minute = 5, .second = 9});
        f.clock.setUtcTime(
            {.year = 2026, .month = 12, .day = 11, .hour = 13, .minute = 5, .second = 9});
        f.collect("200");
        f.clock.setUtcTime({});
        f.click("analysisButton");
        QTemporaryDir folder;
        const CaptureReading read =
            f.saveCapture(QDir::toNativeSeparators(folder.filePath("block.csv")));

        QCOMPARE(f.prompts.fileChoices.back().request.initialPath,
                 f.data().dataFolder + "ADC_20261211_14_05_09.csv");
        QVERIFY2(read.capture, read.error.c_str());
        const CaptureInfo& info = read.capture->info;
        QVERIFY(read.capture->codes == f.data().samples);
        QCOMPARE(read.capture->codes.size(), std::size_t(200));
        QVERIFY(info.registers == std::optional(f.data().sampleImage));
        QCOMPARE(int((*info.registers)[ADCON]), 0x22);
        QCOMPARE(info.port, std::string("/dev/ttyS0"));
        QVERIFY(info.created);
        QCOMPARE(utcText(*info.created), std::string("2026-12-11T13:05:09Z"));
        QCOMPARE(info.tool, std::string("orvellin"));
        QCOMPARE(info.scale.gain, 4);
        QCOMPARE(info.scale.rateHz, std::optional(100.0));
    }

    // A file opened in the window gives way to the next block collected,
    // as any block does.
    void anOpenedFileGivesWayToTheNextCollection() {
        AnalysisFixture f;
        f.collect("100");
        QTemporaryDir folder;
        const QString path = QDir::toNativeSeparators(folder.filePath("old.txt"));
        {
            OutputFile file(path.toStdString());
            QVERIFY(file.write(textLine(7) + textLine(-7)) && file.close());
        }
        f.prompts.fileAnswers.push_back(path.toStdString());
        f.window.OnSysCommand(kSysOpenCapture);
        QCOMPARE(f.figure("Samples"), QString("2"));
        f.analysis()->close();
        f.window.OnSysCommand(kSysAnalysis);
        QCOMPARE(f.figure("Samples"), QString("2"));

        f.clock.setLocalTime(
            {.year = 2026, .month = 12, .day = 11, .hour = 14, .minute = 5, .second = 9});
        f.collect("120");
        QCOMPARE(f.figure("Samples"), QString("120"));
        QCOMPARE(f.origin(), QString("Collected 2026-12-11 14:05:09"));
        QVERIFY(f.prompts.messages.empty());
    }

    // A closed window is not kept up to date, but opens on the newest block.
    void closedWindowCatchesUpOnOpening() {
        AnalysisFixture f;
        f.collect("100");
        f.click("analysisButton");
        f.analysis()->close();
        f.collect("120");
        QCOMPARE(f.figure("Samples"), QString("100"));
        f.click("analysisButton");
        QCOMPARE(f.figure("Samples"), QString("120"));
    }
};

ORV_REGISTER_TEST(AnalysisLinkTest);
#include "test_analysis_link.moc"
