#include "core/DataArchive.h"

#include "core/RestoreJournal.h"
#include "platform/codepage/Cp1250.h"
#include "platform/io/DurableFile.h"
#include "platform/io/FileWriteError.h"
#include "platform/io/KillPoint.h"
#include "platform/profile/AppFolders.h"
#include "tables/RequestTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStorageInfo>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>

namespace {

// zlib cannot expand data by more than about 1032:1, so a stated size far
// above that of the bytes left is a lie, refused before anything is allocated.
constexpr quint64 MaxInflateRatio = 1032;

// One bounds-checked read position over the archive bytes.
class Cursor
{
public:
    explicit Cursor(QByteArrayView bytes) : m_bytes(bytes) {}

    qsizetype offset() const { return m_pos; }
    qsizetype remaining() const { return m_bytes.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_bytes.size(); }

    quint32 u32(const char *what)
    {
        need(4, what);
        const quint32 v = qFromLittleEndian<quint32>(m_bytes.data() + m_pos);
        m_pos += 4;
        return v;
    }

    QByteArrayView take(qsizetype n, const char *what)
    {
        need(n, what);
        const QByteArrayView v = m_bytes.sliced(m_pos, n);
        m_pos += n;
        return v;
    }

    QByteArrayView rest() const { return m_bytes.sliced(m_pos); }
    void skip(qsizetype n) { m_pos += std::min(n, remaining()); }

    [[noreturn]] void fail(const QString &what) const
    {
        throw ArchiveError(QStringLiteral("Arhiva este deteriorata: %1 (pozitia %2).").arg(what).arg(m_pos));
    }

private:
    void need(qsizetype n, const char *what) const
    {
        if (n < 0 || n > remaining())
            fail(QStringLiteral("lipseste %1").arg(QLatin1String(what)));
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// Inflates one zlib stream from the cursor into exactly 'size' bytes and
// moves the cursor past the stream.
QByteArray inflateStream(Cursor &cur, quint32 size, const QString &name)
{
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        cur.fail(QStringLiteral("zlib nu porneste"));
    const QByteArrayView in = cur.rest();
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.data()));
    zs.avail_in = uInt(std::min<qsizetype>(in.size(), 0x7FFFFFFF));
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = size;
    unsigned char spare = 0;
    bool usingSpare = false;
    bool tooLong = false;
    int rc = Z_OK;
    // Every pass consumes input or produces output, or ends the loop.
    for (;;) {
        if (zs.avail_out == 0) {
            if (usingSpare) {
                tooLong = true;
                break;
            }
            // Room for one byte more: the stream may only have its trailer left.
            zs.next_out = &spare;
            zs.avail_out = 1;
            usingSpare = true;
        }
        rc = inflate(&zs, Z_NO_FLUSH);
        if (rc == Z_STREAM_END)
            break;
        if (rc != Z_OK && !(rc == Z_BUF_ERROR && zs.avail_out == 0))
            break;
    }
    const uLong used = zs.total_in;
    const uLong produced = zs.total_out;
    inflateEnd(&zs);
    if (tooLong || produced > size)
        cur.fail(QStringLiteral("fisierul %1 are mai mult decat %2 octeti").arg(name).arg(size));
    if (rc != Z_STREAM_END)
        cur.fail(QStringLiteral("datele fisierului %1 sunt deteriorate").arg(name));
    if (produced != size)
        cur.fail(QStringLiteral("fisierul %1 are %2 octeti in loc de %3").arg(name).arg(produced).arg(size));
    cur.skip(qsizetype(used));
    return out;
}

// What the files claimed so far add up to, against what an archive of this
// size can honestly hold and what the disk can take.
void checkUnpackedTotal(quint64 total, quint64 archiveSize, const ArchiveLimits &limits)
{
    if (total > archiveSize * ArchiveLimits::MaxUnpackRatio + ArchiveLimits::SmallArchiveAllowance)
        throw ArchiveError(QStringLiteral("Arhiva este refuzata: fisierele ei ar avea cel putin %1 octeti, de mai mult de "
                                          "%2 de ori cat arhiva (%3 octeti), cum nicio arhiva de date nu are. Nu s-a scris nimic.")
                               .arg(total)
                               .arg(ArchiveLimits::MaxUnpackRatio)
                               .arg(archiveSize));
    if (total > limits.freeSpace)
        throw ArchiveError(QStringLiteral("Nu este spatiu pe disc pentru arhiva: fisierele ei au nevoie de cel putin %1 octeti, "
                                          "iar pe disc sunt liberi %2. Nu s-a scris nimic.")
                               .arg(total)
                               .arg(limits.freeSpace));
}

QByteArray deflateMax(const QByteArray &data)
{
    uLongf bound = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(bound), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &bound, reinterpret_cast<const Bytef *>(data.constData()),
                  uLong(data.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw ArchiveError(QStringLiteral("Nu pot comprima datele."));
    out.truncate(qsizetype(bound));
    return out;
}

void appendU32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// One file as the archive holds it: name, size and zlib stream.
QByteArray entryBytes(const QString &name, const QByteArray &data)
{
    const qsizetype size = data.size();
    if (!DataArchive::isPlainName(name) || DataArchive::isOwnName(name) || !Cp1250::canEncode(name))
        throw ArchiveError(QStringLiteral("Numele fisierului \"%1\" nu poate fi pus in arhiva.").arg(name));
    if (size > qsizetype(ArchiveLimits::Largest))
        throw ArchiveError(QStringLiteral("Fisierul %1 este prea mare pentru arhiva.").arg(name));
    const QByteArray encodedName = Cp1250::encode(name);
    QByteArray out;
    appendU32(out, quint32(encodedName.size()));
    out.append(encodedName);
    appendU32(out, quint32(size));
    out.append(deflateMax(data));
    return out;
}

QStringList folderFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool samePath(const QString &a, const QString &b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

QString freeAsideFolder(const QString &folder)
{
    for (int n = 0; n < RequestTables::AsideFolders; ++n) {
        const QString path = folder + u'/' + RequestTables::asideFolderName(n);
        if (!QFileInfo::exists(path) && QDir().mkdir(path))
            return path;
    }
    throw ArchiveError(QStringLiteral("Nu pot face un director de siguranta in %1.").arg(folder));
}

void moveAside(const QString &folder, const QString &aside, const QString &name)
{
    if (!QFile::rename(folder + u'/' + name, aside + u'/' + name))
        throw ArchiveError(QStringLiteral("Nu pot muta fisierul %1 (este deschis?).").arg(name));
}

// The swap itself: the journal goes to disk first, then the old files aside
// and the new ones in; a failure puts the old ones back, a kill leaves the
// journal for the next start to finish or undo.
void swapIn(const QString &folder, const RestoreJournal &journal, DurableFileSet &files)
{
    try {
        journal.save(folder);
    } catch (...) {
        QDir().rmdir(folder + u'/' + journal.aside);
        throw;
    }
    try {
        for (const QString &name : journal.old) {
            KillPoint::reach("restore.move");
            moveAside(folder, folder + u'/' + journal.aside, name);
        }
        KillPoint::reach("restore.swap");
        FileWriteError::as<ArchiveError>([&] { files.commit(); });
    } catch (...) {
        try {
            journal.putBack(folder);
        } catch (const ArchiveError &) {
            // The journal stays: the next start puts them back.
        }
        throw;
    }
    journal.finish(folder);
}

} // namespace

bool DataArchive::isPlainName(const QString &name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    for (QChar c : name)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c == u':')
            return false;
    return true;
}

bool DataArchive::isOwnName(const QString &name)
{
    // ".restore-" covers the journal and every aside folder.
    return name.startsWith(QStringLiteral(".restore-"), Qt::CaseInsensitive) || DurableFile::isTemporaryName(name.toLower())
           || name.compare(AppFolders::SwapJournalFolder, Qt::CaseInsensitive) == 0;
}

QByteArray DataArchive::encode(const QList<Entry> &entries)
{
    QByteArray out;
    appendU32(out, quint32(entries.size()));
    for (const Entry &e : entries) {
        out.append(entryBytes(e.name, e.data));
    }
    return out;
}

QList<DataArchive::Entry> DataArchive::decode(QByteArrayView bytes, const Limits &limits)
{
    Cursor cur(bytes);
    const quint32 count = cur.u32("numarul de fisiere");
    // Each file takes at least 4 + 1 + 4 + 8 bytes, so a larger count cannot be real.
    if (count > limits.maxFiles || quint64(count) * 17 > quint64(cur.remaining()))
        cur.fail(QStringLiteral("%1 fisiere nu incap in arhiva").arg(count));

    QList<Entry> entries;
    QSet<QString> seen;
    quint64 total = 0;
    for (quint32 i = 0; i < count; ++i) {
        const quint32 nameLength = cur.u32("lungimea numelui");
        if (nameLength == 0 || nameLength > limits.maxNameLength)
            cur.fail(QStringLiteral("numele fisierului %1 are lungimea %2").arg(i + 1).arg(nameLength));
        const QString name = Cp1250::decode(cur.take(nameLength, "numele fisierului"));
        if (!isPlainName(name))
            cur.fail(QStringLiteral("numele \"%1\" nu este un simplu nume de fisier").arg(name));
        if (isOwnName(name))
            throw ArchiveError(QStringLiteral("Arhiva este refuzata: fisierul \"%1\" din ea poarta numele unui fisier de lucru "
                                              "al programului, pe care nicio arhiva de date nu il are (pozitia %2). Nu s-a scris nimic.")
                                   .arg(name)
                                   .arg(cur.offset() - qsizetype(nameLength)));
        const QString key = name.toLower();
        if (seen.contains(key))
            cur.fail(QStringLiteral("fisierul %1 apare de doua ori").arg(name));
        seen.insert(key);

        const quint32 size = cur.u32("marimea fisierului");
        total += size;
        if (size > limits.maxFileSize || total > limits.maxTotalSize
            || quint64(size) > quint64(cur.remaining()) * MaxInflateRatio + 64)
            cur.fail(QStringLiteral("marimea fisierului %1 (%2 octeti) nu este credibila").arg(name).arg(size));
        checkUnpackedTotal(total, quint64(bytes.size()), limits);
        entries.append({name, inflateStream(cur, size, name)});
    }
    if (!cur.atEnd())
        cur.fail(QStringLiteral("%1 octeti in plus dupa ultimul fisier").arg(cur.remaining()));
    return entries;
}

QList<DataArchive::Entry> DataArchive::readFile(const QString &archivePath, const Limits &limits)
{
    QFile f(archivePath);
    if (!f.open(QIODevice::ReadOnly))
        throw ArchiveError(QStringLiteral("Nu pot deschide arhiva %1.").arg(archivePath));
    if (f.size() > qint64(ArchiveLimits::Largest))
        throw ArchiveError(QStringLiteral("Arhiva %1 este prea mare.").arg(archivePath));
    const QByteArray bytes = f.readAll();
    try {
        return decode(bytes, limits);
    } catch (const ArchiveError &e) {
        throw ArchiveError(QStringLiteral("%1\n%2").arg(archivePath, e.text()));
    }
}

void DataArchive::saveFolder(const QString &folder, const QString &archivePath)
{
    QStringList names;
    for (const QString &name : folderFiles(folder))
        if (!samePath(folder + u'/' + name, archivePath) && !isOwnName(name))
            names.append(name);

    FileWriteError::as<ArchiveError>([&] {
        DurableFile out(archivePath);
        QByteArray count;
        appendU32(count, quint32(names.size()));
        out.write(count);
        for (const QString &name : std::as_const(names)) {
            QFile in(folder + u'/' + name);
            if (!in.open(QIODevice::ReadOnly) || in.size() > qint64(ArchiveLimits::Largest))
                throw ArchiveError(QStringLiteral("Nu pot citi fisierul %1.").arg(in.fileName()));
            const QByteArray data = in.readAll();
            if (data.size() != in.size())
                throw ArchiveError(QStringLiteral("Nu pot citi fisierul %1.").arg(in.fileName()));
            out.write(entryBytes(name, data));
        }
        out.commit();
    });
}

void DataArchive::restoreFolder(const QString &archivePath, const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        throw ArchiveError(QStringLiteral("Directorul de date %1 nu exista.").arg(folder));
    Limits limits;
    const QStorageInfo disk(folder);
    if (disk.isValid() && disk.bytesAvailable() >= 0)
        limits.freeSpace = quint64(disk.bytesAvailable());
    const QList<Entry> entries = readFile(archivePath, limits);

    QHash<QString, QString> existing;
    const QStringList oldNames = folderFiles(folder);
    for (const QString &name : oldNames)
        existing.insert(name.toLower(), name);

    // Every file is written beside its target before any old one is touched.
    DurableFileSet files;
    QStringList names;
    for (const Entry &e : entries) {
        names.append(existing.value(e.name.toLower(), e.name));
        FileWriteError::as<ArchiveError>([&] { files.add(folder + u'/' + names.last(), e.data); });
    }

    RestoreJournal journal;
    journal.aside = QFileInfo(freeAsideFolder(folder)).fileName();
    for (const QString &name : oldNames)
        if (!samePath(folder + u'/' + name, archivePath) && name != RestoreJournal::FileName)
            journal.old.append(name);
    for (qsizetype i = 0; i < entries.size(); ++i)
        journal.files.append({names[i], QFileInfo(files.pending()[size_t(i)].temp).fileName(), entries[i].data.size(),
                              RestoreJournal::checksum(entries[i].data)});
    swapIn(folder, journal, files);
}
