// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "acquisition_fixture.h"
#include "converter/registers.h"
#include "test_registry.h"

using namespace orv;
using test::AcquisitionFixture;

Q_DECLARE_METATYPE(orv::RegisterImage)

namespace {

// A profile as a new file holds it, for the EVM's power-on registers.
const QByteArray kPowerOnProfile =
    "[EVM]\r\nTarget=VXR5307\r\n[REG]\r\nSTATUS=0x30\r\nMUX=0x01\r\nADCON=0x20\r\nDRAT=0xF0\r\n"
    "IO=0xE1\r\nOFC0=0x00\r\nOFC1=0x00\r\nOFC2=0x00\r\nFSC0=0x3E\r\nFSC1=0x5A\r\nFSC2=0x45\r\n";

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The panel after its opening Read, with a block collected, and a folder
// for profiles; `load` and `save` answer the window menu's file dialog.
struct ProfileFixture : AcquisitionFixture {
    ProfileFixture() {
        collect("45");
        evm.clearFrames();
    }
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(folder.filePath(name));
    }
    void load(const QString& name) { command(kSysLoadProfile, name); }
    void save(const QString& name) { command(kSysSaveProfile, name); }
    void command(int id, const QString& name) {
        prompts.fileAnswers.push_back(path(name).toStdString());
        window.OnSysCommand(id);
    }
    QStringList writeColumn() {
        QStringList texts;
        for (const char* name : kRegisterNames) {
            texts << writeField(name)->text();
        }
        return texts;
    }

    QTemporaryDir folder;
};

RegisterImage imageOf(std::initializer_list<std::pair<int, std::uint8_t>> values) {
    RegisterImage image{};
    for (const auto& [address, value] : values) {
        image[address] = value;
    }
    return image;
}

class ProfilesTest final : public QObject {
    Q_OBJECT
private slots:
    void saveThenLoadGivesTheSameImage() {
        ProfileFixture f;
        f.save("p.ini");
        QCOMPARE(contents(f.path("p.ini")), kPowerOnProfile);
        const RegisterImage saved = f.data().image;

        f.data().image = RegisterImage{};
        f.load("p.ini");
        QCOMPARE(f.data().image, saved);
        QCOMPARE(f.data().allRegs.writeValues, saved);
        QCOMPARE(f.writeColumn(),
                 QStringList({"30", "01", "20", "F0", "E1", "00", "00", "00", "3E", "5A", "45"}));
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(f.evm.frames().empty());

        for (const auto& choice : f.prompts.fileChoices) {
            QCOMPARE(choice.owner, &f.window);
            QCOMPARE(choice.request.initialPath, std::string("Orvellin.ini"));
            QCOMPARE(choice.request.filters.size(), std::size_t(2));
            QCOMPARE(choice.request.filters[0].description, std::string("Profile Format(*.ini)"));
            QCOMPARE(choice.request.filters[0].pattern, std::string("*.ini"));
            QCOMPARE(choice.request.filters[1].description, std::string("All Format(*.*)"));
            QCOMPARE(choice.request.defaultExtension, std::string("ini"));
            QVERIFY(choice.request.confirmOverwrite);
        }
        QVERIFY(f.prompts.fileChoices[0].request.kind == FileRequest::Kind::Save);
        QVERIFY(f.prompts.fileChoices[1].request.kind == FileRequest::Kind::Open);
    }

    void loadReadsEachRegisterAsItsKeySays_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<RegisterImage>("image");
        QTest::newRow("only MUX, lower-case target")
            << QByteArray("[evm]\ntarget=vxr5307\n[REG]\nMUX=0x18\n") << imageOf({{MUX, 0x18}});
        const QByteArray head = "[EVM]\r\nTarget=VXR5307\r\n[REG]\r\n";
        QTest::newRow("ADCON 0x27") << head + "ADCON=0x27\r\n" << imageOf({{ADCON, 0x27}});
        QTest::newRow("ADCON 27") << head + "ADCON=27\r\n" << imageOf({{ADCON, 0x27}});
        QTest::newRow("ADCON 0x127") << head + "ADCON=0x127\r\n" << imageOf({{ADCON, 0x27}});
        QTest::newRow("ADCON -1") << head + "ADCON=-1\r\n" << imageOf({{ADCON, 0xFF}});
        QTest::newRow("DRATE is not the key") << head + "DRATE=0x82\r\nDRAT\r\n" << imageOf({});
        QTest::newRow("DRAT") << head + "drat = 0x82\r\n" << imageOf({{DRATE, 0x82}});
    }
    void loadReadsEachRegisterAsItsKeySays() {
        QFETCH(QByteArray, file);
        QFETCH(RegisterImage, image);
        ProfileFixture f;
        const RegisterBytes readColumn = f.data().allRegs.readValues;
        putFile(f.path("p.ini"), file);
        f.load("p.ini");
        QVERIFY(f.prompts.messages.empty());
        QCOMPARE(f.data().image, image);
        QCOMPARE(f.data().allRegs.writeValues, image);
        QCOMPARE(f.writeColumn().at(MUX), QString::asprintf("%02X", image[MUX]));
        QCOMPARE(f.writeColumn().at(ADCON), QString::asprintf("%02X", image[ADCON]));
        QCOMPARE(f.data().allRegs.readValues, readColumn);
        QCOMPARE(f.readField("MUX"), QString::asprintf("%02X", readColumn[MUX]));
        QVERIFY(f.evm.frames().empty());
    }

    // Every page shows the loaded image, and a Write sends it.
    void aWriteSendsWhatTheLoadSet() {
        ProfileFixture f;
        putFile(f.path("p.ini"),
                "[EVM]\r\nTarget=VXR5307\r\n[REG]\r\nMUX=0x23\r\nADCON=0x2D\r\n"
                "DRAT=0x82\r\nIO=0x01\r\n");
        f.load("p.ini");
        QCOMPARE(f.control<QComboBox>("dataRateList")->currentText().trimmed(), QString("100 SPS"));
        QCOMPARE(f.data().dataRateCode, std::uint8_t(0x82));
        QCOMPARE(f.data().mux.value, std::uint8_t(0x23));
        f.selectTab(ZN410Dlg::kMuxTab);
        f.write();
        QCOMPARE(f.evm.registers()[MUX], std::uint8_t(0x23));
        QCOMPARE(f.evm.registers()[ADCON], std::uint8_t(0x2D));
        QCOMPARE(f.evm.registers()[DRATE], std::uint8_t(0x82));
    }

    void loadEmptiesTheChartAndTheStatistics() {
        ProfileFixture f;
        QVERIFY(!f.data().samples.empty());
        putFile(f.path("p.ini"), kPowerOnProfile);
        f.load("p.ini");
        QVERIFY(f.data().samples.empty());
        QVERIFY(f.data().sampleItems.empty());
        for (const char* name : {"minimum", "maximum", "average"}) {
            QCOMPARE(f.field(name), QString());
        }
        QCOMPARE(f.chart()->picture(), f.expectedChart(0));
    }

    void aProfileForAnotherEvmChangesNothing_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("other target")
            << QByteArray("[EVM]\r\nTarget=VXR5308\r\n[REG]\r\nMUX=0x18\r\n");
        QTest::newRow("no EVM section") << QByteArray("[REG]\r\nMUX=0x18\r\n");
        QTest::newRow("empty file") << QByteArray();
    }
    void aProfileForAnotherEvmChangesNothing() {
        QFETCH(QByteArray, file);
        ProfileFixture f;
        const PanelData before = f.data();
        putFile(f.path("p.ini"), file);
        f.load("p.ini");
        QCOMPARE(f.prompts.messages.size(), std::size_t(1));
        QCOMPARE(f.prompts.messages[0].text, std::string("The profile is invalid for \"VXR5307\""));
        QCOMPARE(f.prompts.messages[0].caption, std::string("Error !"));
        QCOMPARE(f.prompts.messages[0].owner, f.panel());
        QCOMPARE(f.data().image, before.image);
        QCOMPARE(f.data().allRegs.writeValues, before.allRegs.writeValues);
        QCOMPARE(f.data().samples, before.samples);
        QVERIFY(f.field("minimum") != QString());
    }

    void savingKeepsAHandEditedFile() {
        ProfileFixture f;
        putFile(f.path("p.ini"),
                "; bench 3\r\n[Notes]\r\nwho = me\r\n\r\n[evm]\r\ntarget=x\r\n"
                "[reg]\r\n; offsets below\r\nmux = 0x99\r\n");
        f.save("p.ini");
        QCOMPARE(contents(f.path("p.ini")),
                 QByteArray("; bench 3\r\n[Notes]\r\nwho = me\r\n\r\n[evm]\r\ntarget=VXR5307\r\n"
                            "[reg]\r\n; offsets below\r\nmux=0x01\r\nSTATUS=0x30\r\nADCON=0x20\r\n"
                            "DRAT=0xF0\r\nIO=0xE1\r\nOFC0=0x00\r\nOFC1=0x00\r\nOFC2=0x00\r\n"
                            "FSC0=0x3E\r\nFSC1=0x5A\r\nFSC2=0x45\r\n"));
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files), QStringList({"p.ini"}));
    }

    // The old profile stays whole, and the user is told.
    void aFailedSaveKeepsTheOldFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("existing");
        QTest::newRow("missing folder") << "missing/p.ini" << QByteArray();
        QTest::newRow("too large to rewrite") << "big.ini" << QByteArray((1 << 20) + 1, ';');
    }
    void aFailedSaveKeepsTheOldFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, existing);
        ProfileFixture f;
        if (!existing.isEmpty()) {
            putFile(f.path(name), existing);
        }
        f.save(name);
        QCOMPARE(f.prompts.messages.size(), std::size_t(1));
        QCOMPARE(f.prompts.messages[0].text, std::string("Save profile failed !"));
        QCOMPARE(f.prompts.messages[0].caption, std::string("Error !"));
        QCOMPARE(contents(f.path(name)), existing);
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files),
                 existing.isEmpty() ? QStringList() : QStringList({name}));
    }
};

// When the window menu's commands reach the panel, and when they stop.
class ProfileCommandsTest final : public QObject {
    Q_OBJECT
private slots:
    void withoutAnEvmNothingHappens() {
        test::PanelFixture f;
        QTemporaryDir folder;
        const QString path = folder.filePath("p.ini");
        putFile(path, kPowerOnProfile);
        f.prompts.fileAnswers = {path.toStdString(), folder.filePath("q.ini").toStdString()};
        f.window.OnSysCommand(kSysLoadProfile);
        f.window.OnSysCommand(kSysSaveProfile);
        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(2));
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(!QFile::exists(folder.filePath("q.ini")));
    }

    void cancelledOrMissingFilesDoNothing() {
        ProfileFixture f;
        f.window.OnSysCommand(kSysSaveProfile);
        f.window.OnSysCommand(kSysLoadProfile);
        f.load("absent.ini");
        QCOMPARE(f.prompts.fileChoices.size(), std::size_t(3));
        QVERIFY(f.prompts.messages.empty());
        QVERIFY(!f.data().samples.empty());
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files), QStringList());
    }

    void anotherEvmTypeIsNotSupported_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("load") << int(kSysLoadProfile);
        QTest::newRow("save") << int(kSysSaveProfile);
    }
    void anotherEvmTypeIsNotSupported() {
        QFETCH(int, command);
        ProfileFixture f;
        putFile(f.path("p.ini"), kPowerOnProfile);
        const QByteArray before = contents(f.path("p.ini"));
        f.link.setEvmType(2);
        f.command(command, "p.ini");
        QCOMPARE(f.prompts.messages.size(), std::size_t(1));
        QCOMPARE(f.prompts.messages[0].text, std::string("Unsupport EVM"));
        QCOMPARE(f.prompts.messages[0].caption, std::string("Error !"));
        QCOMPARE(f.prompts.messages[0].owner, &f.window);
        QCOMPARE(contents(f.path("p.ini")), before);
        QVERIFY(!f.data().samples.empty());
    }

    // A file dialog would hold up the collection until it closed.
    void refusedDuringACollection() {
        AcquisitionFixture f;
        f.during([&] {
            f.window.OnSysCommand(kSysLoadProfile);
            f.window.OnSysCommand(kSysSaveProfile);
        });
        f.collect("45");
        QVERIFY(f.duringCollection);
        QVERIFY(f.prompts.fileChoices.empty());
    }
};

ORV_REGISTER_TEST(ProfilesTest);
ORV_REGISTER_TEST(ProfileCommandsTest);

}  // namespace

#include "test_profiles.moc"
