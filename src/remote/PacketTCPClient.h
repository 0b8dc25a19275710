#pragma once

#include "platform/io/KestrunError.h"
#include "remote/PacketCodec.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

class QIODevice;
class QTcpSocket;

class PacketTCPError : public KestrunError
{
public:
    using KestrunError::KestrunError;
};

// The client end of the backup connection: framed packets over a TCP
// socket on the GUI event loop, the identity exchange, ping and stream
// transfer. Events are signals, delivered on the same thread.
//
// Packets are dispatched from one queue: a handler that lets events run
// never starts a second dispatch; bytes arriving meanwhile join the queue
// and the running dispatch takes them in order.
class TPacketTCPClient : public QObject
{
    Q_OBJECT
public:
    explicit TPacketTCPClient(QObject *parent = nullptr);
    ~TPacketTCPClient() override;

    // Code for errors of the protocol itself (bad length, stray block).
    static constexpr int ProtocolError = -2;
    // The socket library's text for an error code.
    static QString ErrorText(int code);

    QString Host() const { return m_host; }
    void SetHost(const QString &host);
    quint16 Port() const { return m_port; }
    void SetPort(quint16 port);
    bool AllowChangeHostAndPortOnConnection = false;
    bool AutoTryReconnect = false;
    QString Room;
    QString UserName;
    quint32 MaxPing() const { return m_maxPing; }
    void SetMaxPing(quint32 ms);

    bool Connected() const { return m_connected; }
    // true: starts connecting (usable once OnConnected fires); false: closes
    // at once and fires OnDisconnected. Throws when Room or UserName is empty.
    void SetConnected(bool connected);

    // --- sending ---
    void SendPacket(quint32 id, QByteArrayView payload = {});
    void RequestMoreData();
    void AnnounceStream(quint32 size, const QString &name);
    // Sends the next `count` bytes of the stream (fewer at its end) as one block.
    void SendStreamBlock(QIODevice *stream, qint64 count);

    // --- incoming stream and ping state ---
    qint64 ExpectedSize() const { return m_expected; }
    qint64 ReceivedCount() const { return m_received; }
    QString StreamName() const { return m_streamName; }
    int MissedPings() const { return m_missedPings; }
    bool PingOutstanding() const { return m_pingOutstanding; }

    // The ping timer's tick.
    void PingTick();

signals:
    void OnAClientJoin(const QString &name);
    void OnAClientLeave(const QString &name);
    void OnConnected();
    void OnDisconnected();
    void OnError(int code, const QString &text);
    void OnMessageCome(const QString &text);
    void OnNameListReceived(const QStringList &names);
    // Set *accept to take the stream; it is false on entry.
    void OnNewStreamComing(qint64 size, const QString &name, bool *accept);
    void OnPacketCome(const QByteArray &block);
    void OnPacketFromClient(const QString &name, const QByteArray &data);
    void OnStreamReceived(qint64 size, const QString &name);
    void OnTimeOut();
    void OnUnknownPacketID(const QByteArray &payload, quint32 id);
    void OnServerAccept();
    void OnServerAcceptStream();
    void OnServerDenyStream();
    void OnServerDisconnectAll();
    void OnServerDisconnectYou();
    void OnServerKickYouOut();
    void OnServerNameInUse();
    void OnServerNeedMoreData();
    void OnServerNotLetIn();
    void OnServerPong();
    void OnServerReceivedStream();
    void OnServerStopReceivingStream();
    void OnServerStopSendingStream();

private:
    void connectSocket();
    // Puts one framed packet on the connection, when there is one.
    void sendFramed(const QByteArray &packet);
    void closeSocket();
    void resetStream();
    void readAvailable();
    void dispatchQueued();
    void DispatchPacket(const Packet &packet);
    void receiveBlock(const QByteArray &block);
    void newStreamComing(const QByteArray &payload);
    void serverEnds(void (TPacketTCPClient::*event)());
    void DoConnect();
    void DoDisconnect();
    void socketError();
    // Ends the connection (unless the error is a would-block) and reports the error.
    void ErrorHook(int code, const QString &text = {});

    QTcpSocket *m_socket = nullptr;
    QTimer m_pingTimer;
    PacketDecoder m_decoder;
    QString m_host;
    quint16 m_port = 0;
    quint32 m_maxPing = 1000;
    bool m_connected = false;
    bool m_dispatching = false;
    quint64 m_generation = 0;   // counts connections
    quint64 m_peerClosed = 0;   // the connection whose peer closed during a dispatch
    bool m_streamOpen = false;  // an accepted incoming stream still expects bytes
    qint64 m_expected = 0;
    qint64 m_received = 0;
    QString m_streamName;
    bool m_pingOutstanding = false;
    int m_missedPings = 0;
};
