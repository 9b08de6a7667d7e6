// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "device/panel_data.h"
#include "panel_fixture.h"
#include "test_registry.h"

using namespace orv;
using test::PanelFixture;
using test::writeFrame;

namespace {

// The panel after its opening Read of the power-on registers with one
// register changed, on `tab`, with the EVM's log cleared.
struct PageFixture : PanelFixture {
    PageFixture(int tab, std::uint8_t address, std::uint8_t value)
        : PanelFixture(withRegister(address, value)) {
        detect();
        selectTab(tab);
        evm.clearFrames();
    }
    static sim::Registers withRegister(std::uint8_t address, std::uint8_t value) {
        sim::Registers registers = sim::kPowerOnRegisters;
        registers[address] = value;
        return registers;
    }
    bool checked(const char* name) { return control<QAbstractButton>(name)->isChecked(); }
    QString text(const char* name) {
        if (auto* label = control<QLabel>(name)) {
            return label->text();
        }
        return control<QLineEdit>(name)->text();
    }
    QString listText(const char* name) { return control<QComboBox>(name)->currentText(); }
};

// The channel checked in a MUX column ("AIN+" or "AIN-"); -1 for none and
// -2 for more than one.
int checkedChannel(PageFixture& f, const char* column) {
    int found = -1;
    for (int k = 0; k <= kAinCom; ++k) {
        if (f.checked(qPrintable(QString("%1%2").arg(column).arg(k)))) {
            found = found == -1 ? k : -2;
        }
    }
    return found;
}

}  // namespace

class PagesTest : public QObject {
    Q_OBJECT
private slots:
    void readShowsTheImageOnTheLists() {
        sim::Registers registers = sim::kPowerOnRegisters;
        registers[ADCON] = 0x2D;
        registers[DRATE] = 0x72;
        PanelFixture f(registers);
        f.detect();
        QCOMPARE(f.control<QComboBox>("dataRateList")->currentText(), QString("      60 SPS"));
        QCOMPARE(f.control<QComboBox>("gainList")->currentText(), QString("32"));
        QCOMPARE(f.control<QComboBox>("sensorCurrentList")->currentText(), QString("0.5 uA"));
        QCOMPARE(f.control<QComboBox>("clockOutList")->currentText(), QString("f_CLKIN"));
        QCOMPARE(f.control<QLineEdit>("clockOut")->text(), QString("7.680000MHz"));
    }

    // A Read that fails shows nothing new on any page.
    void failedReadLeavesEveryPageAsItWas() {
        PageFixture f(0, MUX, 0x23);
        f.evm.setRegister(MUX, 0x45);
        f.evm.setRegister(STATUS, 0x3E);
        f.evm.setFault({.kind = sim::FaultKind::WrongCheck,
                        .command = Command::ReadReg,
                        .address = std::uint8_t{ADCON}});
        f.click("readButton");
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{"Read Register Address 02 Failed !"});
        QCOMPARE(f.data().image[MUX], std::uint8_t{0x45});
        QCOMPARE(f.data().image[ADCON], std::uint8_t{0x00});
        QCOMPARE(checkedChannel(f, "AIN+"), 2);
        QCOMPARE(f.data().mux.value, std::uint8_t{0x23});
        QCOMPARE(f.text("id"), QString("03"));
        QVERIFY(!f.checked("bufferEnable"));
        QCOMPARE(f.readField("MUX"), QString("23"));
        QVERIFY(f.control<QPushButton>("readButton")->isEnabled());
    }

    void muxClicksFormTheValue_data() {
        QTest::addColumn<int>("positive");
        QTest::addColumn<int>("negative");
        QTest::addColumn<int>("value");
        QTest::newRow("AIN3 - AINCOM") << 3 << kAinCom << 0x38;
        QTest::newRow("AINCOM - AIN3") << kAinCom << 3 << 0x83;
    }
    void muxClicksFormTheValue() {
        QFETCH(int, positive);
        QFETCH(int, negative);
        QFETCH(int, value);
        PageFixture f(0, MUX, 0x01);
        f.click(qPrintable(QString("AIN+%1").arg(positive)));
        f.click(qPrintable(QString("AIN-%1").arg(negative)));
        QCOMPARE(f.data().mux.value, std::uint8_t(value));
        QCOMPARE(checkedChannel(f, "AIN+"), positive);
        QVERIFY(f.evm.frames().empty());
    }

    // A nibble above 7 shows as AINCOM and is kept as it is.
    void muxReadShowsBothColumns_data() {
        QTest::addColumn<int>("mux");
        QTest::addColumn<int>("positive");
        QTest::addColumn<int>("negative");
        QTest::newRow("08") << 0x08 << 0 << kAinCom;
        QTest::newRow("9A") << 0x9A << kAinCom << kAinCom;
        QTest::newRow("76") << 0x76 << 7 << 6;
    }
    void muxReadShowsBothColumns() {
        QFETCH(int, mux);
        QFETCH(int, positive);
        QFETCH(int, negative);
        PageFixture f(0, MUX, std::uint8_t(mux));
        QCOMPARE(checkedChannel(f, "AIN+"), positive);
        QCOMPARE(checkedChannel(f, "AIN-"), negative);
        QCOMPARE(f.data().mux.value, std::uint8_t(mux));
        f.write();
        QCOMPARE(f.sent().isEmpty(), positive == negative);
        QCOMPARE(f.prompts.messages.size(), std::size_t(positive == negative ? 1 : 0));
    }

    void clocksReadSelectsTheClockOutput_data() {
        QTest::addColumn<int>("adcon");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("clockOut");
        QTest::newRow("20") << 0x20 << "f_CLKIN"
                            << "7.680000MHz";
        QTest::newRow("40") << 0x40 << "f_CLKIN/2"
                            << "3.840000MHz";
        QTest::newRow("60") << 0x60 << "f_CLKIN/4"
                            << "1.920000MHz";
        QTest::newRow("00") << 0x00 << "Off"
                            << "0.000000MHz";
    }
    void clocksReadSelectsTheClockOutput() {
        QFETCH(int, adcon);
        QFETCH(QString, item);
        QFETCH(QString, clockOut);
        PageFixture f(1, ADCON, std::uint8_t(adcon));
        QCOMPARE(f.listText("clockOutList"), item);
        QCOMPARE(f.text("clockOut"), clockOut);
        QCOMPARE(f.text("clockIn"), QString("7.680000MHz"));
        QCOMPARE(f.text("clockSource"), QString("Crystal"));
        QCOMPARE(f.data().clocks.adcon, std::uint8_t(adcon));
    }

    void clockOutChoiceChangesOnlyItsBits() {
        PageFixture f(1, ADCON, 0x27);
        f.choose("clockOutList", 2);
        QCOMPARE(f.data().clocks.adcon, std::uint8_t{0x47});
        QCOMPARE(f.data().power.adcon, std::uint8_t{0x27});
        QCOMPARE(f.text("clockOut"), QString("3.840000MHz"));
        QVERIFY(f.evm.frames().empty());
    }

    void gpioReadShowsDirectionsAndLevels() {
        PageFixture f(2, IO, 0xE1);
        for (const char* pin : {"D3", "D2", "D1"}) {
            QVERIFY(f.checked(qPrintable(QString("input") + pin)));
            QVERIFY(!f.checked(qPrintable(QString("output") + pin)));
        }
        QVERIFY(f.checked("outputD0"));
        QVERIFY(!f.checked("inputD0"));
        QStringList levels;
        for (const char* pin : {"D3", "D2", "D1", "D0"}) {
            levels << f.text(qPrintable(QString("inputLevel") + pin));
        }
        QCOMPARE(levels, QStringList({"L", "L", "L", "H"}));
        // What the page shows is what a Write from it sends.
        QCOMPARE(f.data().gpio.output, std::uint8_t{0xE1});
        QCOMPARE(f.control<QPushButton>("levelD0")->text(), QString("H"));
        f.write();
        QVERIFY(f.sent().startsWith(writeFrame(IO, 0xE1)));
    }

    void gpioButtonsChangeTheOutputValue() {
        PageFixture f(2, IO, 0x00);
        f.click("levelD0");
        QCOMPARE(f.control<QPushButton>("levelD0")->text(), QString("H"));
        QCOMPARE(f.data().gpio.output, std::uint8_t{0x01});
        f.click("levelD0");
        QCOMPARE(f.control<QPushButton>("levelD0")->text(), QString("L"));
        QCOMPARE(f.data().gpio.output, std::uint8_t{0x00});
        f.click("inputD3");
        f.click("inputD1");
        QCOMPARE(f.data().gpio.output, std::uint8_t{0xA0});
        f.click("levelD2");
        QCOMPARE(f.data().gpio.output, std::uint8_t{0xA4});
        f.click("outputD3");
        QCOMPARE(f.data().gpio.output, std::uint8_t{0x24});
        QCOMPARE(f.data().gpio.read, std::uint8_t{0x00});
        QVERIFY(f.evm.frames().empty());
    }

    void sensorCurrentReadAndChoice() {
        PageFixture f(3, ADCON, 0x18);
        QCOMPARE(f.listText("sensorCurrentList"), QString("10 uA"));
        QCOMPARE(f.text("vref"), QString("2.5V"));
        f.data().power.adcon = 0x07;
        f.choose("sensorCurrentList", 2);
        QCOMPARE(f.data().power.adcon, std::uint8_t{0x17});
        QCOMPARE(f.data().clocks.adcon, std::uint8_t{0x18});
    }

    // Which of "Standby" and "Power Down" is enabled is the power mode.
    void powerButtonsKeepTheMode() {
        PageFixture f(3, ADCON, 0x20);
        const auto enabled = [&] {
            return std::pair{f.control<QPushButton>("standbyButton")->isEnabled(),
                             f.control<QPushButton>("powerDownButton")->isEnabled()};
        };
        f.click("standbyButton");
        QCOMPARE(enabled(), std::pair(true, false));
        f.click("standbyButton");
        QCOMPARE(enabled(), std::pair(true, false));
        f.click("wakeupButton");
        QCOMPARE(enabled(), std::pair(true, true));
        f.click("powerDownButton");
        QCOMPARE(enabled(), std::pair(false, true));
        QCOMPARE(f.sent(),
                 test::commandFrame(Command::Standby) + test::commandFrame(Command::Standby) +
                     test::commandFrame(Command::Wakeup) + test::commandFrame(Command::PowerDown));
        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.data().image, RegisterImage(PageFixture::withRegister(ADCON, 0x20)));
    }

    // The mode reached before the port closed stays.
    void powerButtonsWithoutAPort_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<bool>("standbyEnabled");
        QTest::addColumn<bool>("powerDownEnabled");
        QTest::newRow("Standby") << QByteArray("standbyButton") << QByteArray("standbyButton")
                                 << true << false;
        QTest::newRow("Power Down")
            << QByteArray("powerDownButton") << QByteArray("powerDownButton") << false << true;
        QTest::newRow("Wakeup") << QByteArray("standbyButton") << QByteArray("wakeupButton") << true
                                << false;
    }
    void powerButtonsWithoutAPort() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, button);
        QFETCH(bool, standbyEnabled);
        QFETCH(bool, powerDownEnabled);
        PageFixture f(3, ADCON, 0x20);
        f.click(before.constData());
        f.link.ClosePort();
        f.click(button.constData());
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{"Send command failed !"});
        QCOMPARE(f.prompts.messages[0].caption, std::string("Error"));
        QCOMPARE(f.control<QPushButton>("standbyButton")->isEnabled(), standbyEnabled);
        QCOMPARE(f.control<QPushButton>("powerDownButton")->isEnabled(), powerDownEnabled);
    }

    // Only "Standby" reports a reply that never came, with an empty box.
    void unansweredPowerCommands_data() {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("messages");
        QTest::newRow("Standby") << QByteArray("standbyButton") << 1;
        QTest::newRow("Power Down") << QByteArray("powerDownButton") << 0;
        QTest::newRow("Wakeup") << QByteArray("wakeupButton") << 0;
    }
    void unansweredPowerCommands() {
        QFETCH(QByteArray, button);
        QFETCH(int, messages);
        PageFixture f(3, ADCON, 0x20);
        f.evm.setFault({.kind = sim::FaultKind::NoAnswer});
        f.click(button.constData());
        QCOMPARE(f.prompts.messages.size(), std::size_t(messages));
        if (messages > 0) {
            QCOMPARE(f.prompts.messages[0].text, std::string());
            QCOMPARE(f.prompts.messages[0].caption, std::string());
        }
        QVERIFY(f.control<QPushButton>("standbyButton")->isEnabled());
        QVERIFY(f.control<QPushButton>("powerDownButton")->isEnabled());
    }

    void statusReadShowsIdOrderAndBuffer_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("lsbFirst");
        QTest::addColumn<bool>("buffer");
        QTest::newRow("36") << 0x36 << "03" << false << true;
        QTest::newRow("F8") << 0xF8 << "15" << true << false;
    }
    void statusReadShowsIdOrderAndBuffer() {
        QFETCH(int, status);
        QFETCH(QString, id);
        QFETCH(bool, lsbFirst);
        QFETCH(bool, buffer);
        PageFixture f(5, STATUS, std::uint8_t(status));
        QCOMPARE(f.text("id"), id);
        QCOMPARE(f.checked("lsbFirst"), lsbFirst);
        QCOMPARE(f.checked("msbFirst"), !lsbFirst);
        QVERIFY(!f.control<QRadioButton>("msbFirst")->isEnabled());
        QCOMPARE(f.checked("bufferEnable"), buffer);
        QCOMPARE(f.control<QCheckBox>("bufferEnable")->text(),
                 QString("Enable Analog Input Bufer"));
    }

    void bufferBoxChangesOnlyItsBit() {
        PageFixture f(5, STATUS, 0x36);
        f.click("bufferEnable");
        QCOMPARE(f.data().status.status, std::uint8_t{0x34});
        f.write();
        QVERIFY(f.sent().startsWith(writeFrame(STATUS, 0x34)));
        QCOMPARE(f.readField("STATUS"), QString("34"));
        QCOMPARE(f.data().image[STATUS], std::uint8_t{0x36});
    }
};

ORV_REGISTER_TEST(PagesTest);

#include "test_pages.moc"
