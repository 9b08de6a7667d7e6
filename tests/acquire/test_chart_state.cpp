// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquire/chart_state.h"
#include "acquire/scroll.h"
#include "sample_blocks.h"
#include "test_registry.h"

using namespace orv;
using test::ramp;

Q_DECLARE_METATYPE(orv::SampleList)
Q_DECLARE_METATYPE(orv::ScrollRequest)

namespace {

class ChartStateTest final : public QObject {
    Q_OBJECT
private slots:
    void scalesTheBlock_data() {
        QTest::addColumn<SampleList>("samples");
        QTest::addColumn<int>("yCentre");
        QTest::addColumn<float>("yUnit");
        QTest::newRow("1003..1047") << ramp(1003, 1047) << 1020 << 10.0F;
        QTest::newRow("-5000..3000") << ramp(-5000, 3000) << -1000 << 270.0F;
        QTest::newRow("-7..-2") << ramp(-7, -2) << 0 << 10.0F;
        QTest::newRow("one value") << SampleList{1003} << 1000 << 10.0F;
        QTest::newRow("fine centre at 50 from the minimum") << SampleList{0, 100} << 50 << 10.0F;
        QTest::newRow("coarse centre past 50") << SampleList{0, 102} << 50 << 10.0F;
        QTest::newRow("span of 150 needs two tens") << SampleList{0, 300} << 150 << 20.0F;
        // Past 99 tens the same rule goes on.
        QTest::newRow("span 14850") << SampleList{0, 29700} << 14850 << 1000.0F;
        QTest::newRow("full scale") << SampleList{-8388608, 8388607} << 0 << 559250.0F;
    }
    void scalesTheBlock() {
        QFETCH(SampleList, samples);
        QFETCH(int, yCentre);
        QFETCH(float, yUnit);
        const ChartState state = AnalyseSamples(samples);
        QCOMPARE(state.yCentre, yCentre);
        QCOMPARE(state.yUnit, yUnit);
        QCOMPARE(state.minimum, *std::min_element(samples.begin(), samples.end()));
        QCOMPARE(state.maximum, *std::max_element(samples.begin(), samples.end()));
        // Every sample lies strictly inside the grid's 15 rows either side.
        QVERIFY(rowValue(state, 0) < state.minimum);
        QVERIFY(rowValue(state, kGridRows) > state.maximum);
        QCOMPARE(state.xStep, 10);
        QCOMPARE(state.yStep, 10);
        QCOMPARE(state.xScale, 1.0F);
    }

    void averagesTowardZero_data() {
        QTest::addColumn<SampleList>("samples");
        QTest::addColumn<int>("average");
        QTest::newRow("-3 and -4") << SampleList{-3, -4} << -3;
        QTest::newRow("3 and 4") << SampleList{3, 4} << 3;
        QTest::newRow("65535 of the largest") << SampleList(65535, 8388607) << 8388607;
        QTest::newRow("65535 of the smallest") << SampleList(65535, -8388608) << -8388608;
    }
    void averagesTowardZero() {
        QFETCH(SampleList, samples);
        QFETCH(int, average);
        QCOMPARE(AnalyseSamples(samples).average, average);
    }

    void labelsTheGrid() {
        ChartState state = AnalyseSamples(ramp(1003, 1047));
        const auto labels = chartLabels(state, 55, 334);
        QCOMPARE(labels.size(), std::size_t{9 + 7});
        QStringList numbers;
        QStringList values;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            (i < 9 ? numbers : values) << QString::fromStdString(labels[i].text);
        }
        QCOMPARE(numbers, QStringList({"60", "65", "70", "75", "80", "85", "90", "95", "100"}));
        QCOMPARE(values, QStringList({"870", "920", "970", "1020", "1070", "1120", "1170"}));
        // The number under line 5 and the value of the bottom line.
        QCOMPARE((std::array{labels[0].left, labels[0].top, labels[0].right, labels[0].bottom}),
                 (std::array{81, 334 - 22, 117, 334 - 7}));
        QCOMPARE((std::array{labels[9].left, labels[9].top, labels[9].right, labels[9].bottom}),
                 (std::array{2, 334 - 37, 42, 334 - 22}));
    }

    // A block of 100 samples under a thumb 45 wide: the bar runs 0..99 and
    // its thumb stops at 55.
    void scrollsTheView_data() {
        QTest::addColumn<ScrollRequest>("request");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("track");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("thumb");
        using R = ScrollRequest;
        QTest::newRow("line right at the end") << R::LineRight << 55 << 0 << 56 << 55;
        QTest::newRow("line right to the last") << R::LineRight << 98 << 0 << 98 << 55;
        QTest::newRow("line left") << R::LineLeft << 10 << 0 << 9 << 9;
        QTest::newRow("line left at 0") << R::LineLeft << 0 << 0 << 0 << 0;
        QTest::newRow("page right from 0") << R::PageRight << 0 << 0 << 45 << 45;
        QTest::newRow("page right from 45") << R::PageRight << 45 << 0 << 54 << 54;
        QTest::newRow("page right from 54") << R::PageRight << 54 << 0 << 54 << 54;
        QTest::newRow("page left from 50") << R::PageLeft << 50 << 0 << 5 << 5;
        QTest::newRow("page left from 45") << R::PageLeft << 45 << 0 << 0 << 0;
        QTest::newRow("thumb dragged") << R::ThumbTrack << 0 << 55 << 55 << 55;
        QTest::newRow("thumb dropped") << R::ThumbPosition << 0 << 20 << 20 << 20;
        QTest::newRow("left end") << R::LeftEnd << 30 << 0 << 0 << 0;
        QTest::newRow("right end") << R::RightEnd << 0 << 0 << 99 << 55;
        QTest::newRow("end of scrolling") << R::EndScroll << 30 << 0 << 30 << 30;
    }
    void scrollsTheView() {
        QFETCH(ScrollRequest, request);
        QFETCH(int, position);
        QFETCH(int, track);
        QFETCH(int, first);
        QFETCH(int, thumb);
        const ScrollInfo bar{
            .minimum = 0, .maximum = 99, .page = 45, .position = position, .trackPosition = track};
        const int index = scrolledIndex(request, bar);
        QCOMPARE(index, first);
        QCOMPARE(thumbPosition(bar, index), thumb);
    }

    // A block shorter than the page: the bar narrows the page to the range,
    // and a page right goes past the block's end.
    void scrollsAShortBlock() {
        const ScrollInfo bar{.minimum = 0, .maximum = 9, .page = 45, .position = 0};
        QCOMPARE(effectivePage(bar), 10);
        QCOMPARE(scrolledIndex(ScrollRequest::PageRight, bar), 10);
        QCOMPARE(thumbPosition(bar, 10), 0);
    }
};

}  // namespace

ORV_REGISTER_TEST(ChartStateTest);
#include "test_chart_state.moc"
