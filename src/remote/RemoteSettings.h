#pragma once

#include <QString>

// Where the remote services live: the maker's web server (the backup
// server's address file and the suggestion page) and the backup server's
// port. Both may be set in the machine-level store, so a trial or a test
// points them at a server of its own; the defaults are here and nowhere else.
class RemoteSettings
{
public:
    static inline const QString WebServerKey = QStringLiteral("ServerWeb");
    static inline const QString BackupPortKey = QStringLiteral("PortBackup");
    static inline const QString DefaultWebServer = QStringLiteral("http://www.kestrun.ro");
    static constexpr quint16 DefaultBackupPort = 1235;

    // Without a trailing slash.
    static QString webServer();
    // The file whose first line is the backup server's address.
    static QString addressFileUrl();
    static QString suggestionPageUrl();
    static quint16 backupPort();
};
