#pragma once

// A backup server on 127.0.0.1 for tests, benchmarks and trials: it frames
// packets on its own (not with the client's codec), asks for the identity,
// keeps accounts and stored copies in memory, and can misbehave on purpose.

#include "platform/db/Dbf.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <functional>

class LoopbackBackupServer : public QObject
{
public:
    enum class Misbehave {
        None,
        NotLetIn,          // refuses the identity (17)
        NoAccept,          // never accepts the connection
        DenyRequest,       // denies the request stream (4)
        DropWhileSending,  // closes after the first request block
        StallReply,        // takes the request, never answers
        DropWhileReplying, // closes after the first reply block
        OverlongReply,     // the last reply block holds more than announced
        KeepConnection,    // stays connected after the reply
        BadAttachName,     // attaches "../Tolvard.set"
        BadAttachSize,     // an #ATTACH size one more than the bytes sent (a note attached when nothing else is)
        RefusePassword,    // answers every request "/PASS no" (the password changed elsewhere)
        MessagesOnly,      // answers every request with a message and nothing else
        AskSlowly,         // its accept and each "need more" go out late
    };

    struct Account
    {
        QString password;
        bool confirmed = false;
        QString code = QStringLiteral("004217");
    };
    struct Copy
    {
        int id = 0;
        double dataora = 0; // days since 30.12.1899
        QString obs;
        QByteArray archive;
    };

    Misbehave misbehave = Misbehave::None;
    QMap<QString, Account> accounts;
    QList<Copy> copies;
    int nextId = 1;
    QList<QStringList> requests; // the command lines of each request
    QString lastUserName;
    QString lastRoom;
    int blockSize = 65536; // 0 or less counts back from a reply's size: -1 leaves one byte for a second block
    QList<qsizetype> uploadBlocks; // the sizes of the request's stream blocks, in order
    // Off (the benchmark): an upload is counted, only its text part is kept.
    bool keepUploads = true;
    // Request blocks that came before the server asked for them (its accept or a "need more").
    int unaskedBlocks = 0;
    // Called as each request is answered, while the client waits.
    std::function<void()> onRequest;

    LoopbackBackupServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
                m_conns.insert(s, Conn{});
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] { read(s); });
                QObject::connect(s, &QTcpSocket::disconnected, this, [this, s] {
                    m_conns.remove(s);
                    s->deleteLater();
                });
                send(s, 12);
            }
        });
    }

    ~LoopbackBackupServer() override
    {
        // The sockets go before the connection table their handlers use.
        for (QTcpSocket *s : m_server.findChildren<QTcpSocket *>()) {
            s->disconnect();
            delete s;
        }
    }

    quint16 port() const { return m_server.serverPort(); }

    static QByteArray frame(quint32 id, const QByteArray &payload = {})
    {
        QByteArray out(8, '\0');
        qToLittleEndian<quint32>(quint32(payload.size() + 8), out.data());
        qToLittleEndian<quint32>(id, out.data() + 4);
        return out + payload;
    }

private:
    struct Conn
    {
        QByteArray in;
        QString user;
        QString room;
        qint64 expected = 0;
        qint64 received = 0;
        int asks = 0; // blocks asked for and not yet come
        QByteArray request;
        QByteArray reply;
        qint64 sent = 0;
    };

    void send(QTcpSocket *s, quint32 id, const QByteArray &payload = {}) { s->write(frame(id, payload)); }

    // Asks for the next request block: accept (5) or "need more" (1).
    void ask(QTcpSocket *s, quint32 id)
    {
        const auto go = [this, s, id] {
            if (!m_conns.contains(s))
                return;
            ++m_conns[s].asks;
            send(s, id);
        };
        if (misbehave == Misbehave::AskSlowly)
            QTimer::singleShot(30, s, go);
        else
            go();
    }

    void read(QTcpSocket *s)
    {
        if (!m_conns.contains(s))
            return;
        QByteArray &kept = m_conns[s].in;
        const QByteArray in = kept.isEmpty() ? s->readAll() : kept + s->readAll();
        qsizetype pos = 0;
        while (in.size() - pos >= 8) {
            const quint32 length = qFromLittleEndian<quint32>(in.constData() + pos);
            if (length < 8 || in.size() - pos < qsizetype(length))
                break;
            const quint32 id = qFromLittleEndian<quint32>(in.constData() + pos + 4);
            const QByteArrayView payload(in.constData() + pos + 8, length - 8);
            pos += length;
            packet(s, id, payload);
            if (!m_conns.contains(s))
                return;
        }
        m_conns[s].in = in.mid(pos);
    }

    void drop(QTcpSocket *s)
    {
        m_conns.remove(s);
        s->abort();
        s->deleteLater();
    }

    static QString identityString(QByteArrayView p, qsizetype &pos)
    {
        const char type = p.at(pos++);
        qsizetype n = 0;
        if (type == 6) {
            n = uchar(p.at(pos++));
        } else {
            n = qFromLittleEndian<quint32>(p.constData() + pos);
            pos += 4;
        }
        const QByteArray bytes = p.sliced(pos, std::min(n, p.size() - pos)).toByteArray();
        pos += n;
        return type == 20 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    }

    void packet(QTcpSocket *s, quint32 id, QByteArrayView payload)
    {
        Conn &c = m_conns[s];
        switch (id) {
        case 11: {
            qsizetype pos = 0;
            c.user = lastUserName = identityString(payload, pos);
            c.room = lastRoom = identityString(payload, pos);
            if (misbehave == Misbehave::NotLetIn)
                send(s, 17);
            else if (misbehave != Misbehave::NoAccept)
                send(s, 18);
            break;
        }
        case 9: send(s, 10); break;
        case 2:
            c.expected = qFromLittleEndian<quint32>(payload.constData());
            c.received = 0;
            if (keepUploads)
                c.request.reserve(std::min<qint64>(c.expected, qint64(256) << 20));
            if (misbehave == Misbehave::DenyRequest)
                send(s, 4);
            else
                ask(s, 5);
            break;
        case 19:
            if (c.asks == 0)
                ++unaskedBlocks;
            else
                --c.asks;
            uploadBlocks.append(payload.size());
            c.received += payload.size();
            if (keepUploads || c.request.size() < blockSize)
                c.request.append(payload.data(), payload.size());
            if (misbehave == Misbehave::DropWhileSending)
                return drop(s);
            if (c.received < c.expected)
                return ask(s, 1);
            send(s, 20);
            if (misbehave == Misbehave::StallReply)
                return;
            c.reply = respond(c.user, c.room, c.request);
            c.sent = 0;
            send(s, 2, u32(quint32(c.reply.size())) + "\"raspuns\"");
            break;
        case 5:
        case 1: {
            if (c.sent > 0 && misbehave == Misbehave::DropWhileReplying)
                return drop(s);
            QByteArray block = c.reply.mid(c.sent, blockSize > 0 ? blockSize : c.reply.size() + blockSize);
            c.sent += block.size();
            if (c.sent >= c.reply.size() && misbehave == Misbehave::OverlongReply)
                block += "peste";
            send(s, 19, block);
            break;
        }
        case 20:
        case 4:
            if (misbehave != Misbehave::KeepConnection)
                s->disconnectFromHost();
            break;
        default: break;
        }
    }

    static QByteArray u32(quint32 v)
    {
        QByteArray out(4, '\0');
        qToLittleEndian<quint32>(v, out.data());
        return out;
    }

    struct Attachment
    {
        QString name;
        QByteArray bytes;
    };

    QByteArray respond(const QString &user, const QString &room, const QByteArray &request)
    {
        const qsizetype end = request.indexOf("/END\r\n");
        const QStringList lines = QString::fromLatin1(request.left(end)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QList<Attachment> in;
        qsizetype pos = end + 6;
        QStringList commands;
        for (const QString &line : lines) {
            if (line.startsWith(QStringLiteral("#ATTACH "))) {
                const qsizetype n = line.section(u':', -1).trimmed().toLongLong();
                in.append({line.mid(8).section(u':', 0, 0).trimmed(), request.mid(pos, n)});
                pos += n;
            } else {
                commands << line;
            }
        }
        requests.append(commands);
        if (onRequest)
            onRequest();
        if (misbehave == Misbehave::MessagesOnly)
            return "/MSG_DLG Serviciul este in lucru.\r\n/END\r\n";
        const QString email = user.mid(3);
        const QString password = room.left(40).trimmed();
        if (!accounts.contains(email))
            accounts[email].password = password;
        Account &a = accounts[email];
        if (a.password != password || misbehave == Misbehave::RefusePassword)
            return "/PASS no\r\n/MSG_DLG nu se citeste\r\n/END\r\n";
        QStringList out;
        QList<Attachment> attach;
        for (const QString &command : commands) {
            const QString keyword = command.section(u' ', 0, 0);
            const QString argument = command.section(u' ', 1);
            if (keyword == u"/INFO") {
                out << QStringLiteral("/DATAIN 01.12.2026") << (a.confirmed ? QStringLiteral("/CODCONF OK") : QStringLiteral("/CODCONF NO"));
            } else if (keyword == u"/CHECKCOD") {
                a.confirmed = a.confirmed || argument == a.code;
            } else if (keyword == u"/SET_PASS") {
                a.password = argument;
                out << QStringLiteral("/MSG_DLG Parola a fost schimbata.");
            } else if (keyword == u"/EMAIL_PASS") {
                out << QStringLiteral("/MSG_DLG Parola a fost trimisa pe e-mail.");
            } else if (keyword == u"/PUT_FILE") {
                copies.append({nextId++, 46357.5, argument, in.value(0).bytes});
                out << QStringLiteral("/MSG_DLG Salvarea a fost primita.");
            } else if (keyword == u"/GET_STOC") {
                attach.append({QStringLiteral("Stoc.dbf"), stoc()});
            } else if (keyword == u"/DEL") {
                copies.removeIf([&](const Copy &c) { return c.id == argument.toInt(); });
            } else if (keyword == u"/GET_FILE") {
                for (const Copy &c : std::as_const(copies))
                    if (c.id == argument.toInt())
                        attach.append({argument, c.archive});
            }
        }
        if (misbehave == Misbehave::BadAttachName)
            attach.append({QStringLiteral("../Tolvard.set"), "[CONST]\r\n"});
        if (misbehave == Misbehave::BadAttachSize && attach.isEmpty())
            attach.append({QStringLiteral("Nota.txt"), "nota"});
        QByteArray head, tail;
        for (const QString &line : std::as_const(out))
            head += line.toLatin1() + "\r\n";
        for (const Attachment &at : std::as_const(attach)) {
            const qsizetype announced = at.bytes.size() + (misbehave == Misbehave::BadAttachSize ? 1 : 0);
            head += "#ATTACH " + at.name.toLatin1() + " : " + QByteArray::number(announced) + "\r\n";
            tail += at.bytes;
        }
        return head + "/END\r\n" + tail;
    }

    QByteArray stoc()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/Stoc.dbf");
        Dbf t = Dbf::create(path, {{QStringLiteral("IDSTOC"), 'N', 10, 0},
                                   {QStringLiteral("DATAORA"), 'N', 18, 6},
                                   {QStringLiteral("OBS"), 'C', 120, 0}});
        for (const Copy &c : std::as_const(copies)) {
            const qint64 r = t.appendBlank();
            t.setValues(r, {{0, double(c.id)}, {1, c.dataora}, {2, c.obs}});
        }
        t.close();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, Conn> m_conns;
};
