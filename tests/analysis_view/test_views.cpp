// SPDX-License-Identifier: GPL-3.0-or-later
#include <qcustomplot.h>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include "test_registry.h"
#include "window_fixture.h"

using namespace orv;
using test::WindowFixture;

namespace {

const analysis::Scale kCollected{1, 30000.0, 2.5};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The window shown at its usual size with a block, so that its plots
// have their place on screen.
struct ShownFixture : WindowFixture {
    explicit ShownFixture(std::vector<std::int32_t> codes, analysis::Scale scale = kCollected) {
        window.showBlock(std::move(codes), scale, QStringLiteral("Collected 2026-12-11 14:05:09"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QCustomPlot* plot(const QString& name) { return named<QCustomPlot>(name); }
    void showView(int index) { window.findChild<QTabWidget*>()->setCurrentIndex(index); }
    void click(const char* button) {
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
    }
    // Moves the mouse over the block plot to sample `number` at `code`.
    QString cursorAt(double number, double code) {
        QCustomPlot* block = plot("Block plot");
        block->replot();
        const QPoint at(int(block->xAxis->coordToPixel(number)),
                        int(block->yAxis->coordToPixel(code)));
        QTest::mouseMove(block, at);
        return named<QLineEdit>("Cursor")->text();
    }
};

class ViewsTest final : public QObject {
    Q_OBJECT
private slots:
    // "Save View…" asks for a file of the three kinds and writes the view
    // in sight in the kind its extension names.
    void savesTheViewByExtension_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("block as PNG") << 0 << "block.png" << QByteArray("\x89PNG\r\n\x1a\n");
        QTest::newRow("histogram as SVG") << 1 << "histogram.svg" << QByteArray("<svg");
        QTest::newRow("spectrum as PDF") << 2 << "spectrum.pdf" << QByteArray("%PDF");
        QTest::newRow("upper-case extension")
            << 2 << "SPECTRUM.PNG" << QByteArray("\x89PNG\r\n\x1a\n");
    }
    void savesTheViewByExtension() {
        QFETCH(int, view);
        QFETCH(QString, name);
        QFETCH(QByteArray, signature);
        ShownFixture f(test::toneBlock(4096, 37.3, 4e6));
        f.showView(view);
        QTemporaryDir folder;
        const QString path = QDir::toNativeSeparators(folder.filePath(name));
        f.prompts.fileAnswers.push_back(path.toStdString());
        f.click("saveView");

        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(1));
        const FileRequest& request = f.prompts.fileChoices[0].request;
        QVERIFY(request.kind == FileRequest::Kind::Save);
        QVERIFY(request.confirmOverwrite);
        QStringList patterns;
        for (const FileFilter& filter : request.filters) {
            patterns << QString::fromStdString(filter.pattern);
        }
        QCOMPARE(patterns, QStringList({"*.png", "*.svg", "*.pdf"}));
        const QByteArray saved = contents(path);
        QVERIFY(saved.size() > 1000);
        if (signature == "<svg") {
            QVERIFY(saved.contains(signature));
        } else {
            QVERIFY(saved.startsWith(signature));
        }
        QVERIFY(f.prompts.messages.empty());
    }

    // A file that cannot be written, or of a kind the view cannot be saved
    // as, is named in an error message; nothing is left behind.
    void aFailedSaveSaysSo_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("PNG in a missing folder") << "missing/view.png";
        QTest::newRow("SVG in a missing folder") << "missing/view.svg";
        QTest::newRow("PDF in a missing folder") << "missing/view.pdf";
        QTest::newRow("unknown kind") << "view.bmp";
    }
    void aFailedSaveSaysSo() {
        QFETCH(QString, name);
        ShownFixture f(test::toneBlock(4096, 37.3, 4e6));
        QTemporaryDir folder;
        const std::string path = QDir::toNativeSeparators(folder.filePath(name)).toStdString();
        f.prompts.fileAnswers.push_back(path);
        f.click("saveView");

        QCOMPARE(f.prompts.messages.size(), std::size_t(1));
        const test::RecordedMessage& message = f.prompts.messages[0];
        QVERIFY(message.text.find(path) != std::string::npos);
        QCOMPARE(message.caption, std::string("Analysis"));
        QVERIFY(message.icon == MessageIcon::Error);
        QVERIFY(QDir(folder.path()).isEmpty());
    }

    void cancellingTheSaveDoesNothing() {
        ShownFixture f(test::toneBlock(4096, 37.3, 4e6));
        f.click("saveView");
        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(1));
        QVERIFY(f.prompts.messages.empty());
    }

    // The clipboard gets every figure as the window shows it, one line
    // each, named as its label names it.
    void copyFiguresPutsTheReportOnTheClipboard() {
        ShownFixture f(test::toneBlock(4096, 37.3, 4e6));
        QGuiApplication::clipboard()->clear();
        f.click("copyFigures");
        const QString report = QGuiApplication::clipboard()->text();
        QVERIFY(report.endsWith('\n'));
        const QStringList lines = report.split('\n');
        const std::pair<const char*, const char*> figures[] = {{"Samples", "Samples"},
                                                               {"Mean", "Mean"},
                                                               {"RMS Noise", "RMS Noise"},
                                                               {"SNR", "SNR"},
                                                               {"ENOB (from SINAD)", "ENOB"}};
        for (const auto& [label, name] : figures) {
            const QString line = QString::fromLatin1(label) + ": " + f.figure(name);
            QVERIFY2(lines.contains(line), qPrintable(line));
        }
    }

    // The cursor reads the sample under the mouse: number (from 1), code
    // and volts (2^22 codes: 2.5 V at gain 1, 1.25 V at gain 2); nothing
    // outside the plotted block.
    void cursorReadsTheSampleUnderTheMouse() {
        ShownFixture f({0, -1000, test::kQuarterScale, 1000, 7});
        QCOMPARE(f.cursorAt(3, test::kQuarterScale),
                 QStringLiteral("Sample 3: code 4194304, 2.5000000 V"));
        QCOMPARE(f.cursorAt(2.2, 0), QStringLiteral("Sample 2: code -1000, -596.046 µV"));
        f.chooseGain(2);
        QCOMPARE(f.cursorAt(3, 0), QStringLiteral("Sample 3: code 4194304, 1.2500000 V"));
        QCOMPARE(f.cursorAt(5.4, 0), QStringLiteral("Sample 5: code 7, 2.086 µV"));
        QCOMPARE(f.cursorAt(0.3, 0), QString());
    }

    // The volts axis follows the codes axis through zooms and Vref
    // changes; the plotted codes stay as they were.
    void voltsAxisFollowsTheScale() {
        ShownFixture f(test::alternatingBlock(2000, 0, 1000));
        QTest::mouseClick(f.window.findChild<QRadioButton*>("voltsAxis"), Qt::LeftButton);
        QCustomPlot* block = f.plot("Block plot");
        QCPAxis* volts = block->axisRect()->axes(QCPAxis::atLeft).value(1);
        QVERIFY(volts && volts->visible() && !block->yAxis->visible());
        QCOMPARE(volts->label(), QStringLiteral("Input (µV)"));
        block->yAxis->setRange(-1000, 1000);
        QVERIFY(qAbs(volts->range().upper - 1000 * test::kMicrovoltsPerCode) < 1e-6);
        // At Vref 5 V the block reaches 1.19 mV: the unit goes with it.
        f.typeVref("5");
        QCOMPARE(volts->label(), QStringLiteral("Input (mV)"));
        QVERIFY(qAbs(volts->range().upper - 2 * test::kMicrovoltsPerCode) < 1e-9);
        QCOMPARE(block->graph(0)->data()->at(1)->value, 1000.0);
    }

    // A tone of 64 cycles in 4096 samples sits at bin 64: at 1000 SPS
    // 15.625 Hz, at an unknown rate 64/4096 cycles per sample; its
    // harmonics are marked too.
    void spectrumFollowsTheDataRate() {
        ShownFixture f(test::toneBlock(4096, 64, 4e6), {1, 1000.0, 2.5});
        f.showView(2);
        QCustomPlot* spectrum = f.plot("Spectrum plot");
        const auto markAt = [&](const QString& text) {
            for (int i = 0; i < spectrum->itemCount(); ++i) {
                auto* item = qobject_cast<QCPItemText*>(spectrum->item(i));
                if (item && item->visible() && item->text() == text) {
                    return item->position->key();
                }
            }
            return -1.0;
        };
        QCOMPARE(markAt("F"), 15.625);
        QCOMPARE(markAt("3"), 3 * 15.625);
        QCOMPARE(spectrum->xAxis->label(), QStringLiteral("Frequency (Hz)"));
        QComboBox* rate = f.named<QComboBox>("Data rate");
        rate->setCurrentIndex(rate->findText("Unknown"));
        QCOMPARE(markAt("F"), 64.0 / 4096);
        QCOMPARE(spectrum->xAxis->label(), QStringLiteral("Frequency (cycles/sample)"));
        // A logarithmic axis leaves out bin 0.
        QTest::mouseClick(f.window.findChild<QRadioButton*>("logFrequency"), Qt::LeftButton);
        QCOMPARE(spectrum->xAxis->scaleType(), QCPAxis::stLogarithmic);
        QCOMPARE(spectrum->graph(0)->data()->begin()->key, 1.0 / 4096);
        QTest::mouseClick(f.window.findChild<QRadioButton*>("linearFrequency"), Qt::LeftButton);
        QCOMPARE(spectrum->graph(0)->data()->begin()->key, 0.0);
    }

    // Tick labels use a point under a locale with a decimal comma.
    void ticksReadTheSameInAnyLocale() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        {
            // +-1 code: ticks of tenths of a microvolt.
            ShownFixture f(test::alternatingBlock(2000, 0, 1));
            f.showView(1);
            QCustomPlot* histogram = f.plot("Histogram plot");
            histogram->replot();
            const QString labels = histogram->xAxis2->tickVectorLabels().join(' ');
            QVERIFY2(labels.contains('.') && !labels.contains(','), qPrintable(labels));
        }
        QLocale::setDefault(before);
    }

    // Clearing leaves nothing to plot, save or copy.
    void clearingEmptiesTheViews() {
        ShownFixture f(test::toneBlock(4096, 37.3, 4e6));
        f.window.clearBlock();
        for (const char* name : {"Block plot", "Histogram plot", "Spectrum plot"}) {
            QCustomPlot* plot = f.plot(name);
            for (int i = 0; i < plot->plottableCount(); ++i) {
                QCOMPARE(plot->plottable(i)->interface1D()->dataCount(), 0);
            }
        }
        QVERIFY(!f.window.findChild<QPushButton*>("saveView")->isEnabled());
        QVERIFY(!f.window.findChild<QPushButton*>("copyFigures")->isEnabled());
    }
};

}  // namespace

ORV_REGISTER_TEST(ViewsTest);

#include "test_views.moc"
