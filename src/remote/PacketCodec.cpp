#include "remote/PacketCodec.h"

#include "platform/codepage/Cp1250.h"

#include <QtEndian>

#include <cstring>

namespace {

void appendU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

quint32 readU32(const char *at)
{
    return qFromLittleEndian<quint32>(at);
}

bool isAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 0x7F)
            return false;
    return true;
}

} // namespace

void PacketCodec::putHeader(char *at, quint32 id, qsizetype payloadSize)
{
    qToLittleEndian(quint32(payloadSize) + HeaderSize, at);
    qToLittleEndian(id, at + 4);
}

QByteArray PacketCodec::encode(quint32 id, QByteArrayView payload)
{
    QByteArray out(HeaderSize + payload.size(), Qt::Uninitialized);
    putHeader(out.data(), id, payload.size());
    if (!payload.isEmpty())
        std::memcpy(out.data() + HeaderSize, payload.data(), payload.size());
    return out;
}

QByteArray PacketCodec::announcement(quint32 size, const QString &name)
{
    QByteArray out;
    appendU32(out, size);
    out.append(Cp1250::encode(name));
    return out;
}

PacketCodec::Announcement PacketCodec::readAnnouncement(QByteArrayView payload)
{
    Announcement a;
    if (payload.size() >= 4)
        a.size = readU32(payload.data());
    if (payload.size() > 4)
        a.name = Cp1250::decode(payload.sliced(4));
    return a;
}

QByteArray PacketCodec::serializedString(const QString &text)
{
    // The writer's value types: 6 short string, 12 long string, 20 UTF-8 string.
    QByteArray out;
    if (!isAscii(text)) {
        const QByteArray utf8 = text.toUtf8();
        out.append(char(20));
        appendU32(out, quint32(utf8.size()));
        out.append(utf8);
    } else if (text.size() <= 255) {
        out.append(char(6));
        out.append(char(text.size()));
        out.append(text.toLatin1());
    } else {
        out.append(char(12));
        appendU32(out, quint32(text.size()));
        out.append(text.toLatin1());
    }
    return out;
}

QByteArray PacketCodec::identity(const QString &userName, const QString &room)
{
    return serializedString(userName) + serializedString(room);
}

std::optional<PacketCodec::Relayed> PacketCodec::readRelayed(QByteArrayView payload)
{
    if (payload.size() < 4)
        return std::nullopt;
    const qsizetype before = payload.size() - 4;
    const quint32 nameLength = readU32(payload.data() + before);
    if (nameLength > quint64(before))
        return std::nullopt;
    const qsizetype dataLength = before - qsizetype(nameLength);
    return Relayed{Cp1250::decode(payload.sliced(dataLength, nameLength)), payload.first(dataLength).toByteArray()};
}

QString PacketCodec::text(QByteArrayView payload)
{
    return Cp1250::decode(payload);
}

QStringList PacketCodec::lines(QByteArrayView payload)
{
    QString all = text(payload);
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    all.replace(u'\r', u'\n');
    QStringList out = all.split(u'\n');
    // A final line break ends the last line; it starts no empty one.
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

void PacketDecoder::feed(QByteArrayView bytes)
{
    if (m_failed || bytes.isEmpty())
        return;
    // Drop what was taken before growing, so the buffer holds one packet at most plus the new bytes.
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    m_buffer.append(bytes.data(), bytes.size());
}

PacketDecoder::Result PacketDecoder::next(Packet &packet)
{
    if (m_failed)
        return Result::Error;
    if (buffered() < qsizetype(PacketCodec::HeaderSize))
        return Result::NeedMore;
    const char *at = m_buffer.constData() + m_pos;
    const quint32 length = readU32(at);
    if (length < PacketCodec::HeaderSize || length > PacketCodec::MaxLength) {
        m_failed = true;
        m_badLength = length;
        m_buffer.clear();
        m_pos = 0;
        return Result::Error;
    }
    if (buffered() < qsizetype(length))
        return Result::NeedMore;
    packet.id = readU32(at + 4);
    packet.payload = QByteArray(at + PacketCodec::HeaderSize, length - PacketCodec::HeaderSize);
    m_pos += length;
    if (m_pos == m_buffer.size()) {
        m_buffer.clear();
        m_pos = 0;
    }
    return Result::Packet;
}

void PacketDecoder::clear()
{
    m_buffer.clear();
    m_pos = 0;
    m_failed = false;
    m_badLength = 0;
}
