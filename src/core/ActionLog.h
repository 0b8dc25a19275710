#pragma once

#include <QString>

// The action log Log.dbf and the counters of the settings file.
class ActionLog
{
public:
    // Appends one row: the next IDLOG, today's date, the time, the action and
    // the user ("<computer> - <user>", cut to 16 characters).
    static void write(const QString &dataDir, const QString &action);

    // The user as the log records it.
    static QString userName();

    // The stored counter under [INDEX] (a missing or zero entry counts as 1);
    // stores that number plus one.
    static qint64 nextNumber(const QString &dataDir, const QString &key);

    // Raises each counter to above the highest number its table holds, so no
    // number already used is handed out again: NRCRT (Cereri), NROM (Oameni), IDLOG (Log).
    static void alignCounters(const QString &dataDir);

    // A log of 1000 rows or more loses the rows whose IDLOG is below the last
    // IDLOG minus 1000. Returns the rows removed.
    static qint64 trim(const QString &dataDir);

    static constexpr qint64 Keep = 1000;
};
