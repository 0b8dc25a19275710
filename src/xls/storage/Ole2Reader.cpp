// Compound-document reader. The whole document is in memory; every sector
// number, chain and directory link is checked before it is followed, so a
// damaged or truncated document raises instead of opening with streams missing.
#include "xls/storage/ExcelException.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/Ole2File.h"
#include "xls/storage/Ole2Format_p.h"
#include "xls/storage/Ole2StreamPlace.h"

#include <QStringList>

#include <cstring>
#include <vector>

namespace Ole2Format {

int compareNames(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t ca = QChar::toUpper(a[i].unicode());
        const char16_t cb = QChar::toUpper(b[i].unicode());
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return 0;
}

void copyEntryProperties(const TOle2Entry &from, TOle2Entry &to)
{
    to.ClassId = from.ClassId;
    to.StateBits = from.StateBits;
    to.CreationTime = from.CreationTime;
    to.ModificationTime = from.ModificationTime;
}

namespace {
[[noreturn]] void raiseTooLarge(const QString &context)
{
    throw EExcelException(QStringLiteral("The document%1 is larger than %2 bytes")
                              .arg(context.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(context))
                              .arg(MaxDocumentSize));
}
} // namespace

void checkBounded(const QFile &file, const QString &context)
{
    if (file.size() > MaxDocumentSize)
        raiseTooLarge(context);
}

QByteArray readBounded(QIODevice &device, const QString &context)
{
    // A file says how much it holds: the buffer is allocated for exactly that.
    if (!device.isSequential()) {
        const qint64 left = device.size() - device.pos();
        if (left > MaxDocumentSize)
            raiseTooLarge(context);
        return device.read(qMax<qint64>(left, 0));
    }
    // A pipe or socket grows its buffer only with what actually arrives.
    QByteArray bytes;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 n = device.read(chunk, sizeof chunk);
        if (n <= 0)
            break;
        if (bytes.size() + n > MaxDocumentSize)
            raiseTooLarge(context);
        bytes.append(chunk, n);
    }
    return bytes;
}

namespace {

struct DirEntry
{
    QString name;
    quint8 type = TypeEmpty;
    quint32 left = NoStream, right = NoStream, child = NoStream;
    QByteArray classId;
    quint32 stateBits = 0;
    quint64 created = 0, modified = 0;
    quint32 start = EndOfChain;
    quint64 size = 0;

    // Carries the class id, state bits and time stamps over to the tree.
    void copyPropertiesTo(TOle2Entry &to) const
    {
        to.ClassId = classId;
        to.StateBits = stateBits;
        to.CreationTime = created;
        to.ModificationTime = modified;
    }
};

// A table of sector links (the FAT or the mini-FAT) and the sectors it may name.
struct SectorTable
{
    const char *what;             // "FAT" or "mini-FAT", for messages
    std::vector<quint32> next;    // link of each sector
    quint32 present = 0;          // sectors that exist (in the file or the mini-stream)
    std::vector<quint32> owner;   // chain that claimed each sector, 0 for none
};

class Reader
{
public:
    Reader(std::shared_ptr<TOle2File> file, const QString &context, QStringList *sharedStreams,
           const QStringList &readFirst, const QStringList &leaveInFile)
        : m_file(std::move(file)), m_context(context), m_sharedStreams(sharedStreams), m_readFirst(readFirst),
          m_leaveInFile(leaveInFile) {}

    std::unique_ptr<TOle2Storage> read();

private:
    [[noreturn]] void fail(const QString &detail) const;

    void readHeader();
    void readFat();
    QByteArrayView sector(quint32 id) const;
    quint32 newChain(const QString &what, const QString &stream, quint32 start = EndOfChain)
    {
        m_chains.push_back({stream.isEmpty() ? QString() : what, stream, start});
        return quint32(m_chains.size() - 1);
    }
    void claim(SectorTable &table, quint32 id, quint32 chainId, const QString &what);
    // Walks at most `needed` sectors: what lies past a stream's size is no
    // part of it, wherever its chain goes on.
    std::vector<quint32> chain(SectorTable &table, quint32 start, const QString &what,
                               quint64 needed = ~quint64(0), const QString &stream = QString());
    QByteArray chainBytes(const std::vector<quint32> &sectors) const;
    void readDirectory();
    void readMiniStream();
    DirEntry parseEntry(quint32 index) const;
    // Reads the stream's bytes into it, or leaves them in the file when asked to.
    void readStream(TOle2Stream &stream, const DirEntry &e, quint32 index, bool leaveInFile);
    std::unique_ptr<TOle2Storage> buildTree();

    std::shared_ptr<TOle2File> m_file;
    QString m_context;
    // With a list, a stream may read sectors of another stream (other readers
    // open such files); the streams that did are listed.
    QStringList *m_sharedStreams = nullptr;
    QStringList m_readFirst;  // top-level streams whose sectors are claimed first
    QStringList m_leaveInFile;  // top-level streams read only when asked for
    // By chain id: for a stream its description and name, empty for the
    // document's own chains (FAT, directory, mini-stream...).
    struct ChainOwner { QString what, stream; quint32 start = EndOfChain; };
    std::vector<ChainOwner> m_chains{ChainOwner()};
    int m_sectorSize = 512;
    int m_majorVersion = 3;
    quint32 m_numFatSectors = 0, m_firstDirSector = 0, m_firstMiniFatSector = 0, m_numMiniFatSectors = 0;
    quint32 m_firstDifatSector = 0, m_numDifatSectors = 0;
    std::vector<quint32> m_headerDifat;
    SectorTable m_fat{"FAT", {}, 0, {}};
    SectorTable m_miniFat{"mini-FAT", {}, 0, {}};
    QByteArray m_directory;
    QByteArray m_miniStream;
    std::vector<DirEntry> m_entries;
};

void Reader::fail(const QString &detail) const
{
    const QString where = m_context.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(m_context);
    throw EExcelException(QStringLiteral("The compound document%1 is damaged or truncated: %2").arg(where, detail));
}

void Reader::readHeader()
{
    const QByteArrayView header = m_file->View(0, HeaderSize);
    if (header.size() < HeaderSize || std::memcmp(header.data(), Signature, sizeof Signature) != 0)
        throw EExcelException(QStringLiteral("%1 is not a compound document (an Excel 97-2003 file)")
                                  .arg(m_context.isEmpty() ? QStringLiteral("The data") : QStringLiteral("\"%1\"").arg(m_context)));
    ByteCursor c(header, m_context);
    c.seek(26);
    m_majorVersion = c.u16();
    const quint16 byteOrder = c.u16();
    const quint16 sectorShift = c.u16();
    const quint16 miniShift = c.u16();
    if (byteOrder != 0xFFFE)
        fail(QStringLiteral("wrong byte-order mark 0x%1").arg(byteOrder, 4, 16, QLatin1Char('0')));
    if (!((m_majorVersion == 3 && sectorShift == 9) || (m_majorVersion == 4 && sectorShift == 12)))
        fail(QStringLiteral("unsupported version %1 with sector shift %2").arg(m_majorVersion).arg(sectorShift));
    if (miniShift != 6)
        fail(QStringLiteral("unsupported mini-sector shift %1").arg(miniShift));
    m_sectorSize = 1 << sectorShift;
    c.seek(44);
    m_numFatSectors = c.u32();
    m_firstDirSector = c.u32();
    c.skip(4); // transaction signature
    if (c.u32() != MiniStreamCutoff)
        fail(QStringLiteral("mini-stream cutoff is not %1").arg(MiniStreamCutoff));
    m_firstMiniFatSector = c.u32();
    m_numMiniFatSectors = c.u32();
    m_firstDifatSector = c.u32();
    m_numDifatSectors = c.u32();
    for (int i = 0; i < HeaderDifatEntries; ++i)
        m_headerDifat.push_back(c.u32());

    // A version 4 header fills a whole 4096-byte sector; sectors count from after it.
    if (m_file->Size() < m_sectorSize)
        fail(QStringLiteral("the file ends inside its header"));
    const qint64 body = m_file->Size() - m_sectorSize;
    m_fat.present = quint32(std::min<qint64>((body + m_sectorSize - 1) / m_sectorSize, qint64(0xFFFFFFF0)));
}

// A sector the document needs whole (FAT, DIFAT, directory, mini-FAT).
QByteArrayView Reader::sector(quint32 id) const
{
    const qint64 offset = (qint64(id) + 1) * m_sectorSize;
    const QByteArrayView bytes = id >= m_fat.present ? QByteArrayView() : m_file->View(offset, m_sectorSize);
    if (bytes.size() < m_sectorSize)
        fail(QStringLiteral("sector %1 lies beyond the end of the file").arg(id));
    return bytes;
}

void Reader::claim(SectorTable &table, quint32 id, quint32 chainId, const QString &what)
{
    if (id >= table.present) {
        if (id >= EndOfChain - 4)
            fail(QStringLiteral("%1 leads to the special %2 value 0x%3").arg(what, table.what).arg(id, 8, 16, QLatin1Char('0')));
        if (&table == &m_fat)
            fail(QStringLiteral("%1 leads to sector %2, beyond the end of the file of %3 sectors").arg(what).arg(id).arg(table.present));
        fail(QStringLiteral("%1 leads to mini-sector %2, outside the %3 of the mini-stream").arg(what).arg(id).arg(table.present));
    }
    const quint32 owner = table.owner[id];
    if (owner == chainId)
        fail(QStringLiteral("%1 loops back to sector %2").arg(what).arg(id));
    table.owner[id] = chainId;
    if (owner == 0)
        return;
    const ChainOwner &other = m_chains[owner];
    if (m_sharedStreams && !other.stream.isEmpty() && !m_chains[chainId].stream.isEmpty()) {
        // This chain ran into the other stream; but when the sector is where
        // this stream starts, the other may as well have run into it.
        m_sharedStreams->append(m_chains[chainId].stream);
        if (m_chains[chainId].start == id)
            m_sharedStreams->append(other.stream);
        return;
    }
    fail(QStringLiteral("%1 runs into sector %2, which belongs to another chain (%3)")
             .arg(what).arg(id).arg(other.stream.isEmpty() ? QStringLiteral("the document's own tables") : other.what));
}

// Walks a chain to its end or to the sectors needed. Every sector is claimed,
// so a loop, or a chain running into another (but for two streams, where
// the reader allows it), is caught, and the walk ends within `present` steps.
std::vector<quint32> Reader::chain(SectorTable &table, quint32 start, const QString &what, quint64 needed,
                                   const QString &stream)
{
    std::vector<quint32> sectors;
    const quint32 id = newChain(what, stream, start);
    for (quint32 cur = start; cur != EndOfChain && sectors.size() < needed;) {
        claim(table, cur, id, what);
        if (cur >= table.next.size())
            fail(QStringLiteral("%1: sector %2 has no %3 entry").arg(what).arg(cur).arg(table.what));
        sectors.push_back(cur);
        cur = table.next[cur];
    }
    return sectors;
}

QByteArray Reader::chainBytes(const std::vector<quint32> &sectors) const
{
    QByteArray out;
    out.reserve(qsizetype(sectors.size()) * m_sectorSize);
    for (quint32 s : sectors)
        out.append(sector(s));
    return out;
}

void Reader::readFat()
{
    // Every FAT sector is a sector of the file, so the count is capped before allocating.
    if (m_numFatSectors == 0 && m_fat.present > 0)
        fail(QStringLiteral("the header names no FAT sector"));
    if (m_numFatSectors > m_fat.present)
        fail(QStringLiteral("the header names %1 FAT sectors in a file of %2 sectors").arg(m_numFatSectors).arg(m_fat.present));
    m_fat.owner.assign(m_fat.present, 0);
    const quint32 fatChain = newChain(QString(), QString());

    std::vector<quint32> fatSectors;
    for (int i = 0; i < HeaderDifatEntries && fatSectors.size() < m_numFatSectors; ++i) {
        if (m_headerDifat[i] == FreeSect || m_headerDifat[i] == EndOfChain)
            fail(QStringLiteral("the DIFAT lists %1 of %2 FAT sectors").arg(fatSectors.size()).arg(m_numFatSectors));
        fatSectors.push_back(m_headerDifat[i]);
    }
    const int perDifat = m_sectorSize / 4 - 1;
    quint32 difat = m_firstDifatSector;
    for (quint32 n = 0; fatSectors.size() < m_numFatSectors; ++n) {
        if (n >= m_numDifatSectors || difat == EndOfChain || difat == FreeSect)
            fail(QStringLiteral("the DIFAT lists %1 of %2 FAT sectors").arg(fatSectors.size()).arg(m_numFatSectors));
        claim(m_fat, difat, fatChain, QStringLiteral("the DIFAT"));
        ByteCursor c(sector(difat), m_context);
        for (int i = 0; i < perDifat && fatSectors.size() < m_numFatSectors; ++i)
            fatSectors.push_back(c.u32());
        c.seek(m_sectorSize - 4);
        difat = c.u32();
    }

    m_fat.next.reserve(size_t(m_numFatSectors) * (m_sectorSize / 4));
    for (quint32 s : fatSectors) {
        claim(m_fat, s, fatChain, QStringLiteral("the FAT"));
        ByteCursor c(sector(s), m_context);
        for (int i = 0; i < m_sectorSize / 4; ++i)
            m_fat.next.push_back(c.u32());
    }
}

void Reader::readDirectory()
{
    m_directory = chainBytes(chain(m_fat, m_firstDirSector, QStringLiteral("the directory chain")));
    if (m_directory.isEmpty())
        fail(QStringLiteral("the directory is empty"));
    const quint32 count = quint32(m_directory.size() / DirEntrySize);
    m_entries.reserve(count);
    for (quint32 i = 0; i < count; ++i)
        m_entries.push_back(parseEntry(i));
    if (m_entries[0].type != TypeRoot)
        fail(QStringLiteral("the first directory entry is not the root"));
}

DirEntry Reader::parseEntry(quint32 index) const
{
    ByteCursor c(QByteArrayView(m_directory).sliced(qsizetype(index) * DirEntrySize, DirEntrySize), m_context);
    DirEntry e;
    const QByteArrayView rawName = c.bytes(64);
    const quint16 nameBytes = c.u16();
    e.type = c.u8();
    c.skip(1); // colour: the tree is only walked, never rebalanced
    e.left = c.u32();
    e.right = c.u32();
    e.child = c.u32();
    e.classId = c.copy(16);
    e.stateBits = c.u32();
    e.created = c.u64();
    e.modified = c.u64();
    e.start = c.u32();
    e.size = c.u64();
    if (m_majorVersion == 3)
        e.size &= 0xFFFFFFFFu; // version 3 writers may leave garbage in the high half
    if (e.type == TypeEmpty)
        return e;
    if (index == 0 && (nameBytes < 4 || nameBytes > 64 || nameBytes % 2 != 0)) {
        // Some writers store a short root name ("R" with length 2): the
        // root's name names nothing, so it is read as far as it goes.
        for (int i = 0; i + 1 < 64 && (rawName[i] || rawName[i + 1]); i += 2)
            e.name += QChar(char16_t(quint8(rawName[i]) | (quint8(rawName[i + 1]) << 8)));
        return e;
    }
    if (nameBytes < 4 || nameBytes > 64 || nameBytes % 2 != 0)
        fail(QStringLiteral("directory entry %1 has a bad name length %2").arg(index).arg(nameBytes));
    const int chars = nameBytes / 2 - 1;
    e.name.resize(chars);
    for (int i = 0; i < chars; ++i)
        e.name[i] = QChar(char16_t(quint8(rawName[2 * i]) | (quint8(rawName[2 * i + 1]) << 8)));
    if (e.name.contains(QChar(0)))
        fail(QStringLiteral("directory entry %1 has a null character in its name").arg(index));
    return e;
}

void Reader::readMiniStream()
{
    const DirEntry &root = m_entries[0];
    if (root.size > 0) {
        const auto sectors = chain(m_fat, root.start, QStringLiteral("the mini-stream"),
                                   (root.size + m_sectorSize - 1) / m_sectorSize);
        if (root.size > quint64(sectors.size()) * m_sectorSize)
            fail(QStringLiteral("the mini-stream of %1 bytes has only %2 sectors").arg(root.size).arg(sectors.size()));
        // Whole mini-sectors: a size that stops inside the last one still covers it.
        m_miniStream = chainBytes(sectors).left(qsizetype((root.size + MiniSectorSize - 1) / MiniSectorSize * MiniSectorSize));
    }
    m_miniFat.present = quint32(m_miniStream.size() / MiniSectorSize);
    m_miniFat.owner.assign(m_miniFat.present, 0);
    if (m_numMiniFatSectors == 0 || m_firstMiniFatSector == EndOfChain)
        return;
    const auto sectors = chain(m_fat, m_firstMiniFatSector, QStringLiteral("the mini-FAT chain"));
    if (sectors.size() < m_numMiniFatSectors)
        fail(QStringLiteral("the mini-FAT has %1 of %2 sectors").arg(sectors.size()).arg(m_numMiniFatSectors));
    const QByteArray table = chainBytes(sectors);
    ByteCursor c(table, m_context);
    m_miniFat.next.resize(size_t(c.size() / 4));
    for (quint32 &link : m_miniFat.next)
        link = c.u32();
}

void Reader::readStream(TOle2Stream &stream, const DirEntry &e, quint32 index, bool leaveInFile)
{
    if (e.size == 0)
        return;
    const QString what = QStringLiteral("stream \"%1\" (entry %2)").arg(e.name).arg(index);
    const bool mini = e.size < MiniStreamCutoff;
    SectorTable &table = mini ? m_miniFat : m_fat;
    const int unit = mini ? MiniSectorSize : m_sectorSize;
    // The size must fit the sectors that exist before anything is allocated for it.
    if (e.size > quint64(table.present) * unit)
        fail(QStringLiteral("%1 claims %2 bytes, more than the document holds").arg(what).arg(e.size));
    auto sectors = chain(table, e.start, what, (e.size + unit - 1) / unit, e.name);
    const qint64 size = qint64(e.size);
    if (qint64(sectors.size()) * unit < size)
        fail(QStringLiteral("%1 of %2 bytes has a chain of only %3 sectors").arg(what).arg(size).arg(sectors.size()));

    if (mini) {
        QByteArray out;
        out.reserve(size);
        for (quint32 s : sectors)
            out.append(QByteArrayView(m_miniStream).sliced(qsizetype(s) * MiniSectorSize, std::min<qint64>(unit, size - out.size())));
        stream.SetData(out);
        return;
    }
    // The last sector of a file may be cut short after the stream's own bytes.
    for (size_t k = 0; k < sectors.size(); ++k) {
        const qint64 take = std::min<qint64>(unit, size - qint64(k) * unit);
        if ((qint64(sectors[k]) + 1) * m_sectorSize + take > m_file->Size())
            fail(QStringLiteral("%1 runs past the end of the file").arg(what));
    }
    auto place = std::make_shared<TOle2StreamPlace>();
    place->File = m_file;
    place->Sectors = std::move(sectors);
    place->SectorSize = m_sectorSize;
    place->Size = size;
    const QString where = m_context.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(m_context);
    place->ShortMessage = QStringLiteral("The compound document%1 is damaged or truncated: %2 runs past the end of the file")
                              .arg(where, what);
    if (leaveInFile)
        stream.SetPlace(std::move(place));
    else
        stream.SetData(place->ReadAll());
}

// Walks the directory without recursion. Each entry may be reached once only,
// so a loop among the links raises, and storages nest at most MaxDepth deep.
std::unique_ptr<TOle2Storage> Reader::buildTree()
{
    const quint32 count = quint32(m_entries.size());
    std::vector<bool> visited(count, false);
    visited[0] = true;

    auto root = std::make_unique<TOle2Storage>(m_entries[0].name);
    m_entries[0].copyPropertiesTo(*root);

    struct Pending { quint32 entry; TOle2Storage *storage; int depth; };
    std::vector<Pending> storages{{0, root.get(), 0}};
    std::vector<quint32> path;
    // Stream data is read after the tree, the streams asked for first: where
    // two streams share sectors, the one read later is the one named.
    struct StreamEntry { quint32 entry; TOle2Stream *stream; bool leaveInFile; };
    std::vector<StreamEntry> streamsFirst, streams;
    while (!storages.empty()) {
        const Pending p = storages.back();
        storages.pop_back();
        // In-order walk of the storage's sibling tree.
        quint32 cur = m_entries[p.entry].child;
        path.clear();
        while (cur != NoStream || !path.empty()) {
            while (cur != NoStream) {
                if (cur >= count)
                    fail(QStringLiteral("a directory link points to entry %1 of %2").arg(cur).arg(count));
                if (visited[cur])
                    fail(QStringLiteral("directory entry %1 is linked twice (a loop in the directory)").arg(cur));
                visited[cur] = true;
                path.push_back(cur);
                cur = m_entries[cur].left;
            }
            const quint32 index = path.back();
            path.pop_back();
            const DirEntry &e = m_entries[index];
            std::unique_ptr<TOle2Entry> node;
            if (e.type == TypeStream) {
                auto stream = std::make_unique<TOle2Stream>(e.name, QByteArray());
                const bool first = p.depth == 0 && m_readFirst.contains(e.name, Qt::CaseInsensitive);
                const bool leave = p.depth == 0 && m_leaveInFile.contains(e.name, Qt::CaseInsensitive);
                (first ? streamsFirst : streams).push_back({index, stream.get(), leave});
                node = std::move(stream);
            } else if (e.type == TypeStorage) {
                if (p.depth + 1 > TOle2Storage::MaxDepth)
                    fail(QStringLiteral("storages are nested more than %1 deep").arg(TOle2Storage::MaxDepth));
                auto storage = std::make_unique<TOle2Storage>(e.name);
                storages.push_back({index, storage.get(), p.depth + 1});
                node = std::move(storage);
            } else {
                fail(QStringLiteral("directory entry %1 has type %2").arg(index).arg(e.type));
            }
            e.copyPropertiesTo(*node);
            if (p.storage->Find(node->Name))
                fail(QStringLiteral("the name \"%1\" appears twice in one storage").arg(node->Name));
            p.storage->Add(std::move(node));
            cur = e.right;
        }
    }
    for (const auto *list : {&streamsFirst, &streams})
        for (const StreamEntry &item : *list)
            readStream(*item.stream, m_entries[item.entry], item.entry, item.leaveInFile);
    return root;
}

std::unique_ptr<TOle2Storage> Reader::read()
{
    readHeader();
    readFat();
    readDirectory();
    readMiniStream();
    return buildTree();
}

} // namespace

std::unique_ptr<TOle2Storage> readDocument(QByteArrayView bytes, const QString &context, QStringList *sharedStreams,
                                           const QStringList &readFirst)
{
    return Reader(std::make_shared<TOle2File>(bytes), context, sharedStreams, readFirst, {}).read();
}

std::unique_ptr<TOle2Storage> readDocument(std::unique_ptr<QFile> file, const QString &context,
                                           QStringList *sharedStreams, const QStringList &readFirst,
                                           const QStringList &leaveInFile)
{
    return Reader(std::make_shared<TOle2File>(std::move(file)), context, sharedStreams, readFirst, leaveInFile).read();
}

} // namespace Ole2Format
