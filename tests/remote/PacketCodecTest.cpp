#include "remote/PacketCodec.h"

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QList<Packet> decodeAll(PacketDecoder &d)
{
    QList<Packet> out;
    Packet p;
    while (d.next(p) == PacketDecoder::Result::Packet)
        out.append(p);
    return out;
}

TEST(PacketCodec, PinnedBytes)
{
    struct Case
    {
        const char *name;
        QByteArray got;
        QByteArray want;
    };
    const Case cases[] = {
        // length 8 (no payload), id 9
        {"ping", PacketCodec::encode(PacketId::Ping), hex("08000000" "09000000")},
        // length 11, id 19, three block bytes
        {"block", PacketCodec::encode(PacketId::StreamBlock, "abc"), hex("0b000000" "13000000" "616263")},
        // u32 size 300, then the name's bytes with no length and no terminator
        {"announcement", PacketCodec::announcement(300, QStringLiteral("\"trimit\"")), hex("2c010000" "22747269 6d697422")},
        // ASCII up to 255 bytes: type 6, one-byte length
        {"short string", PacketCodec::serializedString(QStringLiteral("092a@b.ro")), hex("06" "09" "3039326140622e726f")},
        // beyond 255: type 12, u32 length
        {"long string", PacketCodec::serializedString(QString(256, u'x')).first(5), hex("0c" "00010000")},
        // any character outside ASCII: type 20, u32 length, UTF-8
        {"utf8 string", PacketCodec::serializedString(QStringLiteral("Ba\u0103")), hex("14" "04000000" "4261c483")},
        {"identity", PacketCodec::identity(QStringLiteral("u"), QStringLiteral("r")), hex("060175" "060172")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.got.toHex(), c.want.toHex()) << c.name;
}

TEST(PacketCodec, ReadsPayloads)
{
    EXPECT_EQ(PacketCodec::readAnnouncement(hex("05000000")).name, QString()) << "4 bytes: empty name";
    EXPECT_EQ(PacketCodec::readAnnouncement(hex("0500")).size, 0u);
    const auto a = PacketCodec::readAnnouncement(PacketCodec::announcement(7, QStringLiteral("Stoc")));
    EXPECT_EQ(a.size, 7u);
    EXPECT_EQ(a.name, QStringLiteral("Stoc"));

    // data "xy", name "ana", u32 3
    const auto r = PacketCodec::readRelayed(hex("7879" "616e61" "03000000"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->name, QStringLiteral("ana"));
    EXPECT_EQ(r->data, QByteArray("xy"));
    const auto nameOnly = PacketCodec::readRelayed(hex("616e61" "03000000"));
    ASSERT_TRUE(nameOnly) << "a name that fills the payload";
    EXPECT_EQ(nameOnly->name, QStringLiteral("ana"));
    EXPECT_TRUE(nameOnly->data.isEmpty());
    EXPECT_FALSE(PacketCodec::readRelayed(hex("61" "05000000"))) << "name longer than the payload";
    EXPECT_FALSE(PacketCodec::readRelayed(hex("61" "02000000"))) << "name one byte longer than the payload";
    EXPECT_FALSE(PacketCodec::readRelayed(hex("0100")));

    EXPECT_EQ(PacketCodec::lines("a\r\nb\nc\r\n"), (QStringList{"a", "b", "c"}));
}

TEST(PacketDecoder, SplitAtEveryByteAndCoalesced)
{
    QByteArray wire = PacketCodec::encode(PacketId::Accepted) + PacketCodec::encode(PacketId::StreamBlock, "hello")
                      + PacketCodec::encode(PacketId::Message, QByteArray(300, 'm'));
    for (qsizetype cut = 0; cut <= wire.size(); ++cut) {
        PacketDecoder d;
        d.feed(QByteArrayView(wire).first(cut));
        QList<Packet> got = decodeAll(d);
        d.feed(QByteArrayView(wire).sliced(cut));
        got += decodeAll(d);
        ASSERT_EQ(got.size(), 3) << "cut at " << cut;
        EXPECT_EQ(got[0].id, PacketId::Accepted);
        EXPECT_EQ(got[1].payload, QByteArray("hello"));
        EXPECT_EQ(got[2].payload.size(), 300);
        EXPECT_EQ(d.buffered(), 0);
    }
    // One byte at a time: each packet once, after its last byte.
    PacketDecoder d;
    int seen = 0;
    for (qsizetype i = 0; i < wire.size(); ++i) {
        d.feed(QByteArrayView(wire).sliced(i, 1));
        seen += int(decodeAll(d).size());
    }
    EXPECT_EQ(seen, 3);
}

TEST(PacketDecoder, BadLengthsAreProtocolErrors)
{
    struct Case
    {
        const char *name;
        QByteArray wire;
        int packetsBefore;
    };
    const Case cases[] = {
        {"length 0", hex("00000000" "01000000"), 0},
        {"length 7", hex("07000000" "01000000"), 0},
        {"above the cap", hex("01000004" "13000000"), 0},
        {"after a good packet", PacketCodec::encode(PacketId::Pong) + hex("ffffffff" "13000000"), 1},
    };
    for (const Case &c : cases) {
        PacketDecoder d;
        d.feed(c.wire);
        EXPECT_EQ(decodeAll(d).size(), c.packetsBefore) << c.name;
        Packet p;
        EXPECT_EQ(d.next(p), PacketDecoder::Result::Error) << c.name;
        d.feed(PacketCodec::encode(PacketId::Ping));
        EXPECT_EQ(d.next(p), PacketDecoder::Result::Error) << c.name << ": nothing after the error";
    }
    // The cap itself is allowed; it just waits for the bytes.
    PacketDecoder d;
    d.feed(hex("00000004" "13000000"));
    Packet p;
    EXPECT_EQ(d.next(p), PacketDecoder::Result::NeedMore);
}

} // namespace
