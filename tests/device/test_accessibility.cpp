// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QLabel>

#include "acquisition_fixture.h"
#include "test_registry.h"

using namespace orv;
using test::AcquisitionFixture;

namespace {

// What the platform's bridge (AT-SPI on Linux) reads of a widget.
struct Spoken {
    QAccessible::Role role = QAccessible::NoRole;
    bool readOnly = false;
    QString name;
    QString value;
    QString text;  // through the text interface, where there is one
};

Spoken spoken(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (!face) {
        return {};
    }
    Spoken heard{face->role(),
                 face->state().readOnly != 0,
                 face->text(QAccessible::Name),
                 face->text(QAccessible::Value),
                 {}};
    if (QAccessibleTextInterface* text = face->textInterface()) {
        heard.text = text->text(0, text->characterCount());
    }
    return heard;
}

class AccessibilityTest final : public QObject {
    Q_OBJECT
private slots:
    // Every display of a value is read as a read-only text named by its
    // label, with the value shown as its text, after a detection and a
    // collection of the power-on registers (STATUS 30, ADCON 20, IO E1).
    void valueDisplaysGiveTheirValue_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("port status") << "portStatus"
                                     << "Port"
                                     << "ttyS0";
        QTest::newRow("clock in") << "clockIn"
                                  << "Clock In"
                                  << "7.680000MHz";
        QTest::newRow("clock source") << "clockSource"
                                      << "Clock Source"
                                      << "Crystal";
        QTest::newRow("clock out") << "clockOut"
                                   << "Clock Out"
                                   << "7.680000MHz";
        QTest::newRow("vref") << "vref"
                              << "Vref"
                              << "2.5V";
        QTest::newRow("status id") << "id"
                                   << "ID"
                                   << "03";
        QTest::newRow("D0 input level") << "inputLevelD0"
                                        << "D0 Input level"
                                        << "H";
        QTest::newRow("D3 input level") << "inputLevelD3"
                                        << "D3 Input level"
                                        << "L";
        QTest::newRow("minimum") << "minimum"
                                 << "Minimum"
                                 << "";
        QTest::newRow("maximum") << "maximum"
                                 << "Maximum"
                                 << "";
        QTest::newRow("average") << "average"
                                 << "Average"
                                 << "";
    }
    void valueDisplaysGiveTheirValue() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QString, value);
        AcquisitionFixture f;
        f.collect("45");
        auto* widget = f.window.findChild<QWidget*>(control);
        QVERIFY(widget);
        if (value.isEmpty()) {  // a statistic: the number the field shows
            value = f.field(control.toLatin1().constData());
            QVERIFY(!value.isEmpty());
        }
        const Spoken heard = spoken(widget);
        QCOMPARE(heard.role, QAccessible::EditableText);
        QVERIFY(heard.readOnly);
        QCOMPARE(heard.name, name);
        QCOMPARE(heard.value, value);
        QCOMPARE(heard.text, value);
    }

    // The port status follows every detection.
    void portStatusSaysWhatTheScanFound() {
        AcquisitionFixture f;
        auto* status = f.window.findChild<QWidget*>("portStatus");
        QCOMPARE(spoken(status).value, QString("ttyS0"));
        f.evm.setFault({.kind = sim::FaultKind::NoAnswer});
        f.detect();
        QCOMPARE(spoken(status).value, QString("Not Found"));
        QCOMPARE(spoken(status).text, QString("Not Found"));
    }

    // The progress bar's value moves with the collection.
    void progressGivesItsValue() {
        AcquisitionFixture f;
        auto* bar = f.progress();
        QString midway;
        f.during([&] { midway = spoken(bar).value; });
        f.collect("45");
        QCOMPARE(spoken(bar).name, QString("Collecting"));
        QVERIFY2(midway.toInt() > 0 && midway.toInt() < 100, qPrintable(midway));
        QCOMPARE(spoken(bar).value, QString("0"));
    }
};

}  // namespace

ORV_REGISTER_TEST(AccessibilityTest);
#include "test_accessibility.moc"
