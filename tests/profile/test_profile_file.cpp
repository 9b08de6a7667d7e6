// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include "bytes.h"
#include "profile/profile_file.h"
#include "test_registry.h"

using namespace orv;
using orv::test::bytes;
using orv::test::toBytes;
using orv::test::toStd;

namespace {

constexpr ProfileRegisters kFirst = {0x01, 0x18, 0x27, 0xF0, 0xE1, 0x00,
                                     0x4B, 0x7F, 0x80, 0xAB, 0xFF};
constexpr ProfileRegisters kSecond = {0x10, 0x81, 0x72, 0x0F, 0x1E, 0xFF,
                                      0xB4, 0xF7, 0x08, 0xBA, 0x00};

std::string utf8(const QString& path) {
    return path.toUtf8().toStdString();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every entry of the folder, hidden ones included, with a file's bytes.
QMap<QString, QByteArray> snapshot(const QDir& folder) {
    QMap<QString, QByteArray> entries;
    const auto filter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo& entry : folder.entryInfoList(filter)) {
        entries.insert(entry.fileName(),
                       entry.isDir() ? QByteArray("<folder>") : contentOf(entry.filePath()));
    }
    return entries;
}

enum class Obstacle { kMissingFolder, kReadOnlyFile, kFolderAtPath, kOversizedFile };

class ProfileFileTest final : public QObject {
    Q_OBJECT
private slots:
    void savesAndReadsBack() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path =
            folder.filePath(QString::fromUtf8("pr\xC3\xB6"
                                              "file \xE2\x82\xAC.ini"));
        QVERIFY(saveProfileFile(utf8(path), kFirst));
        QCOMPARE(contentOf(path), toBytes(writeProfile("", kFirst)));
        QVERIFY(saveProfileFile(utf8(path), kSecond));
        const std::optional<std::string> read = readProfileFile(utf8(path));
        QVERIFY(read);
        QCOMPARE(readProfile(*read), std::optional(kSecond));
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QFileInfo(path).fileName()});
    }

    void keepsAHandEditedFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath("bench.ini");
        const QByteArray existing = bytes("; mine\r\n[Notes]\r\nx=1\r\n\r\n[reg]\r\nMux=3\r\n");
        writeFile(path, existing);
        const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(path, permissions));
        QVERIFY(saveProfileFile(utf8(path), kFirst));
        QCOMPARE(contentOf(path), toBytes(writeProfile(toStd(existing), kFirst)));
        QCOMPARE(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser), permissions);
    }

    void writesThroughASymbolicLink() {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("real"));
        const QString target = folder.filePath("real/profile.ini");
        const QString link = folder.filePath("link.ini");
        writeFile(target, bytes("; kept\n"));
        if (!QFile::link("real/profile.ini", link)) {
            QSKIP("symbolic links cannot be made here");
        }
        QVERIFY(saveProfileFile(utf8(link), kFirst));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contentOf(target), toBytes(writeProfile("; kept\n", kFirst)));
        QCOMPARE(QDir(folder.filePath("real")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"profile.ini"});
    }

    void readsAtMostTheLimit() {
        QTemporaryDir folder;
        const QString path = folder.filePath("big.ini");
        writeFile(path, QByteArray(qsizetype(kMaxProfileBytes) + 7, 'x'));
        const std::optional<std::string> read = readProfileFile(utf8(path));
        QVERIFY(read);
        QCOMPARE(read->size(), kMaxProfileBytes);
        QVERIFY(!readProfileFile(utf8(folder.filePath("missing.ini"))));
        QVERIFY(!readProfileFile(utf8(folder.path())));
    }

    void failedSaveLeavesTheFolderAsItWas_data() {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::newRow("missing folder") << Obstacle::kMissingFolder;
        QTest::newRow("read-only file") << Obstacle::kReadOnlyFile;
        QTest::newRow("folder at the path") << Obstacle::kFolderAtPath;
        QTest::newRow("file beyond the limit") << Obstacle::kOversizedFile;
    }
    void failedSaveLeavesTheFolderAsItWas() {
        QFETCH(Obstacle, obstacle);
        QTemporaryDir folder;
        QString path = folder.filePath("profile.ini");
        const QByteArray old = toBytes(writeProfile("; old\n", kFirst));
        switch (obstacle) {
            case Obstacle::kMissingFolder:
                path = folder.filePath("missing/profile.ini");
                break;
            case Obstacle::kReadOnlyFile:
                writeFile(path, old);
                QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));
                if (QFile(path).open(QIODevice::Append)) {
                    QSKIP("this process may write read-only files");
                }
                break;
            case Obstacle::kFolderAtPath:
                QVERIFY(QDir(folder.path()).mkdir("profile.ini"));
                writeFile(folder.filePath("profile.ini/inside"), old);
                break;
            case Obstacle::kOversizedFile:
                writeFile(path, old + QByteArray(qsizetype(kMaxProfileBytes), ';'));
                break;
        }
        const QMap<QString, QByteArray> before = snapshot(QDir(folder.path()));
        QVERIFY(!saveProfileFile(utf8(path), kSecond));
        QCOMPARE(snapshot(QDir(folder.path())), before);
    }
};

}  // namespace

ORV_REGISTER_TEST(ProfileFileTest);
#include "test_profile_file.moc"
