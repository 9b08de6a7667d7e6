// SPDX-License-Identifier: GPL-3.0-or-later
#include <qcustomplot.h>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <cerrno>
#include <system_error>

#include "analysis_view/analysis_window.h"
#include "capture/capture.h"
#include "capture/data_files.h"
#include "main_window_fixture.h"
#include "test_registry.h"

using namespace orv;

namespace {

// A capture of a few codes, with settings none of the defaults.
Capture savedCapture() {
    Capture capture;
    capture.info.created = LocalTime{2026, 12, 11, 12, 0, 0};
    capture.info.tool = "orvellin 0.9.0.1";
    capture.info.port = "/dev/ttyUSB3";
    capture.info.registers = {{0x30, 0x01, 0x23, 0x82, 0xE1, 0x00, 0x00, 0x00, 0x3E, 0x5A, 0x45}};
    capture.info.scale = {8, 100.0, 2.048};
    capture.codes = {-8388608, -5, 0, 2079397, 8388607, 17, -17, 4};
    return capture;
}

std::string textFile(const std::vector<std::int32_t>& codes) {
    std::string text;
    for (const std::int32_t code : codes) {
        text += textLine(code);
    }
    return text;
}

// The main window with no EVM anywhere, files in a folder of its own, and
// the Analysis window's controls found by accessible name.
struct OpenFixture : test::Window {
    using test::Window::Window;

    QString pathOf(const QString& name) const {
        return QDir::toNativeSeparators(folder.filePath(name));
    }
    QString write(const QString& name, const std::string& contents) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(contents.data(), qint64(contents.size())) != qint64(contents.size())) {
            qFatal("cannot write %s", qPrintable(file.fileName()));
        }
        return pathOf(name);
    }
    // "Open Capture…" from the window menu, the dialog answered with
    // `path` (cancelled when empty).
    void open(const QString& path) {
        if (!path.isEmpty()) {
            prompts.fileAnswers.push_back(path.toStdString());
        }
        for (QAction* action : window.findChild<QMenu*>("windowMenu")->actions()) {
            if (action->text() == QStringLiteral("Open Capture\u2026")) {
                action->trigger();
            }
        }
    }

    AnalysisWindow* analysis() { return window.analysisWindow(); }
    template <class Control>
    Control* named(const QString& name) {
        for (Control* control : analysis()->findChildren<Control*>()) {
            if (control->accessibleName() == name) {
                return control;
            }
        }
        return nullptr;
    }
    QString origin() { return analysis()->findChild<QLabel*>("origin")->text(); }
    QString setting(const QString& name) {
        if (auto* list = named<QComboBox>(name)) {
            return list->currentText();
        }
        return named<QLineEdit>(name)->text();
    }
    std::vector<std::int32_t> plottedCodes() {
        std::vector<std::int32_t> codes;
        const QCPGraph* graph = named<QCustomPlot>("Block plot")->graph(0);
        for (auto point = graph->data()->constBegin(); point != graph->data()->constEnd();
             ++point) {
            codes.push_back(std::int32_t(point->value));
        }
        return codes;
    }

    QTemporaryDir folder;
};

class OpenCaptureTest : public QObject {
    Q_OBJECT
private slots:
    // A capture shows its codes with the settings it was saved with, and
    // says where it came from and, when known, when it was collected.
    void opensACaptureWithItsSettings_data() {
        QTest::addColumn<bool>("timeKnown");
        QTest::addColumn<QString>("origin");
        QTest::newRow("collected at a known time")
            << true << "Capture ADC_20261211_12_00_00.csv, collected 2026-12-11 12:00:00 UTC";
        QTest::newRow("time unknown") << false << "Capture ADC_20261211_12_00_00.csv";
    }
    void opensACaptureWithItsSettings() {
        QFETCH(bool, timeKnown);
        QFETCH(QString, origin);
        OpenFixture f;
        Capture capture = savedCapture();
        if (!timeKnown) {
            capture.info.created.reset();
        }
        f.open(f.write("ADC_20261211_12_00_00.csv", captureText(capture)));

        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(1));
        const FileRequest& request = f.prompts.fileChoices[0].request;
        QVERIFY(request.kind == FileRequest::Kind::Open);
        QStringList patterns;
        for (const FileFilter& filter : request.filters) {
            patterns << QString::fromStdString(filter.pattern);
        }
        QCOMPARE(patterns, QStringList({"*.csv", "*.txt", "*.*"}));
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(f.analysis() && f.analysis()->isVisible());
        QCOMPARE(f.origin(), origin);
        QVERIFY(f.plottedCodes() == capture.codes);
        QCOMPARE(f.setting("Gain"), QStringLiteral("8"));
        QCOMPARE(f.setting("Data rate"), QStringLiteral("100 SPS"));
        QCOMPARE(f.setting("Vref (V)"), QStringLiteral("2.048"));
        QVERIFY(!f.link.isOpen());
    }

    // A text file holds codes only: they show at gain 1, 30000 SPS and
    // 2.5 V for the user to set, and their capture is proposed beside the
    // file under its name.
    void aTextFileOpensAtTheDefaults() {
        OpenFixture f;
        const std::vector<std::int32_t> codes = savedCapture().codes;
        f.open(f.write("ADC_20261211_12_00_00.txt", textFile(codes)));

        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.origin(), QStringLiteral("Text file ADC_20261211_12_00_00.txt: set its gain, "
                                            "data rate and Vref below"));
        QVERIFY(f.plottedCodes() == codes);
        QCOMPARE(f.setting("Gain"), QStringLiteral("1"));
        QCOMPARE(f.setting("Data rate"), QStringLiteral("30000 SPS"));
        QCOMPARE(f.setting("Vref (V)"), QStringLiteral("2.5"));

        QTest::mouseClick(f.named<QPushButton>("Save Capture\u2026"), Qt::LeftButton);
        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(2));
        QCOMPARE(f.prompts.fileChoices[1].request.initialPath,
                 f.pathOf("ADC_20261211_12_00_00.csv").toStdString());
    }

    // Through the window and back: a capture opened and saved again reads
    // back as it was, but written by this program.
    void aCaptureSavedAgainReadsBackTheSame() {
        const VersionResource version = test::productVersion2017();
        OpenFixture f(&version);
        const Capture capture = savedCapture();
        f.open(f.write("first.csv", captureText(capture)));
        f.prompts.fileAnswers.push_back(f.pathOf("second.csv").toStdString());
        QTest::mouseClick(f.named<QPushButton>("Save Capture\u2026"), Qt::LeftButton);
        QVERIFY(f.prompts.messages.empty());

        QFile saved(f.pathOf("second.csv"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const CaptureReading read = readCapture(saved.readAll().toStdString());
        QVERIFY2(read.capture, read.error.c_str());
        Capture expected = capture;
        expected.info.tool = "orvellin 2.0.1.7";
        QCOMPARE(captureText(*read.capture), captureText(expected));
    }

    // A file that cannot be read is refused with the reason, a broken line
    // by its number; the window keeps what it showed, and none is made for
    // a file refused before there was one.
    void aBrokenFileKeepsTheWindow_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("contents");  // none: no such file
        QTest::addColumn<QString>("reason");
        QTest::newRow("capture with a word for a code")
            << "broken.csv"
            << "# Orvellin capture 1\n# created: \n# tool: orvellin 1.1.0.3\n# port: \n"
               "# registers: \n# gain: 1\n# vref_v: 2.5\n# rate_sps: 30000\n# count: 2\n"
               "index,code,volts\n0,5,2.98023223876953125e-06\n1,abc,0\n"
            << "line 12";
        QTest::newRow("capture of a later version")
            << "later.csv"
            << "# Orvellin capture 2\n# count: 0\nindex,code,volts\n"
            << "line 1";
        QTest::newRow("text file with a word") << "broken.txt"
                                               << "      12\r\n   hello\r\n"
                                               << "line 2";
        QTest::newRow("no such file")
            << "missing.csv" << QString()
            << QString::fromStdString(std::generic_category().message(ENOENT));
    }
    void aBrokenFileKeepsTheWindow() {
        QFETCH(QString, name);
        QFETCH(QString, contents);
        QFETCH(QString, reason);
        OpenFixture f;
        const QString path =
            contents.isNull() ? f.pathOf(name) : f.write(name, contents.toStdString());
        const auto checkMessage = [&](std::size_t count) {
            QCOMPARE(f.prompts.messages.size(), count);
            const test::RecordedMessage& message = f.prompts.messages.back();
            const QString text = QString::fromStdString(message.text);
            QVERIFY2(text.contains(path) && text.contains(reason), qPrintable(text));
            QCOMPARE(message.caption, std::string("Open Capture"));
            QVERIFY(message.icon == MessageIcon::Error);
        };
        f.open(path);
        checkMessage(1);
        QVERIFY(!f.analysis());

        f.open(f.write("good.txt", textFile({1, 2, 3})));
        const QString origin = f.origin();
        f.open(path);
        checkMessage(2);
        QCOMPARE(f.origin(), origin);
        QVERIFY(f.plottedCodes() == std::vector<std::int32_t>({1, 2, 3}));
    }

    void cancellingOpensNothing() {
        OpenFixture f;
        f.open(QString());
        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(1));
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(!f.analysis());
    }
};

}  // namespace

ORV_REGISTER_TEST(OpenCaptureTest);

#include "test_open_capture.moc"
