// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QProgressBar>
#include <QScrollBar>

#include "acquire/chart_view.h"
#include "device/panel_data.h"
#include "panel_fixture.h"
#include "test_registry.h"

using namespace orv;
using test::PanelFixture;

namespace {

// STATUS, MUX, ADCON, DRATE, IO, OFC0..2, FSC0..2.
constexpr sim::Registers kRegisters = {0x31, 0x23, 0x6B, 0x72, 0xF0, 0x01,
                                       0x02, 0x03, 0x3E, 0x5A, 0x45};

const char* const kPageNames[] = {"muxPage", "clocksPage", "gpioPage",   "powerPage",
                                  "calPage", "statusPage", "allRegsPage"};

}  // namespace

class PanelTest : public QObject {
    Q_OBJECT
private slots:
    void detectionOpensThePanelInsideTheMainWindow() {
        PanelFixture f;
        QVERIFY(!f.panel());
        f.detect();
        ZN410Dlg* panel = f.panel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->pos(), QPoint(15, 55));
        QVERIFY(panel->parentWidget()->rect().contains(panel->geometry()));
        QCOMPARE(f.tabs()->count(), 7);
        QCOMPARE(f.tabs()->tabText(3), QString("Power && Ref"));
        QCOMPARE(f.dataCount()->text(), QString("45"));
        QCOMPARE(f.control<QComboBox>("gainList")->count(), 7);
        QCOMPARE(f.control<QComboBox>("dataRateList")->count(), 16);
    }

    // The grid reaches x = 501, the top value number starts at H - 337.
    void chartAreaHoldsTheWholeGrid() {
        PanelFixture f;
        f.detect();
        const QSize size = f.control<ChartView>("chartArea")->pictureSize();
        QVERIFY2(size.width() >= 502 && size.height() >= 337,
                 qPrintable(QString("%1 x %2").arg(size.width()).arg(size.height())));
    }

    void everyControlHasAName() {
        PanelFixture f;
        f.detect();
        for (QWidget* widget : f.panel()->findChildren<QWidget*>()) {
            const bool control =
                qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                qobject_cast<QAbstractButton*>(widget) || qobject_cast<QScrollBar*>(widget) ||
                qobject_cast<QProgressBar*>(widget) || qobject_cast<QTabBar*>(widget);
            if (!control || widget->parentWidget()->inherits("QComboBox")) {
                continue;
            }
            const auto* button = qobject_cast<QAbstractButton*>(widget);
            QVERIFY2(!widget->accessibleName().isEmpty() || (button && !button->text().isEmpty()),
                     qPrintable(widget->objectName()));
        }
    }

    void tabsShowOnePageAndHideWriteAndReadOnCal_data() {
        QTest::addColumn<int>("tab");
        for (int tab = 0; tab < 7; ++tab) {
            QTest::newRow(kPageNames[tab]) << tab;
        }
    }
    void tabsShowOnePageAndHideWriteAndReadOnCal() {
        QFETCH(int, tab);
        PanelFixture f;
        f.detect();
        f.selectTab(4);
        f.selectTab(tab);
        for (int page = 0; page < 7; ++page) {
            QCOMPARE(f.control<QWidget>(kPageNames[page])->isVisible(), page == tab);
        }
        QCOMPARE(f.control<QPushButton>("writeButton")->isVisible(), tab != 4);
        QCOMPARE(f.control<QPushButton>("readButton")->isVisible(), tab != 4);
    }

    void pagesShareOnePlaceInTheTabArea() {
        PanelFixture f;
        f.detect();
        const QRect mux = f.control<QWidget>("muxPage")->geometry();
        QCOMPARE(mux.topLeft(), QPoint(40, 70));
        for (const char* name : kPageNames) {
            QCOMPARE(f.control<QWidget>(name)->geometry(), mux);
        }
    }

    void dataCountAboveTheLimitIsRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("messageAtChar");  // 0: no message
        QTest::newRow("70000") << "70000"
                               << "65535" << 5;
        QTest::newRow("65535") << "65535"
                               << "65535" << 0;
        QTest::newRow("four digits are not checked") << "9999"
                                                     << "9999" << 0;
        QTest::newRow("leading digits only") << "1A2B3"
                                             << "1A2B3" << 0;
        QTest::newRow("a sixth digit does not fit") << "655369"
                                                    << "65535" << 5;
    }
    void dataCountAboveTheLimitIsRefused() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, messageAtChar);
        PanelFixture f;
        f.detect();
        f.dataCount()->clear();
        f.dataCount()->setFocus();
        for (int i = 0; i < typed.size(); ++i) {
            QTest::keyClick(f.dataCount(), typed[i].toLatin1());
            const bool shownBy = messageAtChar > 0 && i + 1 >= messageAtChar;
            QCOMPARE(f.prompts.messages.size(), std::size_t(shownBy ? 1 : 0));
        }
        if (messageAtChar > 0) {
            QCOMPARE(f.prompts.messages[0].text,
                     std::string("Data count should be less than 65536 !"));
            QCOMPARE(f.prompts.messages[0].caption, std::string("Error occured !"));
            QCOMPARE(f.prompts.messages[0].owner, static_cast<QWidget*>(f.panel()));
        }
        QCOMPARE(f.dataCount()->text(), shown);
    }

    void gainChoiceGoesIntoBothAdconCopiesAndSendsNothing() {
        PanelFixture f(kRegisters);
        f.detect();
        QCOMPARE(f.data().clocks.adcon, std::uint8_t{0x6B});
        f.data().power.adcon = 0x73;
        f.evm.clearFrames();
        auto* gain = f.control<QComboBox>("gainList");
        QCOMPARE(gain->currentText(), QString("8"));
        gain->setFocus();
        QTest::keyClick(gain, Qt::Key_Down);
        QCOMPARE(gain->currentText(), QString("16"));
        QCOMPARE(f.data().clocks.adcon, std::uint8_t{0x6C});
        QCOMPARE(f.data().power.adcon, std::uint8_t{0x74});
        QVERIFY(f.evm.frames().empty());
    }

    // The data-rate code is always that of the item the list shows.
    void dataRateCodeFollowsTheList() {
        PanelFixture f(kRegisters);
        f.detect();
        auto* rate = f.control<QComboBox>("dataRateList");
        QCOMPARE(rate->currentText(), QString("      60 SPS"));
        QCOMPARE(f.data().dataRateCode, std::uint8_t{0x72});
        rate->setFocus();
        QTest::keyClick(rate, Qt::Key_Down);
        QCOMPARE(f.data().dataRateCode, std::uint8_t{0x82});
    }

    void unknownDataRateKeepsTheFirstItem() {
        sim::Registers registers = kRegisters;
        registers[DRATE] = 0x00;
        PanelFixture f(registers);
        f.detect();
        QCOMPARE(f.control<QComboBox>("dataRateList")->currentIndex(), 0);
        QCOMPARE(f.data().dataRateCode, std::uint8_t{0x03});
    }

    void readFillsTheImageTheCopiesAndTheReadColumn() {
        PanelFixture f(kRegisters);
        f.detect();
        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.data().image, RegisterImage(kRegisters));
        QCOMPARE(f.data().allRegs.readValues, RegisterBytes(kRegisters));
        QCOMPARE(f.readField("ADCON"), QString("6B"));
        QCOMPARE(f.readField("FSC2"), QString("45"));
        QCOMPARE(f.data().mux.value, std::uint8_t{0x23});
        QCOMPARE(f.data().gpio.read, std::uint8_t{0xF0});
        QCOMPARE(f.data().status.status, std::uint8_t{0x31});
        QCOMPARE(f.data().power.adcon, std::uint8_t{0x6B});
        QCOMPARE(f.data().cal.calibration,
                 (std::array<std::uint8_t, 6>{1, 2, 3, 0x3E, 0x5A, 0x45}));
        QCOMPARE(f.control<QComboBox>("gainList")->currentText(), QString("8"));
    }

    // A wrong reply zeroes its register and stops the Read before anything
    // is shown.
    void failedReadStopsAtTheRegisterAndShowsNothing() {
        PanelFixture f(kRegisters);
        f.evm.setFault({.kind = sim::FaultKind::WrongCheck,
                        .command = Command::ReadReg,
                        .address = std::uint8_t{ADCON}});
        f.data().image[ADCON] = 0x55;
        f.data().image[DRATE] = 0x66;
        f.detect();
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{"Read Register Address 02 Failed !"});
        QCOMPARE(f.prompts.messages[0].caption, std::string("Error occured !"));
        QCOMPARE(f.data().image[MUX], std::uint8_t{0x23});
        QCOMPARE(f.data().image[ADCON], std::uint8_t{0});
        QCOMPARE(f.data().image[DRATE], std::uint8_t{0x66});
        QCOMPARE(f.readField("MUX"), QString());
        QCOMPARE(f.data().mux.value, std::uint8_t{0});
        QVERIFY(f.control<QPushButton>("readButton")->isEnabled());
        QCOMPARE(f.data().busy, 0);
    }

    void readButtonReadsAgain() {
        PanelFixture f(kRegisters);
        f.detect();
        f.evm.setRegister(MUX, 0x45);
        f.evm.clearFrames();
        QTest::mouseClick(f.control<QPushButton>("readButton"), Qt::LeftButton);
        QCOMPARE(f.evm.frames().size(), std::size_t{11});
        QCOMPARE(f.readField("MUX"), QString("45"));
    }

    void busyFlagRefusesReadSilently() {
        PanelFixture f(kRegisters);
        f.detect();
        f.evm.clearFrames();
        f.data().busy = 1;
        QTest::mouseClick(f.control<QPushButton>("readButton"), Qt::LeftButton);
        QVERIFY(f.evm.frames().empty());
        QVERIFY(f.control<QPushButton>("readButton")->isEnabled());
        QCOMPARE(f.data().busy, 1);
    }

    void secondDetectionBuildsAFreshPanel() {
        PanelFixture f(kRegisters);
        f.detect();
        QPointer<ZN410Dlg> first = f.panel();
        f.selectTab(6);
        f.dataCount()->setText("100");
        f.writeField("MUX")->setText("77");
        // What the EVM holds now differs from what the panel last read.
        f.data().image[MUX] = 0x99;
        f.allRegs()->showReadField(MUX, 0x99);
        f.detect();
        QVERIFY(first.isNull());
        QCOMPARE(f.tabs()->currentIndex(), 0);
        QVERIFY(f.control<QWidget>("muxPage")->isVisible());
        QVERIFY(!f.allRegs()->isVisible());
        QCOMPARE(f.dataCount()->text(), QString("45"));
        QCOMPARE(f.readField("MUX"), QString("23"));
        QCOMPARE(f.writeField("MUX")->text(), QString("00"));
        QCOMPARE(f.data().image[MUX], std::uint8_t{0x23});
    }

    void noPanelWhenTheScanFindsNothing() {
        PanelFixture f;
        f.detect();
        QVERIFY(f.panel());
        f.evm.setFault({.kind = sim::FaultKind::NoAnswer});
        f.detect();
        QVERIFY(!f.panel());
    }

    void enterAndEscapeCloseNothing_data() {
        QTest::addColumn<QByteArray>("control");
        QTest::newRow("data count") << QByteArray("dataCount");
        QTest::newRow("read button") << QByteArray("readButton");
        QTest::newRow("all regs write field") << QByteArray("writeSTATUS");
    }
    // With "Read" as the window's default button, Enter would press it and
    // Escape would close the window, were it not for the filter.
    void enterAndEscapeCloseNothing() {
        QFETCH(QByteArray, control);
        PanelFixture f;
        f.detect();
        f.selectTab(6);
        f.control<QPushButton>("readButton")->setDefault(true);
        auto* widget = f.control<QWidget>(control.constData());
        widget->setFocus();
        f.evm.clearFrames();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(widget, key);
        }
        QVERIFY(f.window.isVisible());
        QVERIFY(f.panel()->isVisible());
        QVERIFY(f.evm.frames().empty());
        QVERIFY(f.prompts.messages.empty());
    }
};

ORV_REGISTER_TEST(PanelTest);

#include "test_panel.moc"
