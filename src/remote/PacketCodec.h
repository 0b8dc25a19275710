#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// One packet of the backup connection: u32 total length (payload + 8), u32
// id, payload; integers little-endian, no magic or checksum.
struct Packet
{
    quint32 id = 0;
    QByteArray payload;
};

// The packet ids both sides use.
namespace PacketId {
enum : quint32 {
    NeedMoreData = 1,
    StreamComing = 2,
    DenyStream = 4,
    AcceptStream = 5,
    StopReceivingStream = 6,
    StopSendingStream = 7,
    Message = 8,
    Ping = 9,
    Pong = 10,
    Identity = 11,
    IdentifyYourself = 12,
    DisconnectAll = 13,
    DisconnectYou = 14,
    KickYouOut = 15,
    NameInUse = 16,
    NotLetIn = 17,
    Accepted = 18,
    StreamBlock = 19,
    StreamReceived = 20,
    NameList = 21,
    ClientJoin = 22,
    ClientLeave = 23,
    FromClient = 24,
};
}

// Building and reading packet payloads; pure, no sockets.
class PacketCodec
{
public:
    static constexpr quint32 HeaderSize = 8;
    // A length above this is no packet of ours: the connection is dropped
    // rather than a buffer of up to 4 GiB being grown for it.
    static constexpr quint32 MaxLength = 64u << 20;

    static QByteArray encode(quint32 id, QByteArrayView payload = {});
    // Writes the 8 bytes before a payload of that size at `at`, so a payload
    // read straight in after them needs no further copy.
    static void putHeader(char *at, quint32 id, qsizetype payloadSize);

    // Stream announcement: u32 size, then the name's bytes (no length, no terminator).
    static QByteArray announcement(quint32 size, const QString &name);
    struct Announcement
    {
        quint32 size = 0;
        QString name;
    };
    // A payload of fewer than 4 bytes announces size 0.
    static Announcement readAnnouncement(QByteArrayView payload);

    // The identity packet's payload: the user name, then the room, each as
    // the component-stream writer stores a string.
    static QByteArray identity(const QString &userName, const QString &room);
    static QByteArray serializedString(const QString &text);

    // A packet relayed from another client: data, the sender's name, u32 name
    // length. Nothing when the length does not fit the payload.
    struct Relayed
    {
        QString name;
        QByteArray data;
    };
    static std::optional<Relayed> readRelayed(QByteArrayView payload);

    // Text payloads (messages, names, lists) are CP1250; lists split at CR, LF or CR LF.
    static QString text(QByteArrayView payload);
    static QStringList lines(QByteArrayView payload);
};

// Cuts packets out of the bytes of a connection as they arrive. A length
// field below 8 or above the cap is a protocol error: no packet is taken
// after it, and the connection must be dropped.
class PacketDecoder
{
public:
    enum class Result { Packet, NeedMore, Error };

    void feed(QByteArrayView bytes);
    // The next whole packet, in arrival order.
    Result next(Packet &packet);
    void clear();

    qsizetype buffered() const { return m_buffer.size() - m_pos; }
    // The offending length field after Error.
    quint32 badLength() const { return m_badLength; }

private:
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_failed = false;
    quint32 m_badLength = 0;
};
