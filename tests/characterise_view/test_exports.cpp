// SPDX-License-Identifier: GPL-3.0-or-later
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cerrno>
#include <system_error>

#include "noise_table_fixture.h"
#include "test_registry.h"

using namespace orv;
using characterise::TableFigure;
using test::NoiseTableFixture;

namespace {

std::string fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(none)");
}

// After the small plan's run, with a folder for the files.
struct ExportFixture : NoiseTableFixture {
    ExportFixture() { run(plan); }
    QString pathIn(const QString& name) { return QDir::toNativeSeparators(folder.filePath(name)); }
    // Presses `button` and answers the save dialog with `path`.
    void exportAs(const QString& button, const QString& path) {
        prompts.fileAnswers.push_back(path.toStdString());
        press(button);
    }

    const characterise::SweepPlan plan = test::smallPlan();
    const characterise::SweepOutcome core = test::coreOutcome(plan);
    QTemporaryDir folder;
};

class ExportTest final : public QObject {
    Q_OBJECT
private slots:
    // The files hold what the core makes of the run's cells: the CSV of
    // every cell, the Markdown table of the figure shown. Each is proposed
    // in the folder of the last export.
    void exportsWriteTheCoreText_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("figureCode");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<std::string>("extension");
        QTest::newRow("CSV") << "Export CSV\u2026" << int(TableFigure::RmsNoiseUv)
                             << "noise-table.csv" << std::string("csv");
        QTest::newRow("Markdown, µV") << "Export Markdown\u2026" << int(TableFigure::RmsNoiseUv)
                                      << "noise-table.md" << std::string("md");
        QTest::newRow("Markdown, noise-free bits")
            << "Export Markdown\u2026" << int(TableFigure::NoiseFreeBits) << "noise-table.md"
            << std::string("md");
    }
    void exportsWriteTheCoreText() {
        QFETCH(QString, button);
        QFETCH(int, figureCode);
        QFETCH(QString, proposed);
        QFETCH(std::string, extension);
        const auto figure = TableFigure(figureCode);
        ExportFixture f;
        f.show(figure);
        const QString first = f.pathIn("first." + QString::fromStdString(extension));
        const QString second = f.pathIn("second." + QString::fromStdString(extension));
        f.exportAs(button, first);
        f.exportAs(button, second);

        const std::string expected =
            extension == "csv" ? characterise::cellsCsv(f.core.cells)
                               : characterise::markdownTable(f.plan, f.core.cells, figure);
        QCOMPARE(fileText(first), expected);
        QCOMPARE(fileText(second), expected);
        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(2));
        const FileRequest& request = f.prompts.fileChoices[0].request;
        QVERIFY(request.kind == FileRequest::Kind::Save);
        QCOMPARE(request.initialPath, proposed.toStdString());
        QCOMPARE(request.defaultExtension, extension);
        QCOMPARE(request.filters.at(0).pattern, "*." + extension);
        QVERIFY(request.confirmOverwrite);
        QCOMPARE(f.prompts.fileChoices[1].request.initialPath, f.pathIn(proposed).toStdString());
        QVERIFY(f.prompts.messages.empty());
    }

    void copyPutsTheTableShownOnTheClipboard() {
        ExportFixture f;
        f.show(TableFigure::EffectiveBits);
        QGuiApplication::clipboard()->clear();
        f.press("Copy");
        QCOMPARE(QGuiApplication::clipboard()->text().toStdString(),
                 characterise::markdownTable(f.plan, f.core.cells, TableFigure::EffectiveBits));
    }

    // A file that cannot be written is named with the system's reason; a
    // cancelled dialog writes nothing.
    void aFailedExportSaysWhy() {
        ExportFixture f;
        const QString path = f.pathIn("missing/table.csv");
        f.exportAs("Export CSV\u2026", path);
        QCOMPARE(f.prompts.messages.size(), std::size_t(1));
        const test::RecordedMessage& message = f.prompts.messages[0];
        QVERIFY2(message.text.find(path.toStdString()) != std::string::npos, message.text.c_str());
        QVERIFY2(message.text.find(std::generic_category().message(ENOENT)) != std::string::npos,
                 message.text.c_str());
        QCOMPARE(message.caption, std::string("Noise Table"));
        QVERIFY(message.icon == MessageIcon::Error);

        f.press("Export Markdown\u2026");
        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(2));
        QCOMPARE(f.prompts.messages.size(), std::size_t(1));
        QVERIFY(QDir(f.folder.path()).isEmpty());
    }
};

}  // namespace

ORV_REGISTER_TEST(ExportTest);
#include "test_exports.moc"
