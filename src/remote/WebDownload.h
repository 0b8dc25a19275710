#pragma once

#include <QString>

// Results of DownloadUrlToFile.
enum DownloadResult {
    DownloadOk = 0,          // the body was downloaded and written
    DownloadCannotWrite = 1, // the server answered but the file cannot be written
    DownloadFailed = 2,      // no connection, an HTTP status outside 2xx, or a broken read
};

// Fetches one http(s) URL, bypassing any cache, and writes the body to the
// file: to a temporary name beside it, renamed when the whole body is in.
// On a failure the file is left as it was. Events run meanwhile; a transfer
// that stays silent for `inactivityMs` fails.
int DownloadUrlToFile(const QString &url, const QString &destination, int inactivityMs = 30000);
