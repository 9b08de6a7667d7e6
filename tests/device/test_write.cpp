// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "device/panel_data.h"
#include "panel_fixture.h"
#include "test_registry.h"

using namespace orv;
using test::PanelFixture;
using test::readFrame;
using test::writeFrame;

namespace {

// STATUS, MUX, ADCON, DRATE, IO, OFC0..2, FSC0..2. ADCON 0x6B: clock output
// f_CLKIN/4, sensor current 0.5 uA, gain 8.
constexpr sim::Registers kRegisters = {0x31, 0x23, 0x6B, 0x72, 0xF0, 0x01,
                                       0x02, 0x03, 0x3E, 0x5A, 0x45};

// The panel after its opening Read of kRegisters, on `tab`, with the EVM's
// log cleared.
struct WriteFixture : PanelFixture {
    explicit WriteFixture(int tab = 0, sim::Registers registers = kRegisters)
        : PanelFixture(registers) {
        detect();
        selectTab(tab);
        evm.clearFrames();
    }
};

// What a control shows: a list its item, a check box or radio button
// whether it is checked, a field or label its text.
QString stateOf(QWidget* control) {
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        return list->currentText();
    }
    if (qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control)) {
        return static_cast<QAbstractButton*>(control)->isChecked() ? "checked" : "unchecked";
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    return qobject_cast<QLineEdit*>(control)->text();
}

QByteArray allZeroWrites(int count) {
    QByteArray bytes;
    for (int a = 0; a < count; ++a) {
        bytes += writeFrame(std::uint8_t(a), 0x00);
    }
    return bytes;
}

}  // namespace

class WriteTest : public QObject {
    Q_OBJECT
private slots:
    // With nothing changed since the Read, each page sends what it read.
    void eachTabSendsItsRegistersInOrder_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QByteArray>("sent");
        const QByteArray shared = writeFrame(ADCON, 0x6B) + writeFrame(DRATE, 0x72);
        QTest::newRow("MUX") << 0 << writeFrame(MUX, 0x23) + shared;
        QTest::newRow("Clocks") << 1 << shared;
        QTest::newRow("GPIO") << 2 << writeFrame(IO, 0xF0) + readFrame(IO) + shared;
        QTest::newRow("Power & Ref") << 3 << shared;
        QTest::newRow("Cal") << 4 << QByteArray();
        QTest::newRow("Status") << 5 << writeFrame(STATUS, 0x31) + shared;
        QTest::newRow("All Regs") << 6 << allZeroWrites(11);
    }
    void eachTabSendsItsRegistersInOrder() {
        QFETCH(int, tab);
        QFETCH(QByteArray, sent);
        WriteFixture f(tab);
        // "Write" is hidden on "Cal"; the handler itself must send nothing.
        f.panel()->OnWrite();
        QCOMPARE(f.sent().toHex(' '), sent.toHex(' '));
        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.data().busy, 0);
        QVERIFY(f.control<QPushButton>("writeButton")->isEnabled());
    }

    // Each field of ADCON goes out as the page that owns it shows it: a
    // field lowered on one page is not kept up by the other page's copy.
    void adconCarriesEachPagesOwnField_data() {
        QTest::addColumn<int>("tab");
        QTest::newRow("MUX") << 0;
        QTest::newRow("Clocks") << 1;
        QTest::newRow("GPIO") << 2;
        QTest::newRow("Power & Ref") << 3;
        QTest::newRow("Status") << 5;
    }
    void adconCarriesEachPagesOwnField() {
        QFETCH(int, tab);
        WriteFixture f;
        f.selectTab(1);
        f.choose("clockOutList", 0);  // f_CLKIN/4 -> Off
        f.selectTab(3);
        f.choose("sensorCurrentList", 3);  // 0.5 uA -> 10 uA
        f.choose("gainList", 4);           // 8 -> 16
        f.selectTab(tab);
        f.write();
        // Off, 10 uA, 16.
        QVERIFY2(f.sent().contains(writeFrame(ADCON, 0x1C)), f.sent().toHex(' '));
    }

    // The image follows a confirmed MUX, DRATE and ADCON, except ADCON from
    // "Clocks"; STATUS is only shown, never kept, so a profile keeps what
    // the last Read found.
    void confirmedWritesShowAndKeep_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("imageMux");
        QTest::addColumn<int>("imageAdcon");
        QTest::newRow("MUX") << 0 << 0x43 << 0x0B;
        QTest::newRow("Clocks") << 1 << 0x23 << 0x6B;
        QTest::newRow("Status") << 5 << 0x23 << 0x0B;
    }
    void confirmedWritesShowAndKeep() {
        QFETCH(int, tab);
        QFETCH(int, imageMux);
        QFETCH(int, imageAdcon);
        WriteFixture f;
        f.click("AIN+4");
        f.choose("dataRateList", 0);
        f.selectTab(1);
        f.choose("clockOutList", 0);
        f.selectTab(5);
        f.click("bufferEnable");
        f.selectTab(tab);
        f.write();
        QCOMPARE(f.data().image[MUX], std::uint8_t(imageMux));
        QCOMPARE(f.readField("MUX"), QString::fromStdString(registerText(std::uint8_t(imageMux))));
        QCOMPARE(f.data().image[ADCON], std::uint8_t(imageAdcon));
        QCOMPARE(f.readField("ADCON"), QString("0B"));
        QCOMPARE(f.data().image[DRATE], std::uint8_t{0x03});
        QCOMPARE(f.readField("DRATE"), QString("03"));
        QCOMPARE(f.data().image[STATUS], std::uint8_t{0x31});
        QCOMPARE(f.readField("STATUS"), tab == 5 ? QString("33") : QString("31"));
        QCOMPARE(f.data().allRegs.readValues, RegisterBytes(kRegisters));
    }

    void unconfirmedWriteIsSilentAndTheNextFollows() {
        WriteFixture f;
        f.click("AIN+4");
        f.evm.setFault({.kind = sim::FaultKind::WrongCheck,
                        .command = Command::WriteReg,
                        .address = std::uint8_t{MUX}});
        f.write();
        QCOMPARE(f.sent(),
                 writeFrame(MUX, 0x43) + writeFrame(ADCON, 0x6B) + writeFrame(DRATE, 0x72));
        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.readField("MUX"), QString("23"));
        QCOMPARE(f.data().image[MUX], std::uint8_t{0x23});
        QCOMPARE(f.data().mux.value, std::uint8_t{0x43});
    }

    void sameChannelOnBothInputsIsRefused_data() {
        QTest::addColumn<int>("channel");
        QTest::newRow("AINCOM") << kAinCom;
        QTest::newRow("AIN2") << 2;
    }
    void sameChannelOnBothInputsIsRefused() {
        QFETCH(int, channel);
        WriteFixture f;
        f.click(qPrintable(QString("AIN+%1").arg(channel)));
        f.click(qPrintable(QString("AIN-%1").arg(channel)));
        f.write();
        QVERIFY(f.sent().isEmpty());
        QCOMPARE(f.prompts.texts(),
                 std::vector<std::string>{"AIN+ and AIN- cannot select the same channel !"});
        QCOMPARE(f.prompts.messages[0].caption, std::string("Error"));
        QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Error);
        QCOMPARE(f.prompts.messages[0].owner, static_cast<QWidget*>(f.panel()));

        // The Read shows the EVM's AIN2 against AIN3 again.
        f.click("readButton");
        QCOMPARE(f.evm.frames().size(), std::size_t{11});
        f.evm.clearFrames();
        f.click("AIN-5");
        f.write();
        QVERIFY(f.sent().startsWith(writeFrame(MUX, 0x25)));
    }

    void ioReadBackSetsTheImageWithoutRefreshingThePage_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("image");
        QTest::newRow("good reply") << int(sim::FaultKind::None) << 0xF8;
        QTest::newRow("wrong check") << int(sim::FaultKind::WrongCheck) << 0x00;
        QTest::newRow("no answer") << int(sim::FaultKind::NoAnswer) << 0xF0;
    }
    void ioReadBackSetsTheImageWithoutRefreshingThePage() {
        QFETCH(int, fault);
        QFETCH(int, image);
        WriteFixture f(2);
        f.click("levelD3");
        f.evm.setFault({.kind = sim::FaultKind(fault),
                        .command = Command::ReadReg,
                        .address = std::uint8_t{IO}});
        f.write();
        QCOMPARE(f.data().image[IO], std::uint8_t(image));
        QCOMPARE(f.data().gpio.read, std::uint8_t(image));
        QCOMPARE(f.readField("IO"), QString::fromStdString(registerText(std::uint8_t(image))));
        QCOMPARE(f.control<QLabel>("inputLevelD3")->text(), QString("L"));
        QVERIFY(f.prompts.messages.empty());
    }

    void ioNotConfirmedIsNotReadBack() {
        WriteFixture f(2);
        f.evm.setFault({.kind = sim::FaultKind::WrongCheck,
                        .command = Command::WriteReg,
                        .address = std::uint8_t{IO}});
        f.write();
        QVERIFY(!f.sent().contains(readFrame(IO)));
        QCOMPARE(f.data().image[IO], std::uint8_t{0xF0});
    }

    void allRegsSendsTheWriteColumn() {
        WriteFixture f(6);
        f.writeField("STATUS")->clear();
        f.writeField("MUX")->setText("7");
        f.writeField("FSC2")->setText("c4");
        f.write();
        QByteArray expected = writeFrame(STATUS, 0x00) + writeFrame(MUX, 0x07);
        for (std::uint8_t a = ADCON; a < FSC2; ++a) {
            expected += writeFrame(a, 0x00);
        }
        QCOMPARE(f.sent(), expected + writeFrame(FSC2, 0xC4));
        QCOMPARE(f.data().allRegs.writeValues[FSC2], std::uint8_t{0xC4});
        // Neither the image nor the Read column follows.
        QCOMPARE(f.data().image, RegisterImage(kRegisters));
        QCOMPARE(f.readField("FSC2"), QString("45"));
    }

    void allRegsStopsAtTheFirstFailure() {
        WriteFixture f(6);
        f.evm.setFault({.kind = sim::FaultKind::WrongCheck,
                        .command = Command::WriteReg,
                        .address = std::uint8_t{DRATE}});
        f.write();
        QCOMPARE(f.sent(), allZeroWrites(4));
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{"Write register 03 fail !"});
        QCOMPARE(f.prompts.messages[0].caption, std::string("Error !"));
        QCOMPARE(f.prompts.messages[0].owner, static_cast<QWidget*>(f.allRegs()));
        QVERIFY(f.control<QPushButton>("writeButton")->isEnabled());
        QCOMPARE(f.data().busy, 0);
    }

    // Actions are "click NAME", "choose LIST INDEX" and "type FIELD TEXT";
    // after Write and Read, the register's Read field and one control of
    // the page show what was written.
    void writeThenReadShowsWhatWasWritten_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("reg");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("control");
        QTest::addColumn<QString>("state");
        QTest::newRow("MUX") << 0 << QStringList{"click AIN+5", "click AIN-8"} << "MUX"
                             << "58" << QByteArray("AIN-8") << "checked";
        QTest::newRow("Clocks") << 1 << QStringList{"choose clockOutList 2"} << "ADCON"
                                << "4B" << QByteArray("clockOut") << "3.840000MHz";
        QTest::newRow("GPIO") << 2 << QStringList{"click outputD3", "click levelD3"} << "IO"
                              << "78" << QByteArray("inputLevelD3") << "H";
        QTest::newRow("Power & Ref") << 3 << QStringList{"choose sensorCurrentList 2"} << "ADCON"
                                     << "73" << QByteArray("sensorCurrentList") << "2 uA";
        QTest::newRow("Status") << 5 << QStringList{"click bufferEnable"} << "STATUS"
                                << "33" << QByteArray("bufferEnable") << "checked";
        QTest::newRow("All Regs") << 6 << QStringList{"click syncButton", "type writeOFC0 5A"}
                                  << "OFC0"
                                  << "5A" << QByteArray("offsetRead") << "03025A";
    }
    void writeThenReadShowsWhatWasWritten() {
        QFETCH(int, tab);
        QFETCH(QStringList, actions);
        QFETCH(QString, reg);
        QFETCH(QString, shown);
        QFETCH(QByteArray, control);
        QFETCH(QString, state);
        WriteFixture f(tab);
        for (const QString& action : actions) {
            const QStringList words = action.split(' ');
            if (words[0] == "click") {
                f.click(qPrintable(words[1]));
            } else if (words[0] == "choose") {
                f.choose(qPrintable(words[1]), words[2].toInt());
            } else {
                f.control<QLineEdit>(qPrintable(words[1]))->setText(words[2]);
            }
        }
        f.write();
        f.click("readButton");
        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.readField(qPrintable(reg)), shown);
        QCOMPARE(stateOf(f.control<QWidget>(control.constData())), state);
    }

    void busyFlagRefusesWriteAndReadSilently_data() {
        QTest::addColumn<QByteArray>("button");
        QTest::newRow("Write") << QByteArray("writeButton");
        QTest::newRow("Read") << QByteArray("readButton");
    }
    void busyFlagRefusesWriteAndReadSilently() {
        QFETCH(QByteArray, button);
        WriteFixture f;
        f.data().busy = 1;
        f.click(button.constData());
        QVERIFY(f.evm.frames().empty());
        QVERIFY(f.control<QPushButton>(button.constData())->isEnabled());
        QCOMPARE(f.data().busy, 1);
    }

    // While a message of a Write is open, the flag is still set and the
    // button disabled.
    void writeHoldsTheFlagUntilItEnds() {
        WriteFixture f(6);
        f.evm.setFault({.kind = sim::FaultKind::NoAnswer});
        bool busyWhileOpen = false;
        bool disabledWhileOpen = false;
        f.prompts.whileOpen = [&](const test::RecordedMessage&) {
            busyWhileOpen = f.data().busy != 0;
            disabledWhileOpen = !f.control<QPushButton>("writeButton")->isEnabled();
            f.panel()->OnRead();
        };
        f.write();
        QVERIFY(busyWhileOpen);
        QVERIFY(disabledWhileOpen);
        QCOMPARE(f.evm.frames().size(), std::size_t{1});
    }
};

ORV_REGISTER_TEST(WriteTest);

#include "test_write.moc"
