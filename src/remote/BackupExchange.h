#pragma once

#include "remote/PacketTCPClient.h"

#include <QFile>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class DurableFile;

// One request-and-reply exchange with the backup server over a fresh
// connection: connect and wait for the server to accept, send the request
// file as one stream, receive the reply as one stream into the reply file.
// Every ending (refusal, deny, stop, drop, time-out, error) disconnects,
// deletes the exchange's files and records the reason.
class BackupExchange : public QObject
{
    Q_OBJECT
public:
    enum State { Connecting = 0, Sending = 1, Receiving = 2, Accepted = 3, Ended = 4 };

    explicit BackupExchange(QObject *parent = nullptr);
    ~BackupExchange() override;

    TPacketTCPClient Cli1;
    // Waits for the server; also the inactivity bound of the transfer.
    QTimer Asteptare;

    // The server's address ("" when unknown); TNetF::ServerAddress by default.
    std::function<QString()> serverAddress;
    // Who connects: the account's e-mail and password, and the office's locality text.
    QString email;
    QString password;
    QString locality;

    // Connects and waits for the server's acceptance.
    bool Connect();
    // One exchange: true when the whole reply is in the reply file.
    bool SendCommand(const QString &requestPath);
    // Ends a waiting exchange (the dialog closes).
    void Stop();

    QString replyPath() const { return m_replyPath; }
    QString lastError() const { return m_lastError; }
    int state() const { return m_state; }

    // One block goes out for each ask of the server (its accept, then each "need more").
    static constexpr int BlockSize = 65535;

signals:
    void status(const QString &text);
    void progress(qint64 position, qint64 maximum);

private:
    void waitWhile(const std::function<bool()> &condition);
    void sendNextBlock();
    void serverReceivedRequest();
    void replyComing(qint64 size, const QString &name, bool *accept);
    void replyBlock(const QByteArray &block);
    void replyComplete();
    void ending();
    void timedOut();
    void fail(const QString &reason);
    void restartWait();

    int m_state = Ended;
    bool m_stop = false;
    bool m_replyDone = false;
    QString m_lastError;
    QString m_replyPath;
    QFile m_request;
    qint64 m_requestSize = 0; // as announced
    std::unique_ptr<DurableFile> m_reply;
};
