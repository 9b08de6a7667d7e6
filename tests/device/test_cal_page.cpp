// SPDX-License-Identifier: GPL-3.0-or-later
#include <QElapsedTimer>
#include <QImage>

#include "device/cal_page.h"
#include "device/panel_data.h"
#include "link/qt_serial_device.h"
#include "panel_fixture.h"
#include "sim_process.h"
#include "test_registry.h"

using namespace orv;
using test::PanelFixture;
using test::writeFrame;

namespace {

constexpr std::uint32_t kRed = 0x0000FF;

// The panel on its "Cal" tab after the opening Read, the EVM's log cleared,
// on screen: a widget is painted at once only where its window is exposed.
struct CalFixture : PanelFixture {
    explicit CalFixture(sim::Registers registers = sim::kPowerOnRegisters)
        : PanelFixture(registers) {
        detect();
        selectTab(ZN410Dlg::kCalTab);
        exposed = QTest::qWaitForWindowExposed(&window);
        evm.clearFrames();
    }
    bool exposed = false;
    CalIndicator* indicator() { return control<CalIndicator>("indicator"); }
    QString text(const char* name) { return control<QLineEdit>(name)->text(); }
    // The colour inside the box's edge as it is drawn now.
    QColor painted() {
        const QImage image = indicator()->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    }
};

// Records, at each paint of a widget, the indicator colour and how many
// frames the EVM had received by then.
class PaintLog final : public QObject {
public:
    PaintLog(QWidget* widget, const std::uint32_t& colour, const sim::EvmModel& evm)
        : colour_(colour), evm_(evm) {
        widget->installEventFilter(this);
    }
    struct Paint {
        std::uint32_t colour;
        std::size_t frames;
    };
    std::vector<Paint> paints;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            paints.push_back({colour_, evm_.frames().size()});
        }
        return false;
    }

private:
    const std::uint32_t& colour_;
    const sim::EvmModel& evm_;
};

}  // namespace

class CalPageTest : public QObject {
    Q_OBJECT
private slots:
    // Least significant byte to the lowest address; the replies are not
    // looked at and nothing is shown.
    void setWritesBothEntries_data() {
        QTest::addColumn<QString>("offset");
        QTest::addColumn<QString>("gain");
        QTest::addColumn<QByteArray>("values");
        QTest::newRow("1A2B3C, empty") << "1A2B3C"
                                       << "" << QByteArray::fromHex("3C2B1A000000");
        QTest::newRow("FF, 10000") << "FF"
                                   << "10000" << QByteArray::fromHex("FF0000000001");
    }
    void setWritesBothEntries() {
        QFETCH(QString, offset);
        QFETCH(QString, gain);
        QFETCH(QByteArray, values);
        CalFixture f;
        f.evm.setFault({.kind = sim::FaultKind::WrongCheck});
        f.control<CTCEdit>("offsetEntry")->setText(offset);
        f.control<CTCEdit>("gainEntry")->setText(gain);
        f.click("setButton");
        QByteArray expected;
        for (int k = 0; k < 6; ++k) {
            expected += writeFrame(std::uint8_t(OFC0 + k), std::uint8_t(values[k]));
        }
        QCOMPARE(f.sent().toHex(' '), expected.toHex(' '));
        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.text("offsetRead"), QString("000000"));
        QCOMPARE(f.data().image, RegisterImage(sim::kPowerOnRegisters));
    }

    void entriesTakeSixHexDigits() {
        CalFixture f;
        auto* entry = f.control<CTCEdit>("offsetEntry");
        entry->setFocus();
        QTest::keyClicks(entry, "12g34-56789");
        QCOMPARE(entry->text(), QString("123456"));
    }

    // "Read" redraws the whole Read column from the read values, so a
    // single field a Write put there gives way.
    void readShowsTheCalibrationRegisters() {
        CalFixture f;
        f.evm.setRegister(OFC0, 0x0A);
        f.evm.setRegister(OFC1, 0x0B);
        f.evm.setRegister(OFC2, 0x0C);
        f.evm.setRegister(FSC2, 0x99);
        f.allRegs()->showReadField(MUX, 0x77);
        f.click("calReadButton");
        QCOMPARE(f.text("offsetRead"), QString("0C0B0A"));
        QCOMPARE(f.text("gainRead"), QString("995A3E"));
        QCOMPARE(f.readField("OFC0"), QString("0A"));
        QCOMPARE(f.readField("OFC2"), QString("0C"));
        QCOMPARE(f.readField("FSC2"), QString("99"));
        QCOMPARE(f.readField("MUX"), QString("01"));
        QCOMPARE(f.data().image[OFC0], std::uint8_t{0x00});
        QCOMPARE(f.evm.frames().size(), std::size_t{6});
    }

    // A wrong reply clears its byte, a lost exchange keeps it.
    void readFailuresAreSilent_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("offset");
        QTest::newRow("wrong check") << int(sim::FaultKind::WrongCheck) << "0C000A";
        QTest::newRow("no answer") << int(sim::FaultKind::NoAnswer) << "0C550A";
    }
    void readFailuresAreSilent() {
        QFETCH(int, fault);
        QFETCH(QString, offset);
        CalFixture f;
        f.data().cal.calibration[1] = 0x55;
        f.evm.setRegister(OFC0, 0x0A);
        f.evm.setRegister(OFC2, 0x0C);
        f.evm.setFault({.kind = sim::FaultKind(fault),
                        .command = Command::ReadReg,
                        .address = std::uint8_t{OFC1}});
        f.click("calReadButton");
        QCOMPARE(f.text("offsetRead"), offset);
        QCOMPARE(f.readField("OFC1"), offset.mid(2, 2));
        QVERIFY(f.prompts.messages.empty());
    }

    void calibrationButtons_data() {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("failure");
        QTest::newRow("Self offset")
            << QByteArray("selfOffsetButton") << 0x04 << "Self offset calibration failed !";
        QTest::newRow("Self gain")
            << QByteArray("selfGainButton") << 0x05 << "Self gain calibration failed !";
        QTest::newRow("System offset")
            << QByteArray("systemOffsetButton") << 0x06 << "System offset calibration failed !";
        QTest::newRow("System gain")
            << QByteArray("systemGainButton") << 0x07 << "System gain calibration failed !";
    }
    void calibrationButtons() {
        QFETCH(QByteArray, button);
        QFETCH(int, command);
        QFETCH(QString, failure);
        CalFixture f;
        f.click(button.constData());
        QCOMPARE(f.sent(), test::commandFrame(Command(command)));
        QVERIFY(f.prompts.messages.empty());

        // Answered with the code one too low.
        f.evm.setFault(
            {.kind = sim::FaultKind::ExactReply, .reply = {0x00, 0x00, std::uint8_t(command - 1)}});
        f.click(button.constData());
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{failure.toStdString()});
        QCOMPARE(f.prompts.messages[0].caption, std::string("Error"));
        QCOMPARE(f.text("offsetRead"), QString("000000"));
    }

    // The box is red on screen before the frame goes out, and takes the
    // button face once the reply was read.
    void selfCalibrationPaintsTheIndicatorFirst() {
        CalFixture f;
        QVERIFY(f.exposed);
        QCOMPARE(f.painted(), QColor(Qt::black));
        PaintLog log(f.indicator(), f.data().cal.indicatorColour, f.evm);
        f.click("onButton");
        QVERIFY(!log.paints.empty());
        QCOMPARE(log.paints.front().colour, kRed);
        QCOMPARE(log.paints.front().frames, std::size_t{0});
        QCOMPARE(f.sent(), test::commandFrame(Command::SelfCal));
        QCOMPARE(f.painted(), f.indicator()->palette().color(QPalette::Button));
        QVERIFY(f.prompts.messages.empty());
        // The 200 ms pause before the reply is read goes by the clock.
        QVERIFY(f.clock.now() >= ManualClock::TimePoint{} + std::chrono::milliseconds(200));
    }

    // Only a frame that could not be sent is reported; the box stays red on
    // every later paint, in this window and the next.
    void selfCalibrationWithoutAPort() {
        CalFixture f;
        QVERIFY(f.exposed);
        f.link.ClosePort();
        PaintLog log(f.indicator(), f.data().cal.indicatorColour, f.evm);
        std::size_t paintsWhileOpen = 0;
        f.prompts.whileOpen = [&](const test::RecordedMessage&) {
            paintsWhileOpen = log.paints.size();
        };
        f.click("onButton");
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{"Self calibration failed !"});
        QCOMPARE(f.prompts.messages[0].caption, std::string("Error"));
        QCOMPARE(paintsWhileOpen, std::size_t{1});
        QCOMPARE(log.paints.front().colour, kRed);
        QCOMPARE(f.painted(), QColor(Qt::red));
        f.indicator()->repaint();
        QCOMPARE(f.painted(), QColor(Qt::red));
    }

    void unansweredSelfCalibrationIsSilent() {
        CalFixture f;
        f.evm.setFault({.kind = sim::FaultKind::NoAnswer});
        f.click("onButton");
        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.painted(), f.indicator()->palette().color(QPalette::Button));
    }

    void refreshShowsTheImageAfterARead() {
        sim::Registers registers = sim::kPowerOnRegisters;
        registers[OFC0] = 0x01;
        registers[OFC1] = 0x02;
        registers[OFC2] = 0x03;
        CalFixture f(registers);
        QCOMPARE(f.text("offsetRead"), QString("030201"));
        QCOMPARE(f.text("gainRead"), QString("455A3E"));
    }

    // The reply limit is the transport's: through the real serial port, an
    // answer 1.5 s late is no answer.
    void lateCalibrationReplyFails() {
        test::SimProcess simulator({"--fault", "slow=1500", "--command", "04"});
        QVERIFY(!simulator.path().isEmpty());
        SystemClock clock;
        test::RecordingPrompts prompts;
        Link link(
            {simulator.port()}, [] { return std::make_unique<QtSerialDevice>(); }, clock);
        COrvellinDlg window(link, prompts);
        window.findChild<QPushButton*>("detectEvmButton")->click();
        auto* panel = window.findChild<ZN410Dlg*>("devicePanel");
        QVERIFY(panel);
        QVERIFY(prompts.messages.empty());
        QElapsedTimer timer;
        timer.start();
        panel->findChild<QPushButton*>("selfOffsetButton")->click();
        QCOMPARE(prompts.texts(), std::vector<std::string>{"Self offset calibration failed !"});
        QVERIFY2(timer.elapsed() >= 990 && timer.elapsed() < 1490,
                 qPrintable(QString::number(timer.elapsed())));
    }
};

ORV_REGISTER_TEST(CalPageTest);

#include "test_cal_page.moc"
