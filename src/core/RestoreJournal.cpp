#include "core/RestoreJournal.h"

#include "core/DataArchive.h"
#include "platform/io/DurableFile.h"
#include "platform/io/FileTree.h"
#include "platform/io/FileWriteError.h"
#include "platform/io/KillPoint.h"
#include "tables/RequestTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cstdio>
#include <zlib.h>

namespace {

// A journal lists at most the archive's 10000 files with their names.
constexpr qint64 MaxJournalSize = 8 << 20;

// The file is there with exactly these bytes.
bool wholeAt(const QString &path, qint64 size, quint32 crc)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() != size)
        return false;
    uLong sum = crc32(0, nullptr, 0);
    qint64 left = size;
    while (left > 0) {
        const QByteArray chunk = f.read(std::min<qint64>(left, 1 << 20));
        if (chunk.isEmpty())
            return false;
        sum = crc32(sum, reinterpret_cast<const Bytef *>(chunk.constData()), uInt(chunk.size()));
        left -= chunk.size();
    }
    return quint32(sum) == crc;
}

// A name that stays inside the folder: the old files' names are whatever the
// folder held, so only what would lead out of it is refused.
bool insideFolder(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/');
}

// rename(2): replaces the target, unlike QFile::rename.
bool renameOver(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

void removeJournal(const QString &folder)
{
    QFile::remove(folder + u'/' + RestoreJournal::FileName);
    DurableFile::syncFolder(folder);
}

} // namespace

quint32 RestoreJournal::checksum(QByteArrayView bytes)
{
    return quint32(crc32(0, reinterpret_cast<const Bytef *>(bytes.data()), uInt(bytes.size())));
}

void RestoreJournal::save(const QString &folder) const
{
    QJsonArray newFiles;
    for (const NewFile &f : files)
        newFiles.append(QJsonObject{{QStringLiteral("name"), f.name},
                                    {QStringLiteral("temp"), f.temp},
                                    {QStringLiteral("size"), double(f.size)},
                                    {QStringLiteral("crc"), double(f.crc)}});
    const QJsonObject root{{QStringLiteral("aside"), aside},
                           {QStringLiteral("old"), QJsonArray::fromStringList(old)},
                           {QStringLiteral("new"), newFiles}};
    FileWriteError::as<ArchiveError>(
        [&] { DurableFile::save(folder + u'/' + FileName, QJsonDocument(root).toJson(QJsonDocument::Compact)); });
}

std::optional<RestoreJournal> RestoreJournal::load(const QString &folder)
{
    QFile f(folder + u'/' + FileName);
    if (!f.open(QIODevice::ReadOnly) || f.size() > MaxJournalSize)
        return std::nullopt;
    const QJsonObject root = QJsonDocument::fromJson(f.readAll()).object();
    RestoreJournal j;
    j.aside = root.value(QStringLiteral("aside")).toString();
    bool plain = RequestTables::isAsideFolderName(j.aside);
    for (const QJsonValue &v : root.value(QStringLiteral("old")).toArray()) {
        j.old.append(v.toString());
        plain = plain && insideFolder(j.old.last());
    }
    for (const QJsonValue &v : root.value(QStringLiteral("new")).toArray()) {
        const QJsonObject o = v.toObject();
        j.files.append({o.value(QStringLiteral("name")).toString(), o.value(QStringLiteral("temp")).toString(),
                        qint64(o.value(QStringLiteral("size")).toDouble(-1)),
                        quint32(o.value(QStringLiteral("crc")).toDouble())});
        plain = plain && insideFolder(j.files.last().name) && DurableFile::isTemporaryName(j.files.last().temp)
                && !j.files.last().temp.contains(u'/');
    }
    // Only names of our own, inside the folder, are ever renamed or removed.
    if (!plain)
        return std::nullopt;
    return j;
}

bool RestoreJournal::newFilesWhole(const QString &folder) const
{
    for (const NewFile &f : files)
        if (!wholeAt(folder + u'/' + f.temp, f.size, f.crc) && !wholeAt(folder + u'/' + f.name, f.size, f.crc))
            return false;
    return true;
}

void RestoreJournal::finish(const QString &folder) const
{
    QSet<QString> names;
    for (const NewFile &f : files) {
        names.insert(f.name);
        const QString temp = folder + u'/' + f.temp;
        if (!wholeAt(temp, f.size, f.crc))
            QFile::remove(temp); // already renamed in, whole under its own name
        else if (!renameOver(temp, folder + u'/' + f.name))
            throw ArchiveError(QStringLiteral("Nu pot pune fisierul %1 in %2.").arg(f.name, QDir::toNativeSeparators(folder)));
    }
    // Old files a killed run had not yet moved aside go as the moved ones do.
    for (const QString &name : old)
        if (!names.contains(name))
            QFile::remove(folder + u'/' + name);
    FileTree::remove(folder + u'/' + aside);
    DurableFile::syncFolder(folder);
    KillPoint::reach("restore.forget");
    removeJournal(folder);
}

void RestoreJournal::putBack(const QString &folder) const
{
    const QSet<QString> oldNames(old.cbegin(), old.cend());
    for (const NewFile &f : files) {
        QFile::remove(folder + u'/' + f.temp);
        if (!oldNames.contains(f.name))
            QFile::remove(folder + u'/' + f.name);
    }
    const QString asideFolder = folder + u'/' + aside;
    QStringList stuck;
    for (const QString &name : old)
        if (QFileInfo::exists(asideFolder + u'/' + name) && !renameOver(asideFolder + u'/' + name, folder + u'/' + name))
            stuck.append(name);
    if (!stuck.isEmpty())
        throw ArchiveError(QStringLiteral("Nu pot pune la loc fisierele %1 din %2.")
                               .arg(stuck.join(QStringLiteral(", ")), QDir::toNativeSeparators(asideFolder)));
    QDir().rmdir(asideFolder);
    removeJournal(folder);
}

RestoreJournal::Outcome RestoreJournal::recover(const QString &folder)
{
    const std::optional<RestoreJournal> journal = load(folder);
    if (!journal) {
        // Unreadable: what it would have said is worked out from the folders alone.
        QFile::remove(folder + u'/' + FileName);
        return Outcome::Nothing;
    }
    if (journal->newFilesWhole(folder)) {
        journal->finish(folder);
        return Outcome::Finished;
    }
    journal->putBack(folder);
    return Outcome::PutBack;
}
