// SPDX-License-Identifier: GPL-3.0-or-later
#include "bytes.h"
#include "profile/profile.h"
#include "profile/register_value.h"
#include "test_registry.h"

using namespace orv;
using orv::test::bytes;
using orv::test::toBytes;
using orv::test::toStd;

Q_DECLARE_METATYPE(std::optional<orv::ProfileRegisters>)

namespace QTest {
template <>
inline char* toString(const std::optional<orv::ProfileRegisters>& registers) {
    if (!registers) {
        return qstrdup("none");
    }
    return qstrdup(QByteArray(reinterpret_cast<const char*>(registers->data()), 11).toHex(' '));
}
}  // namespace QTest

namespace {

constexpr ProfileRegisters kSample = {0x01, 0x18, 0x27, 0xF0, 0xE1, 0x00,
                                      0x4B, 0x7F, 0x80, 0xAB, 0xFF};

ProfileRegisters withMux(std::uint8_t mux) {
    ProfileRegisters registers{};
    registers[1] = mux;
    return registers;
}

class ProfileTest final : public QObject {
    Q_OBJECT
private slots:
    void readsRegisterValues_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<quint32>("value");
        QTest::newRow("prefixed") << bytes("0x27") << 0x27u;
        QTest::newRow("bare digits") << bytes("27") << 0x27u;
        QTest::newRow("all 32 bits") << bytes("0x127") << 0x127u;
        QTest::newRow("blanks, plus and upper-case prefix") << bytes(" \t\r\n +0X1f") << 0x1Fu;
        QTest::newRow("minus one") << bytes("-1") << 0xFFFFFFFFu;
        QTest::newRow("minus the largest") << bytes("-0xFFFFFFFF") << 1u;
        QTest::newRow("largest") << bytes("FFFFFFFF") << 0xFFFFFFFFu;
        QTest::newRow("beyond 32 bits") << bytes("1FFFFFFFF") << 0xFFFFFFFFu;
        QTest::newRow("saturation before sign") << bytes("-100000000") << 0xFFFFFFFFu;
        QTest::newRow("leading zeros do not overflow") << bytes("0x000000000000000012") << 0x12u;
        QTest::newRow("stops at a non-digit") << bytes("12g4") << 0x12u;
        QTest::newRow("stops at NUL") << bytes(
                                             "1\0"
                                             "2")
                                      << 0x1u;
        QTest::newRow("no digits") << bytes("zz") << 0u;
        QTest::newRow("prefix alone") << bytes("0x") << 0u;
        QTest::newRow("prefix then a non-digit") << bytes("0xg1") << 0u;
        QTest::newRow("two signs") << bytes("+-1") << 0u;
        QTest::newRow("blank after the sign") << bytes("- 1") << 0u;
        QTest::newRow("empty") << QByteArray() << 0u;
    }
    void readsRegisterValues() {
        QFETCH(QByteArray, text);
        QFETCH(quint32, value);
        QCOMPARE(parseRegisterValue(toStd(text)), value);
    }

    void readsProfiles_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<std::optional<ProfileRegisters>>("expected");
        const std::optional<ProfileRegisters> rejected;
        QTest::newRow("every register")
            << bytes(
                   "[EVM]\r\nTarget=VXR5307\r\n[REG]\r\nSTATUS=0x01\r\nMUX=0x18\r\nADCON=0x27\r\n"
                   "DRAT=0xF0\r\nIO=0xE1\r\nOFC0=0x00\r\nOFC1=0x4B\r\nOFC2=0x7F\r\nFSC0=0x80\r\n"
                   "FSC1=0xAB\r\nFSC2=0xFF\r\n")
            << std::optional(kSample);
        QTest::newRow("target without regard to case")
            << bytes("[reg]\nmux=18\n[evm]\ntarget = vxr5307\n") << std::optional(withMux(0x18));
        QTest::newRow("other target") << bytes("[EVM]\nTarget=VXR5308\n[REG]\nMUX=1\n") << rejected;
        QTest::newRow("target with more") << bytes("[EVM]\nTarget=VXR5307A\n") << rejected;
        QTest::newRow("no target") << bytes("[EVM]\n[REG]\nMUX=1\n") << rejected;
        QTest::newRow("target outside [EVM]") << bytes("[REG]\nTarget=VXR5307\n") << rejected;
        QTest::newRow("empty file") << QByteArray() << rejected;
        QTest::newRow("missing keys read as 0")
            << bytes("[EVM]\nTarget=VXR5307\n") << std::optional(ProfileRegisters{});
        QTest::newRow("DRATE is not the data-rate key")
            << bytes("[EVM]\nTarget=VXR5307\n[REG]\nDRATE=0x12\n")
            << std::optional(ProfileRegisters{});
        QTest::newRow("low 8 bits")
            << bytes("[EVM]\nTarget=VXR5307\n[REG]\nMUX=0x127\n") << std::optional(withMux(0x27));
        QTest::newRow("minus one")
            << bytes("[EVM]\nTarget=VXR5307\n[REG]\nMUX=-1\n") << std::optional(withMux(0xFF));
        QTest::newRow("first 15 characters only")
            << bytes("[EVM]\nTarget=VXR5307\n[REG]\nMUX=  0000000000000012  \n")
            << std::optional(withMux(0x01));
        QTest::newRow("quoted value") << bytes("[EVM]\nTarget=\"VXR5307\"\n[REG]\nMUX=\"0x18\"\n")
                                      << std::optional(withMux(0x18));
    }
    void readsProfiles() {
        QFETCH(QByteArray, text);
        QFETCH(std::optional<ProfileRegisters>, expected);
        QCOMPARE(readProfile(toStd(text)), expected);
    }

    void writesANewFile() {
        const std::string written = writeProfile("", kSample);
        QCOMPARE(
            toBytes(written),
            bytes("[EVM]\r\nTarget=VXR5307\r\n[REG]\r\nSTATUS=0x01\r\nMUX=0x18\r\nADCON=0x27\r\n"
                  "DRAT=0xF0\r\nIO=0xE1\r\nOFC0=0x00\r\nOFC1=0x4B\r\nOFC2=0x7F\r\nFSC0=0x80\r\n"
                  "FSC1=0xAB\r\nFSC2=0xFF\r\n"));
        QCOMPARE(readProfile(written), std::optional(kSample));
    }

    // A file a user edited: its comments, blank lines, other sections and
    // key spellings stay; the missing keys join their section.
    void writesIntoAHandEditedFile() {
        const QByteArray existing = bytes(
            "; bench setup 3\n\n[evm]\ntarget = other ; was\n\n[REG]\nmux = 0x00\n"
            "Status=7\n; gain notes\n\n[Notes]\nMUX=keep\n");
        const std::string written = writeProfile(toStd(existing), kSample);
        QCOMPARE(toBytes(written),
                 bytes("; bench setup 3\n\n[evm]\ntarget=VXR5307\n\n[REG]\nmux=0x18\n"
                       "Status=0x01\nADCON=0x27\nDRAT=0xF0\nIO=0xE1\nOFC0=0x00\nOFC1=0x4B\n"
                       "OFC2=0x7F\nFSC0=0x80\nFSC1=0xAB\nFSC2=0xFF\n; gain notes\n\n[Notes]\n"
                       "MUX=keep\n"));
        QCOMPARE(readProfile(written), std::optional(kSample));
        QCOMPARE(writeProfile(written, kSample), written);
    }
};

}  // namespace

ORV_REGISTER_TEST(ProfileTest);
#include "test_profile.moc"
