#include "RemoteTestSupport.h"

#include "core/TestSupport.h"
#include "remote/PacketTCPClient.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

// A client connected to a raw peer, with every event it fires written down in order.
class ClientTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        peer = std::make_unique<RawPeer>();
        client.UserName = QStringLiteral("092ana@primarie.ro");
        client.Room = QStringLiteral("parola");
        client.SetHost(QStringLiteral("127.0.0.1"));
        client.SetPort(peer->port());
        QObject::connect(&client, &TPacketTCPClient::OnDisconnected, [this] { events << "disconnected"; });
        QObject::connect(&client, &TPacketTCPClient::OnServerAccept, [this] { events << "accept"; });
        QObject::connect(&client, &TPacketTCPClient::OnServerDisconnectYou, [this] { events << "disconnect-you"; });
        QObject::connect(&client, &TPacketTCPClient::OnMessageCome, [this](const QString &t) { events << "msg " + t; });
        QObject::connect(&client, &TPacketTCPClient::OnError, [this](int code, const QString &) {
            events << QStringLiteral("error %1").arg(code);
        });
        QObject::connect(&client, &TPacketTCPClient::OnPacketCome, [this](const QByteArray &b) { events << "block " + b; });
        QObject::connect(&client, &TPacketTCPClient::OnStreamReceived, [this](qint64 n, const QString &name) {
            events << QStringLiteral("stream %1 %2").arg(n).arg(name);
        });
        QObject::connect(&client, &TPacketTCPClient::OnNewStreamComing, [](qint64, const QString &, bool *accept) {
            *accept = true;
        });
        client.SetConnected(true);
        ASSERT_TRUE(peer->waitConnected());
        ASSERT_TRUE(pumpUntil([this] { return peer->socket->state() == QAbstractSocket::ConnectedState; }));
    }

    std::unique_ptr<RawPeer> peer; // made once the application exists
    TPacketTCPClient client;
    QStringList events;
};

TEST_F(ClientTest, IdentityPingAndPacketsSplitOrCoalesced)
{
    // Identify, then a ping, a message split over two writes and an accept in one write.
    const QByteArray msg = frame(PacketId::Message, "salut");
    peer->send(frame(PacketId::IdentifyYourself) + frame(PacketId::Ping) + msg.first(5));
    ASSERT_TRUE(pumpUntil([this] { return peer->ids().size() == 2; }));
    peer->send(msg.sliced(5) + frame(PacketId::Accepted));
    ASSERT_TRUE(pumpUntil([this] { return events.size() == 2; }));
    EXPECT_EQ(events, (QStringList{"msg salut", "accept"}));
    EXPECT_EQ(peer->ids(), (QList<quint32>{PacketId::Identity, PacketId::Pong}));
    // The identity: user name, then room, each as a short string.
    EXPECT_EQ(peer->received.sliced(8, 2 + 18 + 2 + 6),
              QByteArray("\x06\x12" "092ana@primarie.ro" "\x06\x06" "parola", 28));
}

TEST_F(ClientTest, DispatchIsNeverReentrant)
{
    // The first message's handler lets events run while the second arrives.
    QObject::connect(&client, &TPacketTCPClient::OnMessageCome, [this](const QString &t) {
        if (t != u"unu")
            return;
        peer->send(frame(PacketId::Message, "doi"));
        pumpUntil([] { return false; }, 200);
        events << "end unu";
    });
    peer->send(frame(PacketId::Message, "unu"));
    ASSERT_TRUE(pumpUntil([this] { return events.size() == 3; }));
    EXPECT_EQ(events, (QStringList{"msg unu", "end unu", "msg doi"}));
}

TEST_F(ClientTest, EndingsFireDisconnectedOnce)
{
    struct Case
    {
        const char *name;
        QByteArray wire;
        bool peerCloses;
        QStringList want;
    };
    const Case cases[] = {
        // What came before the close is handled first.
        {"peer closes after data", frame(PacketId::Message, "ultim"), true, {"msg ultim", "disconnected"}},
        {"server disconnects us", frame(PacketId::DisconnectYou) + frame(PacketId::Message, "x"), false,
         {"disconnected", "disconnect-you"}},
        {"length below 8", frame(PacketId::Message, "a") + u32(3) + u32(1), false,
         {"msg a", "disconnected", "error -2"}},
        {"length above the cap", u32(PacketCodec::MaxLength + 1) + u32(19), false, {"disconnected", "error -2"}},
        {"block without announcement", frame(PacketId::StreamBlock, "x"), false, {"disconnected", "error -2"}},
        {"block past the announced size",
         frame(PacketId::StreamComing, u32(3) + "r") + frame(PacketId::StreamBlock, "ab") + frame(PacketId::StreamBlock, "cd"),
         false, {"block ab", "disconnected", "error -2"}},
    };
    for (const Case &c : cases) {
        if (!client.Connected()) {
            client.SetConnected(true);
            peer->socket = nullptr;
            ASSERT_TRUE(peer->waitConnected());
        }
        events.clear();
        peer->send(c.wire);
        if (c.peerCloses)
            peer->socket->disconnectFromHost();
        ASSERT_TRUE(pumpUntil([&] { return events.size() >= c.want.size(); })) << c.name;
        pumpUntil([] { return false; }, 50);
        EXPECT_EQ(events, c.want) << c.name;
        EXPECT_FALSE(client.Connected()) << c.name;
        EXPECT_EQ(client.ExpectedSize(), 0) << c.name << ": stream state cleared";
    }
}

TEST_F(ClientTest, StreamReceivedOnceAndAcknowledged)
{
    peer->send(frame(PacketId::StreamComing, u32(5) + "\"r\"") + frame(PacketId::StreamBlock, "abc")
              + frame(PacketId::StreamBlock, "de"));
    ASSERT_TRUE(pumpUntil([this] { return events.size() == 3; }));
    EXPECT_EQ(events, (QStringList{"block abc", "block de", "stream 5 \"r\""}));
    ASSERT_TRUE(pumpUntil([this] { return peer->ids().size() == 2; }));
    EXPECT_EQ(peer->ids(), (QList<quint32>{PacketId::AcceptStream, PacketId::StreamReceived}));
}

TEST_F(ClientTest, PingTimeOutAndStreamSending)
{
    int timeouts = 0;
    QObject::connect(&client, &TPacketTCPClient::OnTimeOut, [&] { ++timeouts; });
    client.PingTick();
    EXPECT_EQ(timeouts, 0);
    client.PingTick();
    client.PingTick();
    EXPECT_EQ(timeouts, 2);
    peer->send(frame(PacketId::Pong));
    ASSERT_TRUE(pumpUntil([this] { return !client.PingOutstanding(); }));
    EXPECT_EQ(client.MissedPings(), 0);

    QByteArray data("0123456789");
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    client.SendStreamBlock(&stream, 6);
    client.SendStreamBlock(&stream, 6);
    EXPECT_THROW(client.SendStreamBlock(&stream, 6), PacketTCPError);

    // The same port changes nothing; another one may not be set while connected.
    client.SetPort(client.Port());
    EXPECT_TRUE(client.Connected());
    EXPECT_THROW(client.SetPort(client.Port() + 1), PacketTCPError);
}

} // namespace
