// SPDX-License-Identifier: GPL-3.0-or-later
#include <qcustomplot.h>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <chrono>

#include "test_registry.h"
#include "window_fixture.h"

using namespace orv;
using characterise::TrendRow;
using namespace std::chrono_literals;

namespace {

// 2026-12-11T12:00:00Z: where the rows below start.
const characterise::UtcMillis kStart{std::chrono::sys_days{std::chrono::December / 11 / 2026} +
                                     12h};

TrendRow rowAt(std::chrono::milliseconds since, double meanV, double rmsNoiseUv) {
    return {.start = kStart + since, .meanV = meanV, .rmsNoiseUv = rmsNoiseUv};
}

std::vector<double> keys(const QCPGraph* graph) {
    std::vector<double> result;
    for (auto point = graph->data()->constBegin(); point != graph->data()->constEnd(); ++point) {
        result.push_back(point->key);
    }
    return result;
}

std::vector<double> values(const QCPGraph* graph) {
    std::vector<double> result;
    for (auto point = graph->data()->constBegin(); point != graph->data()->constEnd(); ++point) {
        result.push_back(point->value);
    }
    return result;
}

bool near(const std::vector<double>& got, const std::vector<double>& expected) {
    if (got.size() != expected.size()) {
        return false;
    }
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (std::abs(got[i] - expected[i]) > 1e-9 * std::max(1.0, std::abs(expected[i]))) {
            return false;
        }
    }
    return true;
}

struct TrendFixture : test::WindowFixture {
    QCustomPlot* plot() { return named<QCustomPlot>(QStringLiteral("Trend plot")); }
    QCPGraph* mean() { return plot()->graph(0); }
    QCPGraph* noise() { return plot()->graph(1); }
    QTabWidget* views() { return window.findChild<QTabWidget*>("views"); }
    QString origin() { return named<QLabel>(QStringLiteral("Trend origin"))->text(); }
};

}  // namespace

class TrendTest final : public QObject {
    Q_OBJECT
private slots:
    // A trend's means go on the left axis in the unit that fits the largest
    // of them, the RMS noise in µV on the right, over the seconds since the
    // first row; it comes into sight with where it came from.
    void plotsMeanAndNoiseOverTime_data() {
        QTest::addColumn<double>("meanV");  // the first row's; the others are offset by a tenth
        QTest::addColumn<QString>("meanLabel");
        QTest::addColumn<double>("perVolt");
        QTest::addColumn<QString>("lastMean");
        QTest::newRow("offset of a shorted input")
            << 20e-6 << "Mean (\u00B5V)" << 1e6 << "last mean 22.000 \u00B5V";
        QTest::newRow("millivolts") << 5e-3 << "Mean (mV)" << 1e3 << "last mean 5.500000 mV";
        QTest::newRow("volts, negative") << -1.25 << "Mean (V)" << 1.0 << "last mean -1.3750000 V";
    }
    void plotsMeanAndNoiseOverTime() {
        QFETCH(double, meanV);
        QFETCH(QString, meanLabel);
        QFETCH(double, perVolt);
        QFETCH(QString, lastMean);
        TrendFixture f;
        characterise::Trend trend;
        trend.count = 256;
        trend.rows = {rowAt(0ms, meanV, 0.43), rowAt(1500ms, meanV * 1.05, 0.5),
                      rowAt(3250ms, meanV * 1.1, 0.451)};
        f.window.showTrend(trend, QStringLiteral("Trend run.csv"));

        QCOMPARE(f.views()->tabText(f.views()->currentIndex()), QStringLiteral("Trend"));
        QCOMPARE(f.origin(), QStringLiteral("Trend run.csv"));
        QVERIFY(near(keys(f.mean()), {0.0, 1.5, 3.25}));
        QVERIFY(near(keys(f.noise()), {0.0, 1.5, 3.25}));
        QVERIFY(near(values(f.mean()),
                     {meanV * perVolt, meanV * 1.05 * perVolt, meanV * 1.1 * perVolt}));
        QVERIFY(near(values(f.noise()), {0.43, 0.5, 0.451}));
        QCOMPARE(f.plot()->yAxis->label(), meanLabel);
        QCOMPARE(f.noise()->valueAxis(), f.plot()->yAxis2);
        QCOMPARE(f.plot()->yAxis2->label(), QStringLiteral("RMS noise (\u00B5V)"));
        QCOMPARE(f.plot()->xAxis->label(), QStringLiteral("Time since the first block (s)"));
        QVERIFY(f.plot()->legend->visible());
        QCOMPARE(f.plot()->legend->itemCount(), 2);
        QCOMPARE(f.plot()->accessibleDescription(),
                 QStringLiteral("3 blocks; ") + lastMean + QStringLiteral(", RMS noise 0.451 µV"));
    }

    // Rows added one by one keep the unit of the largest mean so far: a
    // row that needs a larger unit brings every earlier point into it.
    void addedRowsKeepOneUnit() {
        TrendFixture f;
        f.window.addTrendRow(rowAt(0ms, 20e-6, 0.4));
        f.window.addTrendRow(rowAt(100ms, -30e-6, 0.4));
        QCOMPARE(f.plot()->yAxis->label(), QStringLiteral("Mean (\u00B5V)"));
        QVERIFY(near(values(f.mean()), {20.0, -30.0}));
        f.window.addTrendRow(rowAt(200ms, 2e-3, 0.4));
        QCOMPARE(f.plot()->yAxis->label(), QStringLiteral("Mean (mV)"));
        QVERIFY(near(values(f.mean()), {0.02, -0.03, 2.0}));
        QVERIFY(near(keys(f.mean()), {0.0, 0.1, 0.2}));
        QVERIFY(f.plot()->accessibleDescription().startsWith(QStringLiteral("3 blocks;")));
    }

    // Hours of blocks read as h:mm:ss; the points stay in seconds.
    void aLongRunReadsInHours() {
        TrendFixture f;
        characterise::Trend trend;
        trend.rows = {rowAt(0ms, 1e-6, 0.2), rowAt(2h, 1e-6, 0.2), rowAt(5h + 30s, 1e-6, 0.2)};
        f.window.showTrend(trend, QStringLiteral("Trend long.csv"));
        QCOMPARE(f.plot()->xAxis->label(), QStringLiteral("Time since the first block (h:mm:ss)"));
        QVERIFY(f.plot()->xAxis->ticker().dynamicCast<QCPAxisTickerTime>());
        QVERIFY(near(keys(f.mean()), {0.0, 7200.0, 18030.0}));
        f.window.showTrend({}, QStringLiteral("Trend short.csv"));
        QCOMPARE(f.plot()->xAxis->label(), QStringLiteral("Time since the first block (s)"));
    }

    // "Save View…" on the Trend tab saves the trend, and only when it
    // has rows; clearing it empties the plot.
    void savingAndClearingTheTrend() {
        TrendFixture f;
        f.window.resize(1100, 700);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.views()->setCurrentIndex(3);
        auto* saveView = f.named<QPushButton>(QStringLiteral("Save View\u2026"));
        QVERIFY(!saveView->isEnabled());
        f.window.addTrendRow(rowAt(0ms, 20e-6, 0.4));
        QVERIFY(saveView->isEnabled());

        QTemporaryDir folder;
        const std::string path = QDir::toNativeSeparators(folder.filePath("t.png")).toStdString();
        f.prompts.fileAnswers.push_back(path);
        QTest::mouseClick(saveView, Qt::LeftButton);
        QCOMPARE(f.prompts.fileChoices.at(0).request.initialPath, std::string("trend.png"));
        QFile saved(QString::fromStdString(path));
        QVERIFY(saved.open(QIODevice::ReadOnly) && saved.readAll().startsWith("\x89PNG"));

        f.window.clearTrend();
        QVERIFY(!saveView->isEnabled());
        QCOMPARE(f.mean()->dataCount(), 0);
        QCOMPARE(f.noise()->dataCount(), 0);
        QCOMPARE(f.origin(), QStringLiteral("No trend"));
        QCOMPARE(f.plot()->accessibleDescription(), QStringLiteral("No blocks"));
    }

    // "Repeat" only tells: the user's toggles are signalled, the owner's
    // are not, and closing the window unchecks it.
    void repeatIsTheUsersToTell() {
        TrendFixture f;
        f.window.show();
        auto* repeat = f.named<QPushButton>(QStringLiteral("Repeat"));
        QVERIFY(repeat && repeat->isCheckable() && !repeat->isChecked());
        QVERIFY(f.named<QLabel>(QStringLiteral("Repeat status")));
        QSignalSpy toggled(&f.window, &AnalysisWindow::repeatToggled);

        QTest::mouseClick(repeat, Qt::LeftButton);
        QVERIFY(f.window.repeating());
        f.window.setRepeating(false);
        f.window.setRepeating(true);
        f.window.close();
        QVERIFY(!f.window.repeating());
        QCOMPARE(toggled.size(), 2);
        QCOMPARE(toggled.at(0).at(0).toBool(), true);
        QCOMPARE(toggled.at(1).at(0).toBool(), false);
    }
};

ORV_REGISTER_TEST(TrendTest);
#include "test_trend.moc"
