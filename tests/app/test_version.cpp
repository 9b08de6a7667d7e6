// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "app/about_dialog.h"
#include "app/version_info.h"
#include "app/version_title.h"

using namespace orv;

Q_DECLARE_METATYPE(orv::FixedVersion)
Q_DECLARE_METATYPE(orv::VersionResource)
Q_DECLARE_METATYPE(orv::VersionInfo)

namespace {

// Product version `major.minor.build.revision` as a fixed info's two words.
FixedVersion productVersion(unsigned major, unsigned minor, unsigned build, unsigned revision) {
    return {.productVersionMS = major << 16 | minor, .productVersionLS = build << 16 | revision};
}

// Two string tables, German first; the translation table decides which one
// is read.
VersionResource twoLanguages(std::vector<Translation> translations) {
    return {productVersion(2, 0, 1, 7),
            std::move(translations),
            {{"040904b0", {{"CompanyName", "Decoy Inc."}, {"ProductVersion", "9.9.9.9_decoy"}}},
             {"040704e4", {{"CompanyName", "Orvellin GmbH"}, {"ProductVersion", "2.0.1.7_de"}}}}};
}

VersionResource oneString(const std::string& value) {
    return {productVersion(2, 0, 1, 7),
            {{0x0409, 0x04B0}},
            {{"040904b0", {{"CompanyName", value}, {"ProductVersion", value}}}}};
}

const VersionInfo kStale{9, 9, 9, 9, "stale company", "stale version"};

class VersionTest : public QObject {
    Q_OBJECT
private slots:
    void titleShowsTheProductVersion_data() {
        QTest::addColumn<FixedVersion>("fixed");
        QTest::addColumn<QString>("title");
        FixedVersion different = productVersion(2, 0, 1, 7);
        different.fileVersionMS = 9 << 16 | 8;
        different.fileVersionLS = 7 << 16 | 6;
        QTest::newRow("file version differs") << different << "orvellin v2.0.1.7";
        QTest::newRow("top of every word")
            << productVersion(65535, 0, 65534, 1) << "orvellin v65535.0.65534.1";
    }
    void titleShowsTheProductVersion() {
        QFETCH(FixedVersion, fixed);
        QFETCH(QString, title);
        VersionResource resource;
        resource.fixed = fixed;
        VersionInfo info;
        QCOMPARE(ReadVersionInfo(&resource, info), 0);
        QCOMPARE(QString::fromStdString(windowTitle("orvellin", info)), title);
    }

    void stringsComeFromTheFirstTranslation_data() {
        QTest::addColumn<VersionResource>("resource");
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("product");
        QTest::newRow("0407/04E4 first")
            << twoLanguages({{0x0407, 0x04E4}, {0x0409, 0x04B0}}) << "Orvellin GmbH"
            << "2.0.1.7_de";
        QTest::newRow("0409/04B0 first")
            << twoLanguages({{0x0409, 0x04B0}, {0x0407, 0x04E4}}) << "Decoy Inc."
            << "9.9.9.9_decoy";
    }
    void stringsComeFromTheFirstTranslation() {
        QFETCH(VersionResource, resource);
        QFETCH(QString, company);
        QFETCH(QString, product);
        VersionInfo info;
        QCOMPARE(ReadVersionInfo(&resource, info), 0);
        QCOMPARE(QString::fromStdString(info.companyName), company);
        QCOMPARE(QString::fromStdString(info.productVersion), product);
    }

    // Missing strings read as empty, even over a VersionInfo read before;
    // the numbers are read all the same.
    void missingStringsStayEmpty_data() {
        QTest::addColumn<VersionResource>("resource");
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("product");
        QTest::newRow("no translation table") << twoLanguages({}) << ""
                                              << "";
        QTest::newRow("no table for the translation") << twoLanguages({{0x0411, 0x04B0}}) << ""
                                                      << "";
        VersionResource noProduct = oneString("Orvellin developers");
        noProduct.stringTables[0].strings.pop_back();
        QTest::newRow("no ProductVersion") << noProduct << "Orvellin developers"
                                           << "";
    }
    void missingStringsStayEmpty() {
        QFETCH(VersionResource, resource);
        QFETCH(QString, company);
        QFETCH(QString, product);
        VersionInfo info = kStale;
        QCOMPARE(ReadVersionInfo(&resource, info), 0);
        QCOMPARE(QString::fromStdString(info.companyName), company);
        QCOMPARE(QString::fromStdString(info.productVersion), product);
        QCOMPARE(windowTitle("orvellin", info), windowTitle("orvellin", {2, 0, 1, 7, {}, {}}));
    }

    void withoutResourceNothingIsRead() {
        VersionInfo info = kStale;
        QCOMPARE(ReadVersionInfo(nullptr, info), kErrorResourceTypeNotFound);
        QCOMPARE(info.major, std::uint16_t{9});
        QCOMPARE(info.companyName, kStale.companyName);
        QCOMPARE(info.productVersion, kStale.productVersion);

        VersionInfo fresh;
        QCOMPARE(ReadVersionInfo(nullptr, fresh, 1814), 1814);
        QCOMPARE(fresh.major + fresh.minor + fresh.build + fresh.revision, 0);
        QVERIFY(fresh.companyName.empty() && fresh.productVersion.empty());
    }

    // Strings are held in 260 characters: 259 bytes, never half a UTF-8
    // sequence.
    void longStringsAreCut_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("kept");
        const QByteArray a258(258, 'a');
        QTest::newRow("259 fit") << a258 + "b" << a258 + "b";
        QTest::newRow("300 cut") << QByteArray(300, 'c') << QByteArray(259, 'c');
        QTest::newRow("two bytes across the cut") << a258 + "\xC3\xA9" << a258;
        QTest::newRow("three bytes across the cut")
            << a258.left(257) + "\xE2\x82\xAC" << a258.left(257);
        QTest::newRow("three bytes ending at the cut")
            << a258.left(256) + "\xE2\x82\xAC" + "z" << a258.left(256) + "\xE2\x82\xAC";
    }
    void longStringsAreCut() {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, kept);
        const VersionResource resource = oneString(value.toStdString());
        VersionInfo info;
        QCOMPARE(ReadVersionInfo(&resource, info), 0);
        QCOMPARE(QByteArray::fromStdString(info.companyName), kept);
        QCOMPARE(QByteArray::fromStdString(info.productVersion), kept);
    }

    void queryAnswersWholePathsOnly_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("found");
        QTest::newRow("root") << "\\" << true;
        QTest::newRow("translations") << "\\VarFileInfo\\Translation" << true;
        QTest::newRow("string") << "\\StringFileInfo\\040904b0\\CompanyName" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("block only") << "\\VarFileInfo" << false;
        QTest::newRow("table only") << "\\StringFileInfo\\040904b0" << false;
        QTest::newRow("name prefix") << "\\StringFileInfo\\040904b0\\Company" << false;
        QTest::newRow("name longer") << "\\StringFileInfo\\040904b0\\CompanyNames" << false;
        QTest::newRow("table prefix") << "\\StringFileInfo\\040904b\\CompanyName" << false;
        QTest::newRow("other table") << "\\StringFileInfo\\040704e4\\CompanyName" << false;
    }
    void queryAnswersWholePathsOnly() {
        QFETCH(QString, path);
        QFETCH(bool, found);
        const VersionResource resource = oneString("Orvellin developers");
        VersionValue value;
        QCOMPARE(QueryVersionValue(resource, path.toStdString(), value), found);
    }

    void ownResourceIsTheProjectVersion() {
        const VersionResource* resource = ownVersionResource();
        QVERIFY(resource != nullptr);
        QCOMPARE(resource->fixed.fileVersionMS, 0x00010001u);
        QCOMPARE(resource->fixed.fileVersionLS, 0x00000003u);
        QCOMPARE(resource->translations.size(), std::size_t{1});
        QCOMPARE(resource->translations[0].language, std::uint16_t{0x0409});
        QCOMPARE(resource->translations[0].codePage, std::uint16_t{0x04B0});

        VersionInfo info;
        QCOMPARE(ReadVersionInfo(resource, info), 0);
        QCOMPARE(windowTitle("orvellin", info), std::string("orvellin v1.1.0.3"));
        QCOMPARE(info.companyName, std::string("Orvellin developers"));
        const QString product = QString::fromStdString(info.productVersion);
        QVERIFY2(QRegularExpression(R"(^1\.1\.0\.3_\d{8}_\d{4}$)").match(product).hasMatch(),
                 qPrintable(product));
        const QDateTime built = QDateTime::fromString(product.mid(8), "yyyyMMdd_HHmm");
        QVERIFY2(built.isValid(), qPrintable(product));
        QVERIFY(built <= QDateTime::currentDateTime().addDays(1));
    }

    void displayNameIsTheExecutableWithoutExtension() {
        QCOMPARE(executableDisplayName(), std::string("test_version"));
    }

    void aboutShowsVersionAndNotice_data() {
        QTest::addColumn<VersionInfo>("info");
        QTest::addColumn<QString>("versionLine");
        QTest::addColumn<QString>("noticeLine");
        QTest::newRow("read")
            << VersionInfo{1, 1, 0, 3, "Orvellin developers", "1.1.0.3_20260101_1200"}
            << "AP Version : 1.1.0.3_20260101_1200"
            << "Copyright (C) 2026 Orvellin developers";
        QTest::newRow("nothing read") << VersionInfo{} << "AP Version : "
                                      << "Copyright (C) 2026 ";
        // The version line holds 258 characters.
        QTest::newRow("long version")
            << VersionInfo{1, 0, 0, 0, "A&B <b>", std::string(259, 'v')}
            << "AP Version : " + QString(245, 'v') << "Copyright (C) 2026 A&B <b>";
    }
    void aboutShowsVersionAndNotice() {
        QFETCH(VersionInfo, info);
        QFETCH(QString, versionLine);
        QFETCH(QString, noticeLine);
        CAboutDlg about(info);
        QCOMPARE(about.windowTitle(), QString("About Orvellin"));
        const auto* version = about.findChild<QLabel*>("versionLine");
        const auto* notice = about.findChild<QLabel*>("noticeLine");
        QVERIFY(version && notice);
        QCOMPARE(version->text(), versionLine);
        QCOMPARE(notice->text(), noticeLine);
        QCOMPARE(version->textFormat(), Qt::PlainText);
        QCOMPARE(notice->textFormat(), Qt::PlainText);
    }

    void aboutControlsAreNamedAndInside() {
        CAboutDlg about(VersionInfo{});
        const QList<QWidget*> controls = about.findChildren<QWidget*>();
        QCOMPARE(controls.size(), 5);
        for (const QWidget* control : controls) {
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
            QVERIFY2(about.rect().contains(control->geometry()), qPrintable(control->objectName()));
        }
    }

    void aboutCloses_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Return") << int{Qt::Key_Return} << int{QDialog::Accepted};
        QTest::newRow("Enter") << int{Qt::Key_Enter} << int{QDialog::Accepted};
        QTest::newRow("Escape") << int{Qt::Key_Escape} << int{QDialog::Rejected};
        QTest::newRow("OK clicked") << 0 << int{QDialog::Accepted};
    }
    void aboutCloses() {
        QFETCH(int, key);
        QFETCH(int, result);
        CAboutDlg about(VersionInfo{});
        about.setResult(-1);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        if (key == 0) {
            QTest::mouseClick(about.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        } else {
            QTest::keyClick(&about, static_cast<Qt::Key>(key));
        }
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), result);
    }
};

}  // namespace

QTEST_MAIN(VersionTest)
#include "test_version.moc"
