#include "remote/BackupExchange.h"

#include "core/Form1.h"
#include "platform/io/DurableFile.h"
#include "platform/io/KestrunError.h"
#include "remote/RemoteSettings.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>

namespace {

const QString TransferError = QStringLiteral("Eroare la transmisie.");

QString padded(const QString &text, int width)
{
    return text.size() >= width ? text : text + QString(width - text.size(), u' ');
}

} // namespace

BackupExchange::BackupExchange(QObject *parent) : QObject(parent)
{
    Cli1.SetMaxPing(30000);
    Asteptare.setInterval(60000);
    Asteptare.setSingleShot(true);
    connect(&Asteptare, &QTimer::timeout, this, &BackupExchange::timedOut);
    connect(&Cli1, &TPacketTCPClient::OnServerAccept, this, [this] {
        if (m_state == Connecting)
            m_state = Accepted;
    });
    connect(&Cli1, &TPacketTCPClient::OnServerAcceptStream, this, &BackupExchange::sendNextBlock);
    connect(&Cli1, &TPacketTCPClient::OnServerNeedMoreData, this, &BackupExchange::sendNextBlock);
    connect(&Cli1, &TPacketTCPClient::OnServerReceivedStream, this, &BackupExchange::serverReceivedRequest);
    connect(&Cli1, &TPacketTCPClient::OnNewStreamComing, this, &BackupExchange::replyComing);
    connect(&Cli1, &TPacketTCPClient::OnPacketCome, this, &BackupExchange::replyBlock);
    connect(&Cli1, &TPacketTCPClient::OnStreamReceived, this, &BackupExchange::replyComplete);
    for (auto event : {&TPacketTCPClient::OnDisconnected, &TPacketTCPClient::OnServerDenyStream,
                       &TPacketTCPClient::OnServerStopReceivingStream, &TPacketTCPClient::OnServerStopSendingStream,
                       &TPacketTCPClient::OnServerDisconnectAll, &TPacketTCPClient::OnServerDisconnectYou,
                       &TPacketTCPClient::OnServerKickYouOut, &TPacketTCPClient::OnServerNameInUse,
                       &TPacketTCPClient::OnServerNotLetIn, &TPacketTCPClient::OnTimeOut})
        connect(&Cli1, event, this, &BackupExchange::ending);
    connect(&Cli1, &TPacketTCPClient::OnError, this, &BackupExchange::ending);
}

BackupExchange::~BackupExchange()
{
    Cli1.blockSignals(true);
    Cli1.SetConnected(false);
}

void BackupExchange::waitWhile(const std::function<bool()> &condition)
{
    // The wait timer runs throughout, so an event always comes.
    while (condition())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void BackupExchange::restartWait()
{
    Asteptare.start();
}

bool BackupExchange::Connect()
{
    const QString address = serverAddress ? serverAddress() : QString();
    if (address.isEmpty()) {
        m_lastError = QStringLiteral("Nu aveti internet!");
        return false;
    }
    Cli1.SetConnected(false);
    Cli1.SetPort(RemoteSettings::backupPort());
    Cli1.SetHost(address);
    emit status(QStringLiteral("Conectare Server..."));
    Cli1.UserName = QStringLiteral("092") + email;
    Cli1.Room = padded(padded(password, 40) + locality, 140);
    m_state = Connecting;
    Cli1.SetConnected(true);
    restartWait();
    waitWhile([this] { return m_state == Connecting && !m_stop; });
    if (m_stop || m_state != Accepted) {
        const bool timedOut = m_stop;
        m_state = Ended;
        Cli1.SetConnected(false);
        Asteptare.stop();
        m_lastError = timedOut ? QStringLiteral("Timp de asteptare prea mare!") : QStringLiteral("Serverul nu raspunde!");
        return false;
    }
    return true;
}

bool BackupExchange::SendCommand(const QString &requestPath)
{
    m_lastError.clear();
    m_stop = false;
    m_replyDone = false;
    m_replyPath.clear();
    emit status(QStringLiteral("Verific conexiunea..."));
    emit progress(0, 1);
    if (Connect()) {
        m_state = Sending;
        m_replyPath = Form1().TempFileName(QStringLiteral("Primit"), QStringLiteral(".tmp"));
        emit status(QStringLiteral("Transmit comanda..."));
        m_request.setFileName(requestPath);
        if (m_replyPath.isEmpty() || !m_request.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            fail(TransferError);
        } else {
            m_requestSize = m_request.size();
            emit progress(0, m_requestSize);
            Cli1.AnnounceStream(quint32(m_requestSize), QStringLiteral("\"trimit\""));
            waitWhile([this] { return !m_stop && Cli1.Connected() && !m_replyDone; });
            if (m_stop && !m_replyDone)
                m_lastError = QStringLiteral("Oprire fortata.");
        }
    }
    // The reply is complete even when the server keeps the connection.
    const bool done = m_replyDone;
    m_state = Ended;
    Cli1.SetConnected(false);
    Asteptare.stop();
    m_request.close();
    QFile::remove(requestPath);
    m_reply.reset();
    return done && QFile::exists(m_replyPath);
}

void BackupExchange::Stop()
{
    m_stop = true;
    Cli1.SetConnected(false);
}

void BackupExchange::sendNextBlock()
{
    if (m_state != Sending || !m_request.isOpen())
        return;
    restartWait();
    // The announced size bounds the stream, whatever the file does meanwhile.
    const qint64 left = m_requestSize - m_request.pos();
    emit progress(m_request.pos(), m_requestSize);
    if (left <= 0)
        return;
    try {
        Cli1.SendStreamBlock(&m_request, std::min<qint64>(left, BlockSize));
    } catch (const PacketTCPError &) {
        fail(TransferError);
    }
}

void BackupExchange::serverReceivedRequest()
{
    if (m_state != Sending)
        return;
    m_state = Accepted;
    m_request.close();
    QFile::remove(m_request.fileName());
    emit status(QStringLiteral("Astept raspuns..."));
    emit progress(0, 1);
    restartWait();
}

void BackupExchange::replyComing(qint64 size, const QString &, bool *accept)
{
    // One reply, and only once the server has the whole request.
    if (m_state != Accepted || m_reply || m_replyDone || m_request.isOpen()) {
        fail(TransferError);
        return;
    }
    try {
        m_reply = std::make_unique<DurableFile>(m_replyPath);
    } catch (const std::exception &e) {
        fail(KestrunError::textOf(e));
        return;
    }
    *accept = true;
    m_state = Receiving;
    restartWait();
    emit progress(0, size);
    emit status(QStringLiteral("Primesc raspunsul..."));
}

void BackupExchange::replyBlock(const QByteArray &block)
{
    if (m_state != Receiving || !m_reply)
        return;
    try {
        m_reply->write(block);
    } catch (const std::exception &e) {
        fail(KestrunError::textOf(e));
        return;
    }
    restartWait();
    emit progress(m_reply->size(), Cli1.ExpectedSize());
    if (Cli1.ReceivedCount() < Cli1.ExpectedSize())
        Cli1.RequestMoreData();
}

void BackupExchange::replyComplete()
{
    if (m_state != Receiving || !m_reply)
        return;
    try {
        m_reply->commit();
    } catch (const std::exception &e) {
        fail(KestrunError::textOf(e));
        return;
    }
    m_reply.reset();
    m_state = Accepted;
    m_replyDone = true;
    Asteptare.stop();
}

void BackupExchange::fail(const QString &reason)
{
    if (m_state == Ended)
        return;
    ending();
    m_lastError = reason;
}

void BackupExchange::ending()
{
    if (m_state == Ended || m_replyDone) {
        m_state = Ended;
        return;
    }
    // Anything after the connection was accepted and before the reply is whole loses the exchange.
    if (m_state != Connecting) {
        m_request.close();
        QFile::remove(m_request.fileName());
        m_reply.reset();
        QFile::remove(m_replyPath);
        m_lastError = TransferError;
    }
    m_state = Ended;
    Asteptare.stop();
    Cli1.SetConnected(false);
}

void BackupExchange::timedOut()
{
    m_lastError = QStringLiteral("Serverul nu raspunde!");
    m_stop = true;
    Asteptare.stop();
    ending();
}
