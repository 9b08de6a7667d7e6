// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "link/frame.h"
#include "test_registry.h"

using namespace orv;

Q_DECLARE_METATYPE(orv::Frame)
Q_DECLARE_METATYPE(orv::Reply)

namespace {

class FrameTest : public QObject {
    Q_OBJECT
private slots:
    void frames_data() {
        QTest::addColumn<Frame>("built");
        QTest::addColumn<Frame>("expected");
        const auto plain = [](Command c) { return CommandFrame(1, c); };
        QTest::newRow("handshake")
            << plain(Command::Handshake) << Frame{0x55, 0x01, 0xF0, 0x00, 0x00, 0x0F};
        QTest::newRow("reset") << plain(Command::Reset)
                               << Frame{0x55, 0x01, 0x0A, 0x00, 0x00, 0xF5};
        QTest::newRow("self cal") << plain(Command::SelfCal)
                                  << Frame{0x55, 0x01, 0x03, 0x00, 0x00, 0xFC};
        QTest::newRow("self offset")
            << plain(Command::SelfOffsetCal) << Frame{0x55, 0x01, 0x04, 0x00, 0x00, 0xFB};
        QTest::newRow("self gain")
            << plain(Command::SelfGainCal) << Frame{0x55, 0x01, 0x05, 0x00, 0x00, 0xFA};
        QTest::newRow("system offset")
            << plain(Command::SysOffsetCal) << Frame{0x55, 0x01, 0x06, 0x00, 0x00, 0xF9};
        QTest::newRow("system gain")
            << plain(Command::SysGainCal) << Frame{0x55, 0x01, 0x07, 0x00, 0x00, 0xF8};
        QTest::newRow("standby") << plain(Command::Standby)
                                 << Frame{0x55, 0x01, 0x08, 0x00, 0x00, 0xF7};
        QTest::newRow("power down")
            << plain(Command::PowerDown) << Frame{0x55, 0x01, 0x09, 0x00, 0x00, 0xF6};
        QTest::newRow("wakeup") << plain(Command::Wakeup)
                                << Frame{0x55, 0x01, 0x0C, 0x00, 0x00, 0xF3};
        QTest::newRow("write 23 to 03") << CommandFrame(1, Command::WriteReg, 0x03, 0x23)
                                        << Frame{0x55, 0x01, 0x01, 0x03, 0x23, 0xD8};
        QTest::newRow("write FF to 0A") << CommandFrame(1, Command::WriteReg, 0x0A, 0xFF)
                                        << Frame{0x55, 0x01, 0x01, 0x0A, 0xFF, 0xF5};
        QTest::newRow("read 04") << CommandFrame(1, Command::ReadReg, 0x04)
                                 << Frame{0x55, 0x01, 0x02, 0x04, 0x00, 0xF9};
        QTest::newRow("data 45") << ReadDataFrame(1, 45)
                                 << Frame{0x55, 0x01, 0x0F, 0x00, 0x2D, 0xC3};
        QTest::newRow("data 256") << ReadDataFrame(1, 256)
                                  << Frame{0x55, 0x01, 0x0F, 0x01, 0x00, 0xEF};
        QTest::newRow("data 65535")
            << ReadDataFrame(1, 65535) << Frame{0x55, 0x01, 0x0F, 0xFF, 0xFF, 0xF2};
        // The checksum counts byte 1 as 1 whatever the type code is.
        QTest::newRow("type -1") << CommandFrame(-1, Command::Handshake)
                                 << Frame{0x55, 0xFF, 0xF0, 0x00, 0x00, 0x0F};
    }
    void frames() {
        QFETCH(Frame, built);
        QFETCH(Frame, expected);
        QCOMPARE(built, expected);
    }

    void replyChecks_data() {
        QTest::addColumn<int>("kind");  // 0 plain command, 1 write, 2 read
        QTest::addColumn<int>("code");  // command code, or register address
        QTest::addColumn<int>("value");
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("handshake") << 0 << 0xF0 << 0 << Reply{0, 0, 0xF0} << true;
        QTest::newRow("handshake F1") << 0 << 0xF0 << 0 << Reply{0, 0, 0xF1} << false;
        QTest::newRow("reset status 01") << 0 << 0x0A << 0 << Reply{1, 0, 0x0A} << false;
        QTest::newRow("reset data byte") << 0 << 0x0A << 0 << Reply{0, 1, 0x0A} << false;
        QTest::newRow("system gain 06") << 0 << 0x07 << 0 << Reply{0, 0, 0x06} << false;
        QTest::newRow("standby") << 0 << 0x08 << 0 << Reply{0, 0, 0x08} << true;
        QTest::newRow("write 23 to 03") << 1 << 0x03 << 0x23 << Reply{0, 0, 0x27} << true;
        QTest::newRow("write FF to 0A") << 1 << 0x0A << 0xFF << Reply{0, 0, 0x0A} << true;
        QTest::newRow("write echoing value") << 1 << 0x0A << 0xFF << Reply{0, 0xFF, 0x0A} << false;
        QTest::newRow("write status") << 1 << 0x03 << 0x23 << Reply{2, 0, 0x27} << false;
        QTest::newRow("read F0 from 03") << 2 << 0x03 << 0 << Reply{0, 0xF0, 0xF5} << true;
        QTest::newRow("read IO back") << 2 << 0x04 << 0 << Reply{0, 0xE1, 0xE7} << true;
        QTest::newRow("read wrong sum") << 2 << 0x02 << 0 << Reply{0, 0x20, 0x23} << false;
        QTest::newRow("read status") << 2 << 0x03 << 0 << Reply{1, 0xF0, 0xF5} << false;
    }
    void replyChecks() {
        QFETCH(int, kind);
        QFETCH(int, code);
        QFETCH(int, value);
        QFETCH(Reply, reply);
        QFETCH(bool, accepted);
        const auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
        bool ok = false;
        switch (kind) {
            case 0:
                ok = plainReplyOk(static_cast<Command>(code), reply);
                break;
            case 1:
                ok = writeReplyOk(byte(code), byte(value), reply);
                break;
            default:
                ok = readReplyOk(byte(code), reply);
                break;
        }
        QCOMPARE(ok, accepted);
    }

    void itemChecksum() {
        QVERIFY(itemChecksumOk(0x80, 0x00, 0x00, 0x80));
        QVERIFY(itemChecksumOk(0x7F, 0xFF, 0xFF, 0x7D));
        QVERIFY(itemChecksumOk(0xFF, 0xFF, 0xFF, 0xFD));
        QVERIFY(!itemChecksumOk(0xFF, 0xFF, 0xFF, 0xFE));
    }
};

}  // namespace

ORV_REGISTER_TEST(FrameTest);

#include "test_frames.moc"
