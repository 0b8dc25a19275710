#include "remote/PacketTCPClient.h"

#include <QIODevice>
#include <QTcpSocket>

#include <algorithm>
#include <utility>

namespace {

struct ErrorEntry
{
    int code;
    const char *text;
};

constexpr ErrorEntry ErrorTexts[] = {
    {10004, "Interrupted system call"}, {10009, "Bad file number"}, {10013, "Permission denied"},
    {10014, "Bad address"}, {10022, "Invalid argument"}, {10024, "Too many open files"},
    {10035, "Operation would block"}, {10036, "Operation now in progress"},
    {10037, "Operation already in progress"}, {10038, "Socket operation on non-socket"},
    {10039, "Destination address required"}, {10040, "Message too long"},
    {10041, "Protocol wrong type for socket"}, {10042, "Protocol not available"},
    {10043, "Protocol not supported"}, {10044, "Socket type not supported"},
    {10045, "Operation not supported on socket"}, {10046, "Protocol family not supported"},
    {10047, "Address family not supported by protocol family"}, {10048, "Address already in use"},
    {10049, "Can't assign requested address"}, {10050, "Network is down"}, {10051, "Network is unreachable"},
    {10052, "Network dropped connection on reset"}, {10053, "Software caused connection abort"},
    {10054, "Connection reset by peer"}, {10055, "No buffer space available"},
    {10056, "Socket is already connected"}, {10057, "Socket is not connected"},
    {10058, "Can't send after socket shutdown"}, {10059, "Too many references: can't splice"},
    {10060, "Connection timed out"}, {10061, "Connection refused"},
    {10062, "Too many levels of symbolic links"}, {10063, "File name too long"}, {10064, "Host is down"},
    {10065, "No route to host"}, {10066, "Directory not empty"}, {10067, "Too many processes"},
    {10068, "Too many users"}, {10069, "Disk quota exceeded"}, {10070, "Stale NFS file handle"},
    {10071, "Too many levels of remote in path"}, {10091, "Network sub-system is unusable"},
    {10092, "WinSock DLL cannot support this application"}, {10093, "WinSock not initialized"},
    {11001, "Host not found"}, {11002, "Non-authoritative host not found"}, {11003, "Non-recoverable error"},
    {11004, "No Data"},
};

constexpr int WouldBlock = 10035;

// The socket library's code for a Qt socket error.
int errorCode(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return 10061;
    case QAbstractSocket::RemoteHostClosedError: return 10054;
    case QAbstractSocket::HostNotFoundError: return 10014; // a failed lookup
    case QAbstractSocket::SocketAccessError: return 10013;
    case QAbstractSocket::SocketResourceError: return 10055;
    case QAbstractSocket::SocketTimeoutError: return 10060;
    case QAbstractSocket::DatagramTooLargeError: return 10040;
    case QAbstractSocket::NetworkError: return 10050;
    case QAbstractSocket::AddressInUseError: return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError: return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError: return 10045;
    default: return -1;
    }
}

} // namespace

TPacketTCPClient::TPacketTCPClient(QObject *parent) : QObject(parent)
{
    m_pingTimer.setInterval(int(m_maxPing));
    connect(&m_pingTimer, &QTimer::timeout, this, &TPacketTCPClient::PingTick);
}

TPacketTCPClient::~TPacketTCPClient()
{
    // Destroying closes without telling anyone.
    blockSignals(true);
    closeSocket();
}

QString TPacketTCPClient::ErrorText(int code)
{
    for (const ErrorEntry &e : ErrorTexts)
        if (e.code == code)
            return QString::fromLatin1(e.text);
    return QStringLiteral("Unkown error was encountered!");
}

void TPacketTCPClient::SetHost(const QString &host)
{
    if (host == m_host)
        return;
    if (m_connected && !AllowChangeHostAndPortOnConnection)
        throw PacketTCPError("Can not change the Host while connected");
    const bool reconnect = m_connected;
    closeSocket();
    m_host = host;
    if (reconnect)
        SetConnected(true);
}

void TPacketTCPClient::SetPort(quint16 port)
{
    if (port == m_port)
        return;
    if (m_connected && !AllowChangeHostAndPortOnConnection)
        throw PacketTCPError("Can not change the Port while connected");
    const bool reconnect = m_connected;
    closeSocket();
    m_port = port;
    if (reconnect)
        SetConnected(true);
}

void TPacketTCPClient::SetMaxPing(quint32 ms)
{
    m_maxPing = ms;
    m_pingTimer.setInterval(int(std::min<quint32>(ms, 0x7FFFFFFF)));
}

void TPacketTCPClient::SetConnected(bool connected)
{
    if (connected == m_connected)
        return;
    if (connected)
        connectSocket();
    else
        closeSocket();
}

void TPacketTCPClient::connectSocket()
{
    if (Room.isEmpty() || UserName.isEmpty())
        throw PacketTCPError("Room and username must be specified before connecting!");
    resetStream();
    m_decoder.clear();
    m_pingOutstanding = false;
    m_missedPings = 0;
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &TPacketTCPClient::DoConnect);
    connect(m_socket, &QTcpSocket::readyRead, this, &TPacketTCPClient::readAvailable);
    connect(m_socket, &QTcpSocket::disconnected, this, &TPacketTCPClient::DoDisconnect);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TPacketTCPClient::socketError);
    m_connected = true;
    ++m_generation;
    m_pingTimer.start();
    m_socket->connectToHost(m_host, m_port);
}

void TPacketTCPClient::closeSocket()
{
    if (!m_connected)
        return;
    resetStream();
    m_pingTimer.stop();
    m_connected = false;
    ++m_generation;
    m_decoder.clear();
    if (QTcpSocket *s = std::exchange(m_socket, nullptr)) {
        s->disconnect(this);
        if (s->state() == QAbstractSocket::ConnectedState)
            s->flush();
        s->abort();
        s->deleteLater();
    }
    emit OnDisconnected();
}

void TPacketTCPClient::resetStream()
{
    m_streamOpen = false;
    m_expected = 0;
    m_received = 0;
    m_streamName.clear();
}

void TPacketTCPClient::DoConnect()
{
    if (m_socket)
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    emit OnConnected();
}

void TPacketTCPClient::DoDisconnect()
{
    if (!m_connected)
        return;
    // What the peer sent before closing is handled before the close.
    readAvailable();
    if (m_dispatching) {
        // A handler of the running dispatch let events run: the dispatch
        // finishes the queue and then closes.
        m_peerClosed = m_generation;
        return;
    }
    if (!m_connected)
        return;
    closeSocket();
    if (AutoTryReconnect)
        SetConnected(true);
}

void TPacketTCPClient::socketError()
{
    if (!m_socket)
        return;
    const QAbstractSocket::SocketError error = m_socket->error();
    if (error == QAbstractSocket::RemoteHostClosedError) {
        DoDisconnect();
        return;
    }
    ErrorHook(errorCode(error));
}

void TPacketTCPClient::ErrorHook(int code, const QString &text)
{
    if (code != WouldBlock)
        closeSocket();
    emit OnError(code, text.isEmpty() ? ErrorText(code) : text);
}

void TPacketTCPClient::readAvailable()
{
    if (!m_socket)
        return;
    m_decoder.feed(m_socket->readAll());
    dispatchQueued();
}

void TPacketTCPClient::dispatchQueued()
{
    if (m_dispatching)
        return;
    m_dispatching = true;
    Packet packet;
    for (;;) {
        const PacketDecoder::Result r = m_decoder.next(packet);
        if (r == PacketDecoder::Result::NeedMore) {
            // The socket does not signal again for bytes that came while a
            // handler let events run: take them here.
            if (!m_socket || m_socket->bytesAvailable() == 0)
                break;
            m_decoder.feed(m_socket->readAll());
            continue;
        }
        if (r == PacketDecoder::Result::Error) {
            m_dispatching = false;
            ErrorHook(ProtocolError, QStringLiteral("Pachet cu lungime gresita (%1 octeti).").arg(m_decoder.badLength()));
            return;
        }
        DispatchPacket(packet);
    }
    m_dispatching = false;
    if (m_connected && m_peerClosed == m_generation) {
        m_peerClosed = 0;
        DoDisconnect();
    }
}

void TPacketTCPClient::serverEnds(void (TPacketTCPClient::*event)())
{
    closeSocket();
    emit(this->*event)();
}

void TPacketTCPClient::DispatchPacket(const Packet &packet)
{
    switch (packet.id) {
    case PacketId::NeedMoreData: emit OnServerNeedMoreData(); break;
    case PacketId::StreamComing: newStreamComing(packet.payload); break;
    case PacketId::DenyStream: emit OnServerDenyStream(); break;
    case PacketId::AcceptStream: emit OnServerAcceptStream(); break;
    case PacketId::StopReceivingStream: emit OnServerStopReceivingStream(); break;
    case PacketId::StopSendingStream: emit OnServerStopSendingStream(); break;
    case PacketId::Message: emit OnMessageCome(PacketCodec::text(packet.payload)); break;
    case PacketId::Ping: SendPacket(PacketId::Pong); break;
    case PacketId::Pong:
        m_pingOutstanding = false;
        m_missedPings = 0;
        emit OnServerPong();
        break;
    case PacketId::IdentifyYourself: SendPacket(PacketId::Identity, PacketCodec::identity(UserName, Room)); break;
    case PacketId::DisconnectAll: serverEnds(&TPacketTCPClient::OnServerDisconnectAll); break;
    case PacketId::DisconnectYou: serverEnds(&TPacketTCPClient::OnServerDisconnectYou); break;
    case PacketId::KickYouOut: serverEnds(&TPacketTCPClient::OnServerKickYouOut); break;
    case PacketId::NameInUse: serverEnds(&TPacketTCPClient::OnServerNameInUse); break;
    case PacketId::NotLetIn: serverEnds(&TPacketTCPClient::OnServerNotLetIn); break;
    case PacketId::Accepted: emit OnServerAccept(); break;
    case PacketId::StreamBlock: receiveBlock(packet.payload); break;
    case PacketId::StreamReceived: emit OnServerReceivedStream(); break;
    case PacketId::NameList: emit OnNameListReceived(PacketCodec::lines(packet.payload)); break;
    case PacketId::ClientJoin: emit OnAClientJoin(PacketCodec::text(packet.payload)); break;
    case PacketId::ClientLeave: emit OnAClientLeave(PacketCodec::text(packet.payload)); break;
    case PacketId::FromClient:
        if (const auto relayed = PacketCodec::readRelayed(packet.payload)) {
            emit OnPacketFromClient(relayed->name, relayed->data);
            break;
        }
        [[fallthrough]];
    default: emit OnUnknownPacketID(packet.payload, packet.id); break;
    }
}

void TPacketTCPClient::newStreamComing(const QByteArray &payload)
{
    const PacketCodec::Announcement a = PacketCodec::readAnnouncement(payload);
    bool accept = false;
    emit OnNewStreamComing(qint64(a.size), a.name, &accept);
    if (!m_connected)
        return;
    if (!accept) {
        SendPacket(PacketId::DenyStream);
        return;
    }
    m_streamOpen = true;
    m_expected = a.size;
    m_received = 0;
    m_streamName = a.name;
    SendPacket(PacketId::AcceptStream);
    if (m_expected == 0)
        receiveBlock({}); // nothing to wait for: the stream is whole already
}

void TPacketTCPClient::receiveBlock(const QByteArray &block)
{
    if (!m_streamOpen) {
        ErrorHook(ProtocolError, QStringLiteral("Bloc de date primit fara anuntarea fisierului."));
        return;
    }
    if (m_received + block.size() > m_expected) {
        ErrorHook(ProtocolError, QStringLiteral("Bloc de date peste marimea anuntata (%1 octeti peste %2).")
                                     .arg(m_received + block.size())
                                     .arg(m_expected));
        return;
    }
    m_received += block.size();
    if (!block.isEmpty())
        emit OnPacketCome(block);
    if (!m_connected || m_received < m_expected)
        return;
    m_streamOpen = false;
    emit OnStreamReceived(m_received, m_streamName);
    SendPacket(PacketId::StreamReceived);
}

void TPacketTCPClient::SendPacket(quint32 id, QByteArrayView payload)
{
    sendFramed(PacketCodec::encode(id, payload));
}

void TPacketTCPClient::sendFramed(const QByteArray &packet)
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    // Whole packets only: the socket keeps the array itself, without a copy.
    m_socket->write(packet);
    // Out at once rather than on a later pass of the event loop, so the peer
    // has a whole packet as soon as it could; what the socket cannot take now
    // stays queued for its write notifier. A failure ends the connection here.
    m_socket->flush();
}

void TPacketTCPClient::RequestMoreData()
{
    SendPacket(PacketId::NeedMoreData);
}

void TPacketTCPClient::AnnounceStream(quint32 size, const QString &name)
{
    SendPacket(PacketId::StreamComing, PacketCodec::announcement(size, name));
}

void TPacketTCPClient::SendStreamBlock(QIODevice *stream, qint64 count)
{
    if (!m_socket || !stream)
        return;
    if (stream->pos() < 0)
        throw PacketTCPError("Error, invalid stream while trying to send!");
    // The block is read straight in after its header, so the file's bytes are
    // copied once on their way to the socket. A count beyond the longest
    // packet a reader here accepts is cut to that length.
    const qint64 room = std::clamp<qint64>(count, 0, PacketCodec::MaxLength - PacketCodec::HeaderSize);
    QByteArray packet(PacketCodec::HeaderSize + room, Qt::Uninitialized);
    const qint64 n = stream->read(packet.data() + PacketCodec::HeaderSize, room);
    if (n < 0)
        throw PacketTCPError("Error, invalid stream while trying to send!");
    if (n == 0 && room > 0)
        throw PacketTCPError("Error while sending stream! Stream position is in the end of the stream!");
    packet.truncate(PacketCodec::HeaderSize + n);
    PacketCodec::putHeader(packet.data(), PacketId::StreamBlock, n);
    sendFramed(packet);
}

void TPacketTCPClient::PingTick()
{
    SendPacket(PacketId::Ping);
    if (!m_pingOutstanding) {
        m_pingOutstanding = true;
        return;
    }
    ++m_missedPings;
    emit OnTimeOut();
}
