#pragma once

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

// An HTTP responder on 127.0.0.1: records each request's target and answers
// with the status and body set, or misbehaves as told.
class LoopbackHttp : public QObject
{
public:
    enum class Mode { Normal, CutBody };

    LoopbackHttp()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = server.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { serve(s); });
        });
    }

    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()); }

    int status = 200;
    QByteArray body;
    Mode mode = Mode::Normal;
    QList<QByteArray> targets;

private:
    void serve(QTcpSocket *s)
    {
        QByteArray &in = m_pending[s];
        in += s->readAll();
        if (!in.contains("\r\n\r\n"))
            return;
        targets.append(in.split(' ').value(1));
        in.clear();
        // A cut body announces more than it sends, then closes.
        const qsizetype announced = mode == Mode::CutBody ? body.size() + 100 : body.size();
        s->write("HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Length: " + QByteArray::number(announced)
                 + "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
    }

    QTcpServer server;
    QHash<QTcpSocket *, QByteArray> m_pending;
};
