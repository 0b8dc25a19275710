#pragma once

#include "platform/db/Dbf.h"

#include <QList>
#include <QString>
#include <QStringList>

// The office's three tables in the data folder and their columns. Kept apart
// from the table files themselves, which know nothing of the office, and
// below the core, which creates and checks them at start.
class RequestTables
{
public:
    static inline const QString Cereri = QStringLiteral("Cereri.dbf"); // one row per request per working month
    static inline const QString Oameni = QStringLiteral("Oameni.dbf"); // household members, by NRCRT
    static inline const QString Log = QStringLiteral("Log.dbf");       // the action log

    static QList<DbfField> cereriFields();
    static QList<DbfField> oameniFields();
    static QList<DbfField> logFields();

    // The three file names in the order the network check and the weekly pack walk them.
    static QStringList fileNames();
    static QList<DbfField> fieldsOf(const QString &fileName);

    // Creates, in the folder, each of the three tables that is missing (found
    // without regard to case) and returns the paths created. Existing tables
    // are left as they are. A table an interrupted restore set aside (in a
    // ".restore-N" subfolder) is not replaced by an empty one: DbfError.
    static QStringList createMissing(const QString &folder);

    // A restore moves the old files into a ".restore-N" folder beside them,
    // N below AsideFolders; the n-th such name, and whether a name is one.
    static constexpr int AsideFolders = 1000;
    static QString asideFolderName(int n);
    static bool isAsideFolderName(const QString &name);
};
