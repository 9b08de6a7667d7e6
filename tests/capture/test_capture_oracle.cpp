// SPDX-License-Identifier: GPL-3.0-or-later
// Captures as numpy and pandas read them: the codes come back, and each
// volts value is exactly numpy's own code * 2 * vref / (gain * 2**23).
#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "analysis/number_text.h"
#include "capture/capture.h"
#include "capture/data_files.h"
#include "capture_samples.h"
#include "test_registry.h"

using namespace orv;
using namespace orv::test;

namespace {

// capture_oracle.py's exit status when the reader's module is missing.
constexpr int kModuleMissing = 3;

class CaptureOracleTest final : public QObject {
    Q_OBJECT
private slots:
    void numpyAndPandasReadTheSameBlock_data() {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<int>("gain");
        QTest::addColumn<double>("vref");
        struct Setting {
            const char* name;
            int gain;
            double vref;
        };
        const Setting settings[] = {{"gain 1, Vref 2.5", 1, 2.5},
                                    {"gain 64, Vref 3.3", 64, 3.3},
                                    {"gain 8, Vref 1.234567", 8, 1.234567},
                                    {"gain 2, Vref 2.048", 2, 2.048}};
        for (const char* reader : {"numpy", "pandas"}) {
            for (const Setting& setting : settings) {
                QTest::addRow("%s, %s", reader, setting.name)
                    << QString(reader) << setting.gain << setting.vref;
            }
        }
    }
    void numpyAndPandasReadTheSameBlock() {
        QFETCH(QString, reader);
        QFETCH(int, gain);
        QFETCH(double, vref);
        if (QStringLiteral(ORVELLIN_TEST_PYTHON).isEmpty()) {
            QFAIL("no Python 3 with numpy was found at configuration: install python3-numpy");
        }
        Capture capture{{}, spreadCodes(2000, unsigned(gain))};
        capture.codes.insert(capture.codes.end(), {-8388608, 8388607, 0, -1, 1, 168});
        capture.info.scale = {gain, 1000.0, vref};

        QTemporaryDir folder;
        const std::string path =
            QDir::toNativeSeparators(folder.filePath("capture.csv")).toStdString();
        OutputFile file(path);
        QVERIFY2(file.write(captureText(capture)) && file.close(), file.error().c_str());

        QProcess python;
        python.start(ORVELLIN_TEST_PYTHON,
                     {ORVELLIN_CAPTURE_ORACLE, reader, QString::fromStdString(path),
                      QString::number(gain), QString::fromStdString(analysis::shortestText(vref))});
        QVERIFY2(python.waitForFinished(120000), qPrintable(python.errorString()));
        const QString output = QString::fromUtf8(python.readAllStandardOutput());
        if (python.exitCode() == kModuleMissing && reader == "pandas") {
            QSKIP(qPrintable("pandas is not installed, its half is not run: " + output.trimmed()));
        }
        QVERIFY2(python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0,
                 qPrintable(output + python.readAllStandardError()));

        const QStringList rows = output.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), qsizetype(capture.codes.size()));
        QList<int> codes;
        for (const QString& row : rows) {
            const QStringList fields = row.split(',');
            QCOMPARE(fields.size(), 3);
            codes << fields[0].toInt();
            QVERIFY2(fields[1] == fields[2], qPrintable("volts read differ from numpy's: " + row));
        }
        QCOMPARE(codes, codesOf(capture));
    }
};

ORV_REGISTER_TEST(CaptureOracleTest);

}  // namespace

#include "test_capture_oracle.moc"
