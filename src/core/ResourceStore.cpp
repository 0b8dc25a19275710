#include "core/ResourceStore.h"

#include "core/CoreError.h"
#include "platform/db/Dbf.h"
#include "platform/io/DurableFile.h"
#include "platform/io/FileWriteError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// An entry of the resource folder named 'name' (or, with byBaseName, whose
// name without extension is 'name'), without regard to case.
QString findEntry(const QString &folder, const QString &name, QDir::Filters filters, bool byBaseName)
{
    const QDir dir(folder);
    for (const QFileInfo &info : dir.entryInfoList(filters)) {
        if (info.fileName().compare(name, Qt::CaseInsensitive) == 0
            || (byBaseName && info.completeBaseName().compare(name, Qt::CaseInsensitive) == 0))
            return info.filePath();
    }
    return {};
}

void copyOut(const QString &source, const QString &name, const QString &path)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw CoreError(QStringLiteral("Nu pot citi resursa %1.").arg(name));
    const QByteArray bytes = in.readAll();
    FileWriteError::as<CoreError>([&] { DurableFile::save(path, bytes); });
}

} // namespace

QString ResourceStore::find(const QString &name, const QString &type)
{
    if (name.isEmpty() || type.isEmpty())
        return {};
    const QString typeDir = findEntry(QStringLiteral(":/"), type, QDir::Dirs, false);
    if (typeDir.isEmpty())
        return {};
    return findEntry(typeDir, name, QDir::Files, true);
}

void ResourceStore::extract(const QString &name, const QString &type, const QString &path)
{
    const QString source = find(name, type);
    if (source.isEmpty())
        throw CoreError(QStringLiteral("Programul nu contine resursa %1 de tipul %2.").arg(name, type));
    copyOut(source, name, path);
}

const QStringList &ResourceStore::carriedTemplates()
{
    static const QStringList names = {
        QStringLiteral("Stabilire.rtf"), QStringLiteral("Modificare.rtf"), QStringLiteral("Incetare.rtf"),
        QStringLiteral("Respingere.rtf"), QStringLiteral("ModCerere.rtf"), QStringLiteral("ModCerere10c.rtf"),
        QStringLiteral("ModCerereS.rtf"), QStringLiteral("ModelAncheta2.rtf"), QStringLiteral("FisaV.rtf"),
        QStringLiteral("Referat.rtf"), QStringLiteral("Stat.xls"), QStringLiteral("StabilireU.xls"),
        QStringLiteral("Anexa14.xls"), QStringLiteral("Anexa15.xls"), QStringLiteral("Anexa16.xls"), QStringLiteral("Anexa17.xls"),
        QStringLiteral("RapBanci.xls")};
    return names;
}

const QStringList &ResourceStore::editableTemplates()
{
    return carriedTemplates();
}

namespace {

bool inDataFolder(const QDir &dir, const QString &file)
{
    // Templates copied from Windows may be upper case; the usual exact
    // name costs one look, not a listing of the whole data folder.
    return QFileInfo(Dbf::resolve(dir.filePath(file))).isFile();
}

QString resourceOf(const QString &file)
{
    return QFileInfo(file).completeBaseName().toUpper();
}

} // namespace

QStringList ResourceStore::extractMissing(const QString &dataDir)
{
    QStringList written;
    const QDir dir(dataDir);
    for (const QString &file : editableTemplates()) {
        if (inDataFolder(dir, file))
            continue;
        const QString source = find(resourceOf(file), QStringLiteral("MODEL"));
        if (source.isEmpty())
            continue;
        copyOut(source, resourceOf(file), dir.filePath(file));
        written.append(file);
    }
    return written;
}

QStringList ResourceStore::unavailable(const QString &dataDir)
{
    QStringList missing;
    const QDir dir(dataDir);
    for (const QString &file : carriedTemplates())
        if (!inDataFolder(dir, file) && find(resourceOf(file), QStringLiteral("MODEL")).isEmpty())
            missing.append(file);
    return missing;
}
