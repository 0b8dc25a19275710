#include "remote/RemoteSettings.h"

#include "core/Form1.h"

QString RemoteSettings::webServer()
{
    QString server = TForm1::ReadMachine(WebServerKey).trimmed();
    if (server.isEmpty())
        server = DefaultWebServer;
    while (server.endsWith(u'/'))
        server.chop(1);
    return server;
}

QString RemoteSettings::addressFileUrl()
{
    return webServer() + QStringLiteral("/demo/BackUpS/adr.txt");
}

QString RemoteSettings::suggestionPageUrl()
{
    return webServer() + QStringLiteral("/sugestii.php");
}

quint16 RemoteSettings::backupPort()
{
    bool ok = false;
    const uint port = TForm1::ReadMachine(BackupPortKey).trimmed().toUInt(&ok);
    return ok && port > 0 && port <= 65535 ? quint16(port) : DefaultBackupPort;
}
