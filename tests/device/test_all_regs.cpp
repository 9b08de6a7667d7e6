// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/panel_data.h"
#include "panel_fixture.h"
#include "test_registry.h"

using namespace orv;
using test::PanelFixture;

namespace {

constexpr sim::Registers kRegisters = {0x31, 0x23, 0x6B, 0x72, 0xF0, 0x01,
                                       0x02, 0x03, 0x3E, 0x5A, 0x45};

}  // namespace

class AllRegsTest : public QObject {
    Q_OBJECT
private slots:
    void writeFieldsTakeTwoHexDigitsInUpperCase() {
        PanelFixture f;
        f.detect();
        f.selectTab(6);
        CTCEdit* field = f.writeField("ADCON");
        QCOMPARE(field->text(), QString("00"));
        field->clear();
        field->setFocus();
        QTest::keyClicks(field, "1aG -");
        QCOMPARE(field->text(), QString("1A"));
        QTest::keyClicks(field, "b");
        QCOMPARE(field->text(), QString("1A"));
    }

    void writeFieldReadsAsHexByte_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("one digit") << "7" << 0x07;
        QTest::newRow("empty") << "" << 0x00;
        QTest::newRow("two digits") << "fE" << 0xFE;
        QTest::newRow("pasted junk") << "G1" << 0x00;
    }
    void writeFieldReadsAsHexByte() {
        QFETCH(QString, text);
        QFETCH(int, value);
        PanelFixture f;
        f.detect();
        f.writeField("DRATE")->setText(text);
        QCOMPARE(f.allRegs()->writeFieldValue(DRATE), std::uint8_t(value));
    }

    void syncCopiesTheReadColumnAndSendsNothing() {
        PanelFixture f(kRegisters);
        f.detect();
        f.selectTab(6);
        f.evm.clearFrames();
        QTest::mouseClick(f.allRegs()->findChild<QPushButton*>("syncButton"), Qt::LeftButton);
        QCOMPARE(f.writeField("STATUS")->text(), QString("31"));
        QCOMPARE(f.writeField("FSC2")->text(), QString("45"));
        QVERIFY(f.evm.frames().empty());
    }

    // The Read after the window was built failed, so the Read column is empty.
    void syncLeavesWriteFieldsWhoseReadFieldIsEmpty() {
        PanelFixture f(kRegisters);
        f.evm.setFault({.kind = sim::FaultKind::WrongCheck,
                        .command = Command::ReadReg,
                        .address = std::uint8_t{STATUS}});
        f.detect();
        f.writeField("MUX")->setText("5");
        f.allRegs()->showReadField(IO, 0xAB);
        QTest::mouseClick(f.allRegs()->findChild<QPushButton*>("syncButton"), Qt::LeftButton);
        QCOMPARE(f.writeField("MUX")->text(), QString("5"));
        QCOMPARE(f.writeField("STATUS")->text(), QString("00"));
        QCOMPARE(f.writeField("IO")->text(), QString("AB"));
    }

    // A single Read field shows what one write put there until the whole
    // column is drawn again from the read values.
    void singleReadFieldGivesWayToTheReadValues() {
        PanelFixture f(kRegisters);
        f.detect();
        f.allRegs()->showReadField(MUX, 0x08);
        QCOMPARE(f.readField("MUX"), QString("08"));
        QCOMPARE(f.data().allRegs.readValues[MUX], std::uint8_t{0x23});
        f.allRegs()->showReadValues();
        QCOMPARE(f.readField("MUX"), QString("23"));
    }

    void writeValuesFillTheWriteColumn() {
        PanelFixture f;
        f.detect();
        f.data().allRegs.writeValues[OFC1] = 0xC4;
        f.allRegs()->showWriteValues();
        QCOMPARE(f.writeField("OFC1")->text(), QString("C4"));
        QCOMPARE(f.writeField("OFC0")->text(), QString("00"));
    }
};

ORV_REGISTER_TEST(AllRegsTest);

#include "test_all_regs.moc"
