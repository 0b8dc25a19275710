// Uploading a 50 MB archive to the loopback backup server (request framing,
// stream blocks acknowledged one by one, the reply), against copying the same
// bytes through a plain socket on loopback, in one run.
#include "remote/LoopbackBackupServer.h" // tests/remote

#include "core/Form1.h"
#include "remote/BackupExchange.h"
#include "remote/RemoteSettings.h"
#include "remote/RequestFile.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr qint64 Size = 50ll * 1024 * 1024;

double elapsedMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void pump(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratch;
    qputenv("HOME", scratch.path().toLocal8Bit());
    qputenv("KESTRUN_HOME", (scratch.path() + QStringLiteral("/Kestrun")).toLocal8Bit());
    QApplication app(argc, argv);
    const QString home = scratch.path() + QStringLiteral("/Kestrun");
    QDir().mkpath(home + QStringLiteral("/Data"));
    Form1().setFolders(home, home + QStringLiteral("/Data"), home + QStringLiteral("/Temp"));

    QByteArray archive(Size, Qt::Uninitialized);
    QRandomGenerator gen(92);
    gen.fillRange(reinterpret_cast<quint32 *>(archive.data()), archive.size() / 4);
    const QString archivePath = home + QStringLiteral("/Srv");
    QFile a(archivePath);
    a.open(QIODevice::WriteOnly);
    a.write(archive);
    a.close();

    LoopbackBackupServer server;
    server.keepUploads = false; // the sink keeps nothing either
    TForm1::WriteMachine(RemoteSettings::BackupPortKey, QString::number(server.port()));
    BackupExchange exchange;
    exchange.serverAddress = [] { return QStringLiteral("127.0.0.1"); };
    exchange.email = QStringLiteral("bench@primarie.ro");
    exchange.password = QStringLiteral("parola");
    exchange.locality = QStringLiteral("Ungureni/BACAU");

    const QString request = home + QStringLiteral("/Comanda.tmp");
    bool ok = true;
    const auto upload = [&] { ok = exchange.SendCommand(request) && ok; };

    // The sink: a plain server reading everything.
    QTcpServer sink;
    sink.listen(QHostAddress::LocalHost, 0);
    qint64 received = 0;
    QObject::connect(&sink, &QTcpServer::newConnection, [&] {
        QTcpSocket *s = sink.nextPendingConnection();
        QObject::connect(s, &QTcpSocket::readyRead, [&, s] { received += s->readAll().size(); });
        QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    });
    const auto raw = [&] {
        received = 0;
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, sink.serverPort());
        pump([&] { return s.state() == QAbstractSocket::ConnectedState; });
        s.write(archive);
        pump([&] { return received >= Size; });
        s.disconnectFromHost();
    };

    // Taken in turns, so a busy machine weighs on both alike.
    std::vector<double> ours, theirs;
    for (int run = 0; run < 5; ++run) {
        RequestFile::write(request, {QStringLiteral("/PUT_FILE bench")}, {archivePath});
        ours.push_back(elapsedMs(upload));
        theirs.push_back(elapsedMs(raw));
        server.copies.clear();
    }
    std::printf("uploads ok: %s, %lld bytes each\n", ok ? "yes" : "no", static_cast<long long>(Size));
    std::printf("backup_upload_ms: %.1f\n", median(ours));
    std::printf("raw_socket_ms: %.1f\n", median(theirs));
    std::printf("backup_upload_vs_raw_socket: %.2fx\n", median(ours) / median(theirs));
    return ok ? 0 : 1;
}
