// Compound-document writer: version 3, 512-byte sectors. Layout after the
// header: large streams, the mini-stream, the mini-FAT, the directory, then the
// FAT and (past 109 FAT sectors) the DIFAT.
#include "xls/storage/ExcelException.h"
#include "xls/storage/GatheringDevice.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/Ole2Format_p.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
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

// The document is laid out as pieces in file order: runs of bytes built here,
// and between them the large streams' bytes, referred to rather than copied
// (and a late stream's writer), so a document written to a device never holds
// its large streams twice.
class Writer
{
public:
    Writer(const TOle2Storage &root, const TOle2LateStream *late) : m_root(root), m_late(late) {}
    QByteArray write();
    void writeTo(QIODevice &device);

private:
    struct Piece
    {
        QByteArray bytes;
        bool late = false;  // the late stream's writer stands here
    };

    void build();
    void flatten();
    quint32 buildSiblingTree(std::vector<quint32> &ids, int from, int to, int depth, int &maxDepth);
    void colourTree(quint32 node, int depth, int maxDepth);
    quint32 linkSectors(qint64 size);
    quint32 appendChain(QByteArrayView data);
    quint32 appendStreamChain(const QByteArray &data, bool late);
    void endPiece();
    qint64 streamSize(const Node &n) const;
    bool isLate(const Node &n) const { return m_late && n.entry == m_late->Stream && !m_lateBytes; }
    void placeStreams();
    QByteArray directoryBytes() const;
    QByteArray header(quint32 firstDir, quint32 firstMiniFat, quint32 numMiniFat, quint32 numFat,
                      quint32 firstDifat, quint32 numDifat, const std::vector<quint32> &fatSectors) const;

    const TOle2Storage &m_root;
    const TOle2LateStream *m_late;
    // A late stream too small for sectors of its own goes to the mini-stream,
    // so its bytes are made first.
    std::optional<QByteArray> m_lateBytes;
    std::vector<Node> m_nodes;
    std::vector<Piece> m_pieces;  // the document, m_body last
    QByteArray m_body;            // room for the header, then the sectors
    qint64 m_size = 0;            // of the whole document so far
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

// Whole sectors for size bytes.
static qint64 sectorBytes(qint64 size)
{
    return (size + WriteSectorSize - 1) / WriteSectorSize * WriteSectorSize;
}

// The next sectors of the document, enough for size bytes, linked in the FAT;
// returns the first.
quint32 Writer::linkSectors(qint64 size)
{
    const quint32 first = quint32((m_size - HeaderSize) / WriteSectorSize);
    const quint32 count = quint32(sectorBytes(size) / WriteSectorSize);
    m_size += qint64(count) * WriteSectorSize;
    for (quint32 i = 0; i < count; ++i)
        m_fat.push_back(i + 1 < count ? first + i + 1 : EndOfChain);
    return first;
}

// Appends data as whole sectors linked in the FAT; returns the first sector.
quint32 Writer::appendChain(QByteArrayView data)
{
    if (data.isEmpty())
        return EndOfChain;
    m_body.append(data);
    m_body.resize(m_body.size() + sectorBytes(data.size()) - data.size(), '\0');
    return linkSectors(data.size());
}

// A stream's sectors: its bytes become a piece of their own (or the late
// stream's writer does), the padding goes on in the next run.
quint32 Writer::appendStreamChain(const QByteArray &data, bool late)
{
    const qint64 size = late ? m_late->Size : data.size();
    if (size == 0)
        return EndOfChain;
    endPiece();
    m_pieces.push_back({late ? QByteArray() : data, late});
    m_body.resize(sectorBytes(size) - size, '\0');
    return linkSectors(size);
}

void Writer::endPiece()
{
    if (!m_body.isEmpty())
        m_pieces.push_back({std::move(m_body)});
    m_body = QByteArray();
}

qint64 Writer::streamSize(const Node &n) const
{
    if (m_late && n.entry == m_late->Stream)
        return m_lateBytes ? m_lateBytes->size() : m_late->Size;
    return static_cast<const TOle2Stream *>(n.entry)->Data().size();
}

void Writer::placeStreams()
{
    QByteArray miniStream;
    std::vector<quint32> miniFat;
    for (Node &n : m_nodes) {
        if (n.type != TypeStream)
            continue;
        const bool late = isLate(n);
        const QByteArray &data = late ? QByteArray() : m_late && n.entry == m_late->Stream
                                                           ? *m_lateBytes
                                                           : static_cast<const TOle2Stream *>(n.entry)->Data();
        n.size = quint64(streamSize(n));
        if (n.size == 0)
            continue;
        if (n.size >= MiniStreamCutoff) {
            n.start = appendStreamChain(data, late);
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

void Writer::build()
{
    if (m_late && m_late->Size < MiniStreamCutoff) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        m_late->Write(buffer);
        if (bytes.size() != m_late->Size)
            throw EExcelException(QStringLiteral("Stream \"%1\" wrote %2 bytes, not %3")
                                      .arg(m_late->Stream->Name).arg(bytes.size()).arg(m_late->Size));
        m_lateBytes = std::move(bytes);
    }
    flatten();
    m_body.resize(HeaderSize);
    m_size = HeaderSize;
    placeStreams();
    const quint32 firstDir = appendChain(directoryBytes());

    const quint32 dataSectors = quint32((m_size - HeaderSize) / WriteSectorSize);
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
    m_size += fatBytes.size();

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
        m_size += sector.size();
    }
    endPiece();

    const QByteArray head =
        header(firstDir, m_miniFatStart, m_miniFatSectors, numFat, firstDifat, numDifat, fatSectors);
    std::memcpy(m_pieces.front().bytes.data(), head.constData(), HeaderSize);
}

QByteArray Writer::write()
{
    if (m_late) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        writeTo(buffer);
        return bytes;
    }
    build();
    QByteArray document;
    document.reserve(m_size);
    for (const Piece &piece : m_pieces)
        document.append(piece.bytes);
    return document;
}

void Writer::writeTo(QIODevice &device)
{
    build();
    for (Piece &piece : m_pieces) {
        if (!piece.late) {
            if (device.write(piece.bytes) != piece.bytes.size())
                throw EExcelException(QStringLiteral("Error writing output file"));
            piece.bytes = QByteArray();  // built here: no longer needed
            continue;
        }
        // The stream's writer makes many small writes: gathered into large ones.
        TGatheringDevice gathered(device);
        m_late->Write(gathered);
        gathered.PassOnOrRaise();
        if (gathered.pos() != m_late->Size)
            throw EExcelException(QStringLiteral("Stream \"%1\" wrote %2 bytes, not %3")
                                      .arg(m_late->Stream->Name).arg(gathered.pos()).arg(m_late->Size));
    }
}

} // namespace

QByteArray writeDocument(const TOle2Storage &root)
{
    return Writer(root, nullptr).write();
}

void writeDocument(const TOle2Storage &root, QIODevice &device, const TOle2LateStream *late)
{
    Writer(root, late).writeTo(device);
}

} // namespace Ole2Format
