// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>

#include "acquire/chart_image.h"
#include "acquire/chart_view.h"
#include "acquire/swatch.h"
#include "acquisition_fixture.h"
#include "controls/colour_ref.h"
#include "device/panel_data.h"
#include "test_registry.h"

using namespace orv;
using test::AcquisitionFixture;

Q_DECLARE_METATYPE(orv::sim::Fault)

namespace {

QByteArray bytesOf(const RawBlock& block) {
    return QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size()));
}

class AcquisitionTest final : public QObject {
    Q_OBJECT
private slots:
    void requestsTheDataCount_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << "" << QByteArray::fromHex("55010F002DC3") << "45";
        QTest::newRow("zero") << "0" << QByteArray::fromHex("55010F002DC3") << "45";
        QTest::newRow("45") << "45" << QByteArray::fromHex("55010F002DC3") << "45";
        QTest::newRow("digits then a letter")
            << "1a" << QByteArray::fromHex("55010F0001EF") << "1a";
        QTest::newRow("largest") << "65535" << QByteArray::fromHex("55010FFFFFF2") << "65535";
        // Pasted texts, which typing cannot give.
        QTest::newRow("trailing space") << "100 " << QByteArray::fromHex("55010F00648C") << "100 ";
        QTest::newRow("decimal point") << "4.5" << QByteArray::fromHex("55010F0004EC") << "4.5";
        QTest::newRow("minus sign") << "-5" << QByteArray::fromHex("55010F002DC3") << "45";
        QTest::newRow("space first") << " 12" << QByteArray::fromHex("55010F002DC3") << "45";
    }
    void requestsTheDataCount() {
        QFETCH(QString, text);
        QFETCH(QByteArray, frame);
        QFETCH(QString, shown);
        AcquisitionFixture f;
        f.collect(text);
        QCOMPARE(f.sent(), frame);
        QCOMPARE(f.dataCount()->text(), shown);
        const auto count = std::size_t(std::uint8_t(frame[3])) << 8 | std::uint8_t(frame[4]);
        QCOMPARE(f.data().samples.size(), count);
        QCOMPARE(f.panel()->rawBlock().size(), 4 * count);
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(f.control<QPushButton>("startButton")->isEnabled());
        QCOMPARE(f.data().busy, 0);
    }

    void showsTheBlock() {
        AcquisitionFixture f;
        f.collect("100");
        const SampleList& samples = f.data().samples;
        QCOMPARE(bytesOf(f.data().sampleItems), bytesOf(f.panel()->rawBlock()));
        SampleList decoded;
        BuildSampleList(f.panel()->rawBlock(), 100, decoded);
        QCOMPARE(samples, decoded);
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        QCOMPARE(f.field("minimum"), QString::number(*low));
        QCOMPARE(f.field("maximum"), QString::number(*high));
        QCOMPARE(f.field("average"), QString::number(f.data().chart.average));
        QVERIFY(*low < *high);
        QCOMPARE(f.chart()->picture(), f.expectedChart(0));
        QCOMPARE(f.scrollBar()->minimum(), 0);
        QCOMPARE(f.scrollBar()->maximum(), 55);
        QCOMPARE(f.scrollBar()->pageStep(), 45);
    }

    // Each failure keeps the previous block, its statistics and its chart;
    // the raw block holds what arrived of the new request.
    void keepsThePreviousBlockOnFailure_data() {
        QTest::addColumn<sim::Fault>("fault");
        QTest::addColumn<std::string>("text");
        QTest::addColumn<std::string>("caption");
        QTest::addColumn<int>("itemsKept");
        using sim::FaultKind;
        QTest::newRow("bad check bytes at 3 and 7")
            << sim::Fault{.kind = FaultKind::BadChecksum, .items = {3, 7}}
            << std::string("The checksum of item 3 is invalid !") << std::string("Error !") << 45;
        QTest::newRow("silent after 10")
            << sim::Fault{.kind = FaultKind::SilentAfter, .count = 10}
            << std::string("Get item 10 failed !") << std::string("Error !") << 10;
        QTest::newRow("gone after 5")
            << sim::Fault{.kind = FaultKind::HangUpAfter, .count = 5}
            << std::string("Get item 5 failed !") << std::string("Error !") << 5;
    }
    void keepsThePreviousBlockOnFailure() {
        QFETCH(sim::Fault, fault);
        QFETCH(std::string, text);
        QFETCH(std::string, caption);
        QFETCH(int, itemsKept);
        AcquisitionFixture f;
        f.collect("20");
        const SampleList before = f.data().samples;
        const QImage chart = f.chart()->picture();
        const QString minimum = f.field("minimum");
        f.evm.setFault(fault);
        f.collect("45");
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{text});
        QCOMPARE(f.prompts.messages[0].caption, caption);
        QCOMPARE(f.prompts.messages[0].owner, f.panel());
        QCOMPARE(f.data().samples, before);
        QCOMPARE(f.chart()->picture(), chart);
        QCOMPARE(f.field("minimum"), minimum);
        // The raw block belongs to the failed request, filled as far as it came.
        const RawBlock& raw = f.panel()->rawBlock();
        QCOMPARE(raw.size(), std::size_t{180});
        QVERIFY(std::any_of(raw.begin(), raw.begin() + 4 * itemsKept, [](auto b) { return b; }));
        QVERIFY(std::all_of(raw.begin() + 4 * itemsKept, raw.end(), [](auto b) { return !b; }));
        QCOMPARE(f.scrollBar()->maximum(), 0);
        QCOMPARE(f.progress()->value(), 0);
        QVERIFY(f.control<QPushButton>("startButton")->isEnabled());
    }

    void reportsAnUnsentCommand() {
        AcquisitionFixture f;
        f.link.ClosePort();
        f.collect("45");
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{"Send command failed !"});
        QCOMPARE(f.prompts.messages[0].caption, std::string("Error"));
        QVERIFY(f.data().samples.empty());
    }

    // Full only after the last item, empty again when the collection ends.
    void movesTheProgressBar() {
        AcquisitionFixture f;
        f.collect("45");
        QCOMPARE(f.positions.back(), 0);
        QCOMPARE(f.positions[f.positions.size() - 2], 100);
        QVERIFY(
            std::all_of(f.positions.begin(), f.positions.end() - 2, [](int p) { return p < 100; }));

        f.positions.clear();
        f.evm.setFault({.kind = sim::FaultKind::SilentAfter, .count = 30});
        f.collect("45");
        QCOMPARE(f.positions.back(), 0);
        QVERIFY(*std::max_element(f.positions.begin(), f.positions.end()) < 100);
    }

    // While a collection runs nothing else may talk to the EVM, and the
    // panel window must stay.
    void refusesWhatWouldDisturbACollection() {
        AcquisitionFixture f;
        const QPointer<ZN410Dlg> panel = f.panel();
        bool startEnabled = true;
        f.during([&] {
            startEnabled = f.control<QPushButton>("startButton")->isEnabled();
            for (const char* name :
                 {"writeButton", "readButton", "startButton", "standbyButton", "powerDownButton",
                  "wakeupButton", "onButton", "selfOffsetButton", "setButton", "calReadButton"}) {
                f.control<QAbstractButton>(name)->click();
            }
            f.window.findChild<QPushButton*>("detectEvmButton")->click();
        });
        f.collect("45");
        QVERIFY(f.duringCollection);
        QVERIFY(!startEnabled);
        QCOMPARE(f.sent(), QByteArray::fromHex("55010F002DC3"));
        QCOMPARE(f.panel(), panel.data());
        QCOMPARE(f.data().samples.size(), std::size_t{45});
        QVERIFY(f.prompts.messages.empty());
    }

    void closingEndsTheCollectionFirst() {
        AcquisitionFixture f;
        f.during([&] { f.window.close(); });
        f.collect("45");
        QVERIFY(f.duringCollection);
        QVERIFY(!f.window.isVisible());
        QVERIFY(f.data().samples.empty());
        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.data().busy, 0);
        QCOMPARE(f.progress()->value(), 0);
    }

    // Nothing of the tool removes the panel during a collection; if
    // something did, the collection would end without touching it.
    void aPanelGoneDuringACollectionIsLeftAlone() {
        AcquisitionFixture f;
        f.dataCount()->setText("45");
        ZN410Dlg* panel = f.panel();
        f.during([&] { delete panel; });
        panel->StartAcquisition();
        QVERIFY(f.duringCollection);
        QCOMPARE(f.data().busy, 0);
        QVERIFY(f.data().samples.empty());
        f.detect();
        f.collect("45");
        QCOMPARE(f.data().samples.size(), std::size_t{45});
    }

    // A block under a thumb 45 wide: each action ends with the chart drawn
    // from where the thumb stopped, 55 at most in a block of 100.
    void scrollsTheChart_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QList<int>>("actions");
        QTest::addColumn<int>("first");
        using S = QAbstractSlider;
        QTest::newRow("line right") << "100" << QList<int>{S::SliderSingleStepAdd} << 1;
        QTest::newRow("to the end, line right")
            << "100" << QList<int>{S::SliderToMaximum, S::SliderSingleStepAdd} << 55;
        QTest::newRow("right end") << "100" << QList<int>{S::SliderToMaximum} << 55;
        QTest::newRow("page right") << "100" << QList<int>{S::SliderPageStepAdd} << 45;
        QTest::newRow("page right twice")
            << "100" << QList<int>{S::SliderPageStepAdd, S::SliderPageStepAdd} << 54;
        QTest::newRow("page right three times")
            << "100" << QList<int>{S::SliderPageStepAdd, S::SliderPageStepAdd, S::SliderPageStepAdd}
            << 54;
        QTest::newRow("line left at 0") << "100" << QList<int>{S::SliderSingleStepSub} << 0;
        QTest::newRow("page right, left end")
            << "100" << QList<int>{S::SliderPageStepAdd, S::SliderToMinimum} << 0;
        QTest::newRow("page right, shorter than a page")
            << "30" << QList<int>{S::SliderPageStepAdd} << 0;
    }
    void scrollsTheChart() {
        QFETCH(QString, count);
        QFETCH(QList<int>, actions);
        QFETCH(int, first);
        AcquisitionFixture f;
        f.collect(count);
        for (const int action : actions) {
            f.scrollBar()->triggerAction(QAbstractSlider::SliderAction(action));
        }
        QCOMPARE(f.chart()->picture(), f.expectedChart(first));
        QCOMPARE(f.scrollBar()->value(), first);
    }

    void dragsTheThumb() {
        AcquisitionFixture f;
        f.collect("100");
        f.scrollBar()->setSliderDown(true);
        f.scrollBar()->setSliderPosition(55);
        f.scrollBar()->setSliderDown(false);
        QCOMPARE(f.chart()->picture(), f.expectedChart(55));
        QCOMPARE(f.scrollBar()->value(), 55);
    }

    // A paint the window system asks for draws from sample 0 again.
    void repaintStartsAgainAtTheFirstSample() {
        AcquisitionFixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.collect("100");
        f.scrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(f.chart()->picture(), f.expectedChart(45));
        // Covered and uncovered again.
        f.panel()->hide();
        f.panel()->show();
        QCoreApplication::processEvents();
        QCOMPARE(f.chart()->picture(), f.expectedChart(0));
        QCOMPARE(f.scrollBar()->value(), 45);
    }

    // The new colour shows on its swatch at once, on the chart next time.
    void choosesASwatchColour() {
        AcquisitionFixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.collect("100");
        const QImage chart = f.chart()->picture();
        auto* swatch = f.control<Swatch>("gridColor");
        f.prompts.colourAnswers = {0x00FF00FF};
        QTest::mouseClick(swatch, Qt::LeftButton);
        QCOMPARE(f.prompts.colourChoices.size(), std::size_t{1});
        QCOMPARE(f.prompts.colourChoices[0].initial, 0x008000U);
        QCOMPARE(f.prompts.colourChoices[0].owner, f.panel());
        QCOMPARE(f.panel()->colours().grid, 0x00FF00FFU);
        const QImage painted = swatch->grab().toImage();
        QCOMPARE(toColourRef(painted.pixelColor(painted.rect().center())), 0x00FF00FFU);
        QCOMPARE(f.chart()->picture(), chart);
        f.chart()->repaint();
        QCOMPARE(toColourRef(f.chart()->picture().pixelColor(50, 0)), 0x00FF00FFU);

        QTest::mouseClick(swatch, Qt::LeftButton);  // cancelled
        QCOMPARE(f.prompts.colourChoices.size(), std::size_t{2});
        QCOMPARE(f.panel()->colours().grid, 0x00FF00FFU);
    }
};

}  // namespace

ORV_REGISTER_TEST(AcquisitionTest);
#include "test_acquisition.moc"
