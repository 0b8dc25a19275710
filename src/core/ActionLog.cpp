#include "core/ActionLog.h"

#include "platform/db/Dbf.h"
#include "tables/RequestTables.h"
#include "platform/profile/AppFolders.h"
#include "platform/profile/ProfileFile.h"

#include <QDateTime>
#include <QSysInfo>

#include <algorithm>

namespace {

const QString Index = QStringLiteral("INDEX");

QString tablePath(const QString &dataDir, const QString &table)
{
    return Dbf::resolve(dataDir + u'/' + table);
}

// The highest value of a number field over the live rows; 0 for an empty
// table or a missing field.
qint64 highest(const Dbf &t, int field)
{
    qint64 top = 0;
    if (field < 0)
        return top;
    for (qint64 r = 0; r < t.recordCount(); ++r)
        if (!t.isDeleted(r))
            top = std::max(top, qint64(t.number(r, field)));
    return top;
}

} // namespace

QString ActionLog::userName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    if (user.isEmpty())
        user = QStringLiteral("Necunoscut");
    return (QSysInfo::machineHostName().toUpper() + QStringLiteral(" - ") + user).left(16);
}

qint64 ActionLog::nextNumber(const QString &dataDir, const QString &key)
{
    ProfileFile settings(AppFolders::settingsPath(dataDir));
    bool ok = false;
    qint64 n = settings.read(Index, key).trimmed().toLongLong(&ok);
    if (!ok || n <= 0)
        n = 1;
    settings.write(Index, key, QString::number(n + 1));
    return n;
}

void ActionLog::write(const QString &dataDir, const QString &action)
{
    const QString path = tablePath(dataDir, RequestTables::Log);
    Dbf t = Dbf::open(path, Dbf::Mode::ReadWrite);
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 r = t.appendBlank();
    t.setValue(r, t.fieldIndex(u"IDLOG"), double(nextNumber(dataDir, QStringLiteral("IDLOG"))));
    t.setValue(r, t.fieldIndex(u"DATAL"), now.date());
    t.setValue(r, t.fieldIndex(u"ORA"), now.time().toString(QStringLiteral("HH:mm:ss")));
    t.setValue(r, t.fieldIndex(u"ACTIUNE"), action);
    t.setValue(r, t.fieldIndex(u"UTILIZATOR"), userName());
    t.close();
}

void ActionLog::alignCounters(const QString &dataDir)
{
    const struct { const QString &table; const char *field; } counters[] = {
        {RequestTables::Cereri, "NRCRT"}, {RequestTables::Oameni, "NROM"}, {RequestTables::Log, "IDLOG"}};
    ProfileFile settings(AppFolders::settingsPath(dataDir));
    for (const auto &c : counters) {
        const QString key = QLatin1String(c.field);
        const Dbf t = Dbf::open(tablePath(dataDir, c.table));
        const qint64 next = highest(t, t.fieldIndex(key)) + 1;
        if (settings.read(Index, key).trimmed().toLongLong() < next)
            settings.write(Index, key, QString::number(next));
    }
}

qint64 ActionLog::trim(const QString &dataDir)
{
    const QString path = tablePath(dataDir, RequestTables::Log);
    qint64 removed = 0;
    {
        Dbf t = Dbf::open(path, Dbf::Mode::ReadWrite);
        if (t.recordCount() < Keep)
            return 0;
        const int id = t.fieldIndex(u"IDLOG");
        const qint64 floor = highest(t, id) - Keep;
        for (qint64 r = 0; r < t.recordCount(); ++r) {
            if (!t.isDeleted(r) && qint64(t.number(r, id)) < floor) {
                t.setDeleted(r, true);
                ++removed;
            }
        }
        t.close();
    }
    if (removed > 0)
        Dbf::pack(path);
    return removed;
}
