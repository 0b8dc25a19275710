// Compound-document writer: version 3, 512-byte sectors. Layout after the
// header: large streams, the mini-stream, the mini-FAT, the directory, then the
// FAT and (past 109 FAT sectors) the DIFAT.
#include "xls/storage/ExcelException.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/Ole2Format_p.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace Ole2Format {

namespace {

constexpr int LinksPerSector = WriteSectorSize / 4;
constexpr int LinksPerDifat = LinksPerSector - 1;

struct Node
{
    const TOle2Entry *entry = nullptr;
    quint8 type = TypeEmpty;
    quint8 color = ColorBlack;
    quint32 left = NoStream, right = NoStream, child = NoStream;
    quint32 start = EndOfChain;
    quint64 size = 0;
};

// The FAT must also cover its own sectors and the DIFAT's: grow both until they fit.
void fatLayout(quint32 dataSectors, quint32 &numFat, quint32 &numDifat)
{
    numFat = 1;
    numDifat = 0;
    for (;;) {
        const quint32 total = dataSectors + numFat + numDifat;
        const quint32 needFat = (total + LinksPerSector - 1) / LinksPerSector;
        const quint32 needDifat = needFat > HeaderDifatEntries ? (needFat - HeaderDifatEntries + LinksPerDifat - 1) / LinksPerDifat : 0;
        if (needFat <= numFat && needDifat <= numDifat)
            break;
        numFat = std::max(numFat, needFat);
        numDifat = std::max(numDifat, needDifat);
    }
}

class Writer
{
public:
    explicit Writer(const TOle2Storage &root) : m_root(root) {}
    QByteArray write();

private:
    void flatten();
    quint32 buildSiblingTree(std::vector<quint32> &ids, int from, int to, int depth, int &maxDepth);
    void colourTree(quint32 node, int depth, int maxDepth);
    quint32 appendChain(QByteArrayView data);
    qint64 sizeUpperBound() const;
    void placeStreams();
    QByteArray directoryBytes() const;
    QByteArray header(quint32 firstDir, quint32 firstMiniFat, quint32 numMiniFat, quint32 numFat,
                      quint32 firstDifat, quint32 numDifat, const std::vector<quint32> &fatSectors) const;

    const TOle2Storage &m_root;
    std::vector<Node> m_nodes;
    QByteArray m_body;            // room for the header, then the sectors
    std::vector<quint32> m_fat;
    quint32 m_miniFatStart = EndOfChain;
    quint32 m_miniFatSectors = 0;
};

// Assigns directory ids breadth-first. Names are checked here as well, since
// entries may have been renamed after they were added.
void Writer::flatten()
{
    m_nodes.push_back({&m_root, TypeRoot});
    struct Pending { quint32 id; int depth; };
    std::vector<Pending> queue{{0, 0}};
    for (size_t q = 0; q < queue.size(); ++q) {
        const auto &storage = static_cast<const TOle2Storage &>(*m_nodes[queue[q].id].entry);
        if (storage.Entries().empty())
            continue;
        if (queue[q].depth + 1 > TOle2Storage::MaxDepth && std::any_of(storage.Entries().begin(), storage.Entries().end(),
                                                                      [](const auto &e) { return e->IsStorage(); }))
            throw EExcelException(QStringLiteral("Storages are nested more than %1 deep").arg(TOle2Storage::MaxDepth));
        std::vector<const TOle2Entry *> children;
        for (const auto &e : storage.Entries()) {
            TOle2Storage::CheckName(e->Name);
            children.push_back(e.get());
        }
        std::sort(children.begin(), children.end(),
                  [](const TOle2Entry *a, const TOle2Entry *b) { return compareNames(a->Name, b->Name) < 0; });
        for (size_t i = 1; i < children.size(); ++i)
            if (compareNames(children[i - 1]->Name, children[i]->Name) == 0)
                throw EExcelException(QStringLiteral("The name \"%1\" is used twice in storage \"%2\"")
                                          .arg(children[i]->Name, storage.Name));
        std::vector<quint32> ids;
        for (const TOle2Entry *e : children) {
            ids.push_back(quint32(m_nodes.size()));
            m_nodes.push_back({e, e->IsStorage() ? TypeStorage : TypeStream});
            if (e->IsStorage())
                queue.push_back({ids.back(), queue[q].depth + 1});
        }
        int maxDepth = 0;
        const quint32 top = buildSiblingTree(ids, 0, int(ids.size()) - 1, 0, maxDepth);
        m_nodes[queue[q].id].child = top;
        colourTree(top, 0, maxDepth);
    }
}

// A balanced tree over the sorted ids: the middle one is the root of each part.
quint32 Writer::buildSiblingTree(std::vector<quint32> &ids, int from, int to, int depth, int &maxDepth)
{
    if (from > to)
        return NoStream;
    const int mid = from + (to - from) / 2;
    const quint32 id = ids[mid];
    maxDepth = std::max(maxDepth, depth);
    m_nodes[id].left = buildSiblingTree(ids, from, mid - 1, depth + 1, maxDepth);
    m_nodes[id].right = buildSiblingTree(ids, mid + 1, to, depth + 1, maxDepth);
    return id;
}

// The halving above leaves every leaf on the last two levels, so colouring the
// last level red (below an all-black top) keeps the black height equal on every path.
void Writer::colourTree(quint32 node, int depth, int maxDepth)
{
    if (node == NoStream)
        return;
    m_nodes[node].color = (depth == maxDepth && depth > 0) ? ColorRed : ColorBlack;
    colourTree(m_nodes[node].left, depth + 1, maxDepth);
    colourTree(m_nodes[node].right, depth + 1, maxDepth);
}

// Appends data as whole sectors linked in the FAT; returns the first sector.
quint32 Writer::appendChain(QByteArrayView data)
{
    if (data.isEmpty())
        return EndOfChain;
    const quint32 first = quint32((m_body.size() - HeaderSize) / WriteSectorSize);
    const quint32 count = quint32((data.size() + WriteSectorSize - 1) / WriteSectorSize);
    m_body.append(data);
    m_body.resize(m_body.size() + qsizetype(count) * WriteSectorSize - data.size(), '\0');
    for (quint32 i = 0; i < count; ++i)
        m_fat.push_back(i + 1 < count ? first + i + 1 : EndOfChain);
    return first;
}

// The whole document is built in one buffer: room for all of it up front keeps
// a document of many megabytes from being regrown and copied as it is built.
qint64 Writer::sizeUpperBound() const
{
    const auto sectors = [](qint64 bytes, qint64 unit) { return (bytes + unit - 1) / unit; };
    qint64 bigSectors = 0, miniSectors = 0;
    for (const Node &n : m_nodes) {
        if (n.type != TypeStream)
            continue;
        const qint64 size = static_cast<const TOle2Stream *>(n.entry)->Data().size();
        if (size >= MiniStreamCutoff)
            bigSectors += sectors(size, WriteSectorSize);
        else
            miniSectors += sectors(size, MiniSectorSize);
    }
    const qint64 data = bigSectors + sectors(miniSectors * MiniSectorSize, WriteSectorSize)
                      + sectors(miniSectors * 4, WriteSectorSize) + sectors(qint64(m_nodes.size()) * DirEntrySize, WriteSectorSize);
    quint32 numFat = 0, numDifat = 0;
    fatLayout(quint32(data), numFat, numDifat);
    return HeaderSize + (data + numFat + numDifat) * WriteSectorSize;
}

void Writer::placeStreams()
{
    QByteArray miniStream;
    std::vector<quint32> miniFat;
    for (Node &n : m_nodes) {
        if (n.type != TypeStream)
            continue;
        const QByteArray &data = static_cast<const TOle2Stream *>(n.entry)->Data();
        n.size = quint64(data.size());
        if (data.isEmpty())
            continue;
        if (n.size >= MiniStreamCutoff) {
            n.start = appendChain(data);
            continue;
        }
        const quint32 first = quint32(miniStream.size() / MiniSectorSize);
        const quint32 count = quint32((data.size() + MiniSectorSize - 1) / MiniSectorSize);
        miniStream.append(data);
        miniStream.append(QByteArray(qsizetype(count) * MiniSectorSize - data.size(), '\0'));
        for (quint32 i = 0; i < count; ++i)
            miniFat.push_back(i + 1 < count ? first + i + 1 : EndOfChain);
        n.start = first;
    }
    m_nodes[0].start = appendChain(miniStream);
    m_nodes[0].size = quint64(miniStream.size());

    QByteArray miniFatBytes(qsizetype(miniFat.size()) * 4, '\0');
    for (size_t i = 0; i < miniFat.size(); ++i)
        WriteCardinal(miniFatBytes, qsizetype(i) * 4, miniFat[i]);
    // Unused links of the last mini-FAT sector are free.
    const qsizetype padded = (miniFatBytes.size() + WriteSectorSize - 1) / WriteSectorSize * WriteSectorSize;
    miniFatBytes.append(QByteArray(padded - miniFatBytes.size(), '\xFF'));
    m_miniFatStart = appendChain(miniFatBytes);
    m_miniFatSectors = quint32(padded / WriteSectorSize);
}

QByteArray Writer::directoryBytes() const
{
    const qsizetype count = (qsizetype(m_nodes.size()) + 3) / 4 * 4;
    QByteArray dir(count * DirEntrySize, '\0');
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype base = i * DirEntrySize;
        if (i >= qsizetype(m_nodes.size())) {
            // Unused entries link nowhere.
            for (int off : {68, 72, 76})
                WriteCardinal(dir, base + off, NoStream);
            continue;
        }
        const Node &n = m_nodes[size_t(i)];
        const QString name = i == 0 ? QStringLiteral("Root Entry") : n.entry->Name;
        for (qsizetype c = 0; c < name.size(); ++c)
            WriteWord(dir, base + 2 * c, name[c].unicode());
        WriteWord(dir, base + 64, quint16((name.size() + 1) * 2));
        dir[base + 66] = char(n.type);
        dir[base + 67] = char(n.color);
        WriteCardinal(dir, base + 68, n.left);
        WriteCardinal(dir, base + 72, n.right);
        WriteCardinal(dir, base + 76, n.child);
        const QByteArray clsid = n.entry->ClassId.leftJustified(16, '\0', true);
        std::memcpy(dir.data() + base + 80, clsid.constData(), 16);
        WriteCardinal(dir, base + 96, n.entry->StateBits);
        WriteCardinal(dir, base + 100, quint32(n.entry->CreationTime));
        WriteCardinal(dir, base + 104, quint32(n.entry->CreationTime >> 32));
        WriteCardinal(dir, base + 108, quint32(n.entry->ModificationTime));
        WriteCardinal(dir, base + 112, quint32(n.entry->ModificationTime >> 32));
        // Storages carry start sector 0 and size 0.
        WriteCardinal(dir, base + 116, n.type == TypeStorage ? 0 : n.start);
        WriteCardinal(dir, base + 120, quint32(n.size));
        WriteCardinal(dir, base + 124, quint32(n.size >> 32));
    }
    return dir;
}

QByteArray Writer::header(quint32 firstDir, quint32 firstMiniFat, quint32 numMiniFat, quint32 numFat,
                          quint32 firstDifat, quint32 numDifat, const std::vector<quint32> &fatSectors) const
{
    QByteArray h(HeaderSize, '\0');
    std::memcpy(h.data(), Signature, sizeof Signature);
    WriteWord(h, 24, 0x003E);     // minor version
    WriteWord(h, 26, 3);          // major version: 512-byte sectors
    WriteWord(h, 28, 0xFFFE);     // byte order
    WriteWord(h, 30, 9);          // sector shift
    WriteWord(h, 32, 6);          // mini-sector shift
    WriteCardinal(h, 40, 0);      // directory sectors (always 0 in version 3)
    WriteCardinal(h, 44, numFat);
    WriteCardinal(h, 48, firstDir);
    WriteCardinal(h, 52, 0);      // transaction signature
    WriteCardinal(h, 56, MiniStreamCutoff);
    WriteCardinal(h, 60, firstMiniFat);
    WriteCardinal(h, 64, numMiniFat);
    WriteCardinal(h, 68, firstDifat);
    WriteCardinal(h, 72, numDifat);
    for (int i = 0; i < HeaderDifatEntries; ++i)
        WriteCardinal(h, 76 + 4 * i, size_t(i) < fatSectors.size() ? fatSectors[size_t(i)] : FreeSect);
    return h;
}

QByteArray Writer::write()
{
    flatten();
    m_body.reserve(sizeUpperBound());
    m_body.resize(HeaderSize);
    placeStreams();
    const quint32 firstDir = appendChain(directoryBytes());

    const quint32 dataSectors = quint32((m_body.size() - HeaderSize) / WriteSectorSize);
    quint32 numFat = 0, numDifat = 0;
    fatLayout(dataSectors, numFat, numDifat);
    std::vector<quint32> fatSectors;
    for (quint32 i = 0; i < numFat; ++i) {
        fatSectors.push_back(dataSectors + i);
        m_fat.push_back(FatSect);
    }
    for (quint32 i = 0; i < numDifat; ++i)
        m_fat.push_back(DifSect);
    m_fat.resize(size_t(numFat) * LinksPerSector, FreeSect);

    QByteArray fatBytes(qsizetype(m_fat.size()) * 4, '\0');
    for (size_t i = 0; i < m_fat.size(); ++i)
        WriteCardinal(fatBytes, qsizetype(i) * 4, m_fat[i]);
    m_body.append(fatBytes);

    const quint32 firstDifat = numDifat ? dataSectors + numFat : EndOfChain;
    for (quint32 d = 0; d < numDifat; ++d) {
        QByteArray sector(WriteSectorSize, '\xFF');
        for (int i = 0; i < LinksPerDifat; ++i) {
            const size_t fatIndex = HeaderDifatEntries + size_t(d) * LinksPerDifat + size_t(i);
            if (fatIndex < fatSectors.size())
                WriteCardinal(sector, 4 * i, fatSectors[fatIndex]);
        }
        WriteCardinal(sector, WriteSectorSize - 4, d + 1 < numDifat ? firstDifat + d + 1 : EndOfChain);
        m_body.append(sector);
    }

    const QByteArray head =
        header(firstDir, m_miniFatStart, m_miniFatSectors, numFat, firstDifat, numDifat, fatSectors);
    std::memcpy(m_body.data(), head.constData(), HeaderSize);
    return std::move(m_body);
}

} // namespace

QByteArray writeDocument(const TOle2Storage &root)
{
    return Writer(root).write();
}

} // namespace Ole2Format
