#pragma once

#include "remote/PacketCodec.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>
#include <QDir>
#include <QWidget>

#include <functional>

// Lets events run until the condition holds or 10 seconds pass.
inline bool pumpUntil(const std::function<bool()> &done, int ms = 10000)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Packets as the server side frames them, written apart from the client's codec.
inline QByteArray frame(quint32 id, const QByteArray &payload = {})
{
    QByteArray out(8, '\0');
    qToLittleEndian<quint32>(quint32(payload.size() + 8), out.data());
    qToLittleEndian<quint32>(id, out.data() + 4);
    return out + payload;
}

inline QByteArray u32(quint32 v)
{
    QByteArray out(4, '\0');
    qToLittleEndian<quint32>(v, out.data());
    return out;
}

// A peer on 127.0.0.1 that takes one connection and sends what the test says.
class RawPeer : public QObject
{
public:
    RawPeer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, this, [this] { received += socket->readAll(); });
        });
    }
    quint16 port() const { return server.serverPort(); }
    bool waitConnected() { return pumpUntil([this] { return socket != nullptr; }); }
    void send(const QByteArray &bytes)
    {
        socket->write(bytes);
        socket->flush();
    }
    // The packet ids received so far (whole packets only).
    QList<quint32> ids() const
    {
        QList<quint32> out;
        qsizetype pos = 0;
        while (received.size() - pos >= 8) {
            const quint32 length = qFromLittleEndian<quint32>(received.constData() + pos);
            if (length < 8 || received.size() - pos < qsizetype(length))
                break;
            out.append(qFromLittleEndian<quint32>(received.constData() + pos + 4));
            pos += length;
        }
        return out;
    }

    QTcpServer server;
    QPointer<QTcpSocket> socket;
    QByteArray received;
};

// Saves a picture of the widget when KESTRUN_SCREENSHOTS names a folder.
inline void keepScreenshot(QWidget *w, const QString &name)
{
    const QString folder = qEnvironmentVariable("KESTRUN_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    w->grab().save(folder + u'/' + name + QStringLiteral(".png"));
}
