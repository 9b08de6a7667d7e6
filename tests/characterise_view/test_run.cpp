// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QTimer>

#include "noise_table_fixture.h"
#include "test_registry.h"

using namespace orv;
using characterise::TableFigure;
using test::NoiseTableFixture;

namespace {

// A widget that a compound control is made of (a table's corner button, a
// spin box's field), which the control's own name covers.
bool partOfAnother(const QWidget* widget) {
    for (const QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(parent) ||
            qobject_cast<const QAbstractSpinBox*>(parent) ||
            qobject_cast<const QComboBox*>(parent)) {
            return true;
        }
    }
    return false;
}

const QString kWrittenBack = QStringLiteral("The registers were written back as they were found.");

class RunTest final : public QObject {
    Q_OBJECT
private slots:
    // The table takes the selection's shape and fills exactly its cells
    // with the core's figures of the same run, in the figure "Show" asks
    // for; the registers the run changed (gain, rate, calibration) are as
    // they were, and the busy flag is free again.
    void fillsTheSelectedCells_data() {
        QTest::addColumn<int>("figureCode");
        QTest::newRow("µV RMS") << int(TableFigure::RmsNoiseUv);
        QTest::newRow("effective bits") << int(TableFigure::EffectiveBits);
        QTest::newRow("noise-free bits") << int(TableFigure::NoiseFreeBits);
    }
    void fillsTheSelectedCells() {
        QFETCH(int, figureCode);
        const auto figure = TableFigure(figureCode);
        NoiseTableFixture f;
        const sim::Registers before = f.evm.registers();
        const characterise::SweepPlan plan = test::smallPlan();
        f.run(plan);
        f.show(figure);

        const characterise::SweepOutcome core = test::coreOutcome(plan);
        QCOMPARE(core.cells.size(), std::size_t(4));
        QCOMPARE(f.window->cells().size(), core.cells.size());
        QCOMPARE(f.texts(), NoiseTableFixture::textsOf(plan, core.cells, figure));
        QCOMPARE(f.table()->horizontalHeaderItem(1)->text(), QString("Gain 64"));
        QCOMPARE(f.table()->verticalHeaderItem(1)->text(), QString("30000 SPS"));
        QCOMPARE(f.status(), "Finished: 4 of 4 cells measured. " + kWrittenBack);
        QVERIFY(f.evm.registers() == before);
        QCOMPARE(f.busy, 0);
        QVERIFY(f.prompts.messages.empty());
    }

    // During the run the flag is held, the selection and Start wait, Stop
    // is there; Stop ends the run in its second cell, leaving the first
    // cell and the registers as they were found.
    void stopLeavesTheCellsMeasured_data() {
        QTest::addColumn<bool>("byClosing");
        QTest::newRow("Stop") << false;
        QTest::newRow("closing the window") << true;
    }
    void stopLeavesTheCellsMeasured() {
        QFETCH(bool, byClosing);
        NoiseTableFixture f;
        f.window->show();
        const sim::Registers before = f.evm.registers();
        int busyDuring = -1;
        bool selectionDuring = true;
        bool startDuring = true;
        f.whenCell("Cell 2 of 4", [&] {
            busyDuring = f.busy;
            selectionDuring = f.named<QCheckBox>("64")->isEnabled();
            startDuring = f.named<QPushButton>("Start")->isEnabled();
            if (byClosing) {
                f.window->close();
            } else {
                f.press("Stop");
            }
        });
        const characterise::SweepPlan plan = test::smallPlan();
        f.run(plan);

        QCOMPARE(busyDuring, 1);
        QVERIFY(!selectionDuring);
        QVERIFY(!startDuring);
        const characterise::SweepOutcome core = test::coreOutcome(plan);
        QCOMPARE(f.window->cells().size(), std::size_t(1));
        const std::vector<characterise::NoiseCell> first(core.cells.begin(),
                                                         core.cells.begin() + 1);
        QCOMPARE(f.texts(), NoiseTableFixture::textsOf(plan, first, TableFigure::RmsNoiseUv));
        QCOMPARE(f.status(), "Stopped: 1 of 4 cells measured. " + kWrittenBack);
        QVERIFY(f.evm.registers() == before);
        QCOMPARE(f.busy, 0);
        QVERIFY(f.named<QPushButton>("Start")->isEnabled());
        QVERIFY(!f.named<QPushButton>("Stop")->isEnabled());
        QCOMPARE(f.window->isVisible(), !byClosing);
    }

    // A window deleted while the user interface runs ends the run after
    // that result; the run still writes the registers back and frees the
    // flag, and a failure after that names no window as its owner.
    void aWindowThatGoesAwayEndsTheRun_data() {
        QTest::addColumn<bool>("boardLost");
        QTest::newRow("board there") << false;
        QTest::newRow("board lost too") << true;
    }
    void aWindowThatGoesAwayEndsTheRun() {
        QFETCH(bool, boardLost);
        NoiseTableFixture f;
        const sim::Registers before = f.evm.registers();
        f.whenCell("Cell 2 of 4", [&] {
            QTimer::singleShot(0, [&f, boardLost] {
                delete f.window;
                if (boardLost) {
                    f.bus.unplug(test::kPort);
                }
            });
        });
        f.run(test::smallPlan());
        QVERIFY(!f.window);
        QCOMPARE(f.busy, 0);
        if (!boardLost) {
            QVERIFY(f.evm.registers() == before);
            QVERIFY(f.prompts.messages.empty());
        }
        QCOMPARE(f.prompts.messages.empty(), !boardLost);
        for (const auto& message : f.prompts.messages) {
            QVERIFY(message.owner == nullptr);
        }
    }

    // A board lost in the second cell fails the run: the first cell stays,
    // the status line names the cell that failed and says the registers
    // could not be written back, and the core's message was given.
    void aLostBoardFailsTheRun() {
        NoiseTableFixture f;
        f.whenCell("Cell 2 of 4", [&] { f.bus.unplug(test::kPort); });
        f.run(test::smallPlan());
        QCOMPARE(f.window->cells().size(), std::size_t(1));
        QCOMPARE(f.status(), QString("Failed at gain 64 and 1000 SPS: 1 of 4 cells measured. "
                                     "The registers could not be written back; read them "
                                     "before going on."));
        QVERIFY(!f.prompts.messages.empty());
        QCOMPARE(f.busy, 0);
    }

    // Start while another operation holds the flag does nothing at all.
    void aHeldFlagBlocksStart() {
        NoiseTableFixture f;
        f.busy = 1;
        f.run(test::smallPlan());
        QVERIFY(f.evm.frames().empty());
        QVERIFY(f.window->cells().empty());
        QCOMPARE(f.busy, 1);
        QCOMPARE(f.status(), QString());
    }

    // Without a detected EVM, Start says so and sends nothing.
    void withoutAnEvmStartSaysSo() {
        NoiseTableFixture f(false);
        f.run(test::smallPlan());
        QVERIFY(f.status().startsWith("No EVM is connected"));
        QCOMPARE(f.bus.openCount(test::kPort), 0);
        QVERIFY(f.window->cells().empty());
        QCOMPARE(f.busy, 0);
    }

    // Every control is named for a screen reader; the value displays give
    // their value, and each cell of the table its text.
    void everyControlIsNamed() {
        NoiseTableFixture f;
        f.run(test::smallPlan());
        for (QWidget* control : f.window->findChildren<QWidget*>()) {
            const bool isControl =
                qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
                qobject_cast<QAbstractSpinBox*>(control) || qobject_cast<QProgressBar*>(control) ||
                qobject_cast<QTableWidget*>(control) || qobject_cast<ValueLabel*>(control);
            if (isControl && !partOfAnother(control)) {
                QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
            }
        }
        QAccessibleInterface* estimate =
            QAccessible::queryAccessibleInterface(f.named<ValueLabel>("Estimate"));
        QCOMPARE(estimate->text(QAccessible::Value), f.value("Estimate"));
        QVERIFY(f.value("Estimate").startsWith("At least "));

        QAccessibleTableInterface* table =
            QAccessible::queryAccessibleInterface(f.table())->tableInterface();
        QVERIFY(table);
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 2; ++column) {
                QAccessibleInterface* cell = table->cellAt(row, column);
                QVERIFY(!f.table()->item(row, column)->text().isEmpty());
                QCOMPARE(cell->text(QAccessible::Name), f.table()->item(row, column)->text());
            }
        }
    }
};

}  // namespace

ORV_REGISTER_TEST(RunTest);
#include "test_run.moc"
