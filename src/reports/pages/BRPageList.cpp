#include "reports/pages/BRPageList.h"

#include "reports/eval/BRError.h"
#include "reports/pages/BRByteReader.h"
#include "reports/pages/BRCompress.h"

#include <QtEndian>

namespace {

constexpr qint64 RecordOverhead = 12;       // page number, forward and backward links
constexpr qint64 MaxPageBytes = 64 << 20;   // no page of ours comes near it

class SavedReportCheck
{
public:
    SavedReportCheck(TBRStream &s, const QString &path) : m_s(s), m_path(path), m_size(s.Size()) {}

    [[noreturn]] void fail(const QString &detail) const
    {
        QString text = QStringLiteral("Raportul salvat \"%1\" nu poate fi citit: %2").arg(m_path, detail);
        if (!text.endsWith(u'.'))
            text += u'.';
        throw EBRError(text);
    }

    QByteArray read(qint64 pos, qint64 n)
    {
        if (pos < 0 || n < 0 || pos + n > m_size)
            fail(QStringLiteral("datele se termina la octetul %1, inainte de %2").arg(m_size).arg(pos + n));
        QByteArray b(n, Qt::Uninitialized);
        m_s.Seek(pos);
        if (m_s.Read(b.data(), n) != n)
            fail(QStringLiteral("citirea la octetul %1 nu a reusit").arg(pos));
        return b;
    }

    quint32 u32At(qint64 pos) { return qFromLittleEndian<quint32>(read(pos, 4).constData()); }

    // Whether a first page record that links back to itself starts at `pos`.
    bool firstRecordAt(qint64 pos)
    {
        if (pos + RecordOverhead > m_size)
            return false;
        const qint64 end = u32At(pos + 4);
        return qint32(u32At(pos)) == 1 && end >= pos + RecordOverhead && end <= m_size && u32At(end - 4) == pos;
    }

    // The header size: the form whose first record links up, or whose size
    // the empty file has. Links, not page contents, decide.
    int headerSize()
    {
        if (m_size < TBRFileHeader::OldSize)
            fail(QStringLiteral("fisierul are %1 octeti, antetul cere %2").arg(m_size).arg(TBRFileHeader::Size));
        if (m_size == TBRFileHeader::OldSize || (!firstRecordAt(TBRFileHeader::Size) && firstRecordAt(TBRFileHeader::OldSize)))
            return TBRFileHeader::OldSize;
        return TBRFileHeader::Size;
    }

    // Follows the links of every page: each record must hold its page number,
    // link forward inside the file and back to its own start; the last one
    // ends the file. Forward links only grow, so the walk cannot loop.
    std::vector<qint64> records(qint64 start, int count, bool compressed)
    {
        if (count < 0 || qint64(count) > (m_size - start) / RecordOverhead)
            fail(QStringLiteral("antetul anunta %1 pagini, fisierul nu le poate cuprinde").arg(count));
        std::vector<qint64> out;
        out.reserve(size_t(qMin(count, 1 << 16))); // the walk proves the rest
        qint64 pos = start;
        for (int page = 1; page <= count; ++page) {
            const qint32 number = qint32(u32At(pos));
            const qint64 end = u32At(pos + 4);
            if (number != page)
                fail(QStringLiteral("la octetul %1 se astepta pagina %2, nu %3").arg(pos).arg(page).arg(number));
            if (end < pos + RecordOverhead || end > m_size)
                fail(QStringLiteral("legatura paginii %1 duce la octetul %2, in afara fisierului").arg(page).arg(end));
            if (u32At(end - 4) != pos)
                fail(QStringLiteral("legatura inapoi a paginii %1 nu duce la inceputul ei (octetul %2)").arg(page).arg(pos));
            if (compressed)
                checkCompressed(pos, end, page);
            out.push_back(pos);
            pos = end;
        }
        if (pos != m_size)
            fail(QStringLiteral("dupa ultima pagina mai sunt %1 octeti").arg(m_size - pos));
        return out;
    }

private:
    void checkCompressed(qint64 pos, qint64 end, int page)
    {
        const qint64 coded = end - pos - RecordOverhead - 4;
        if (coded < 0)
            fail(QStringLiteral("pagina comprimata %1 nu are lungime").arg(page));
        const qint64 length = u32At(pos + 8);
        if (length > coded * 8 || length > MaxPageBytes)
            fail(QStringLiteral("pagina comprimata %1 pretinde %2 octeti din %3").arg(page).arg(length).arg(coded));
    }

    TBRStream &m_s;
    QString m_path;
    qint64 m_size;
};

} // namespace

TBRPageList::TBRPageList() = default;

TBRPageList::~TBRPageList() = default;

void TBRPageList::SetStream(std::unique_ptr<TBRStream> stream)
{
    QMutexLocker lock(&m_lock);
    m_stream = std::move(stream);
    m_pageCount = 0;
    m_records.clear();
    m_headerSize = TBRFileHeader::Size;
    m_outline.Clear();
}

int TBRPageList::PageCount() const
{
    QMutexLocker lock(&m_lock);
    return m_pageCount;
}

void TBRPageList::WritePageListHeader()
{
    QMutexLocker lock(&m_lock);
    if (!m_stream)
        m_stream = std::make_unique<TBRStream>();
    TBRFileHeader h;
    h.pageCount = m_pageCount;
    h.created = m_created = TBRFileHeader::toDays(QDateTime::currentDateTime());
    h.compressed = m_compression;
    m_stream->Seek(0);
    m_stream->Write(h.encode());
}

void TBRPageList::AddPage(const TBRPageBody &page)
{
    QMutexLocker lock(&m_lock);
    if (!m_stream)
        m_stream = std::make_unique<TBRStream>();
    if (m_pageCount == 0) {
        m_headerSize = TBRFileHeader::Size;
        m_pageCount = 1;
        WritePageListHeader();
    } else {
        ++m_pageCount;
    }
    const QByteArray bytes = page.encode();
    const qint64 start = m_stream->Size();
    TBRByteWriter w;
    w.i32(m_pageCount);
    w.u32(0); // forward link, set below
    if (m_compression) {
        w.u32(quint32(bytes.size()));
        w.bytes(TBRCompress::compress(bytes));
    } else {
        w.bytes(bytes);
    }
    w.u32(quint32(start));
    QByteArray &record = w.data();
    qToLittleEndian(quint32(start + record.size()), record.data() + 4);
    m_stream->Seek(start);
    m_stream->Write(record);
    m_records.push_back(start);
}

QByteArray TBRPageList::readAt(qint64 pos, qint64 n)
{
    QByteArray b(n, Qt::Uninitialized);
    m_stream->Seek(pos);
    if (m_stream->Read(b.data(), n) != n)
        throw EBRError(QStringLiteral("Pagina raportului nu poate fi citita de la octetul %1.").arg(pos));
    return b;
}

std::optional<TBRPageBody> TBRPageList::ReadPage(int n)
{
    QMutexLocker lock(&m_lock);
    if (n < 1 || n > m_pageCount || !m_stream)
        return std::nullopt;
    const qint64 start = m_records[size_t(n - 1)];
    const QByteArray head = readAt(start, 8);
    const qint64 end = qFromLittleEndian<quint32>(head.constData() + 4);
    QByteArray body = readAt(start + 8, end - start - RecordOverhead);
    m_stream->Seek(end); // the start of the next record
    if (!m_compression)
        return TBRPageBody::decode(body);
    TBRByteReader r(body, QStringLiteral("pagina %1").arg(n));
    const qsizetype length = qsizetype(r.u32());
    return TBRPageBody::decode(TBRCompress::expand(r.bytes(r.remaining()), length));
}

void TBRPageList::SeekToPage(int n)
{
    QMutexLocker lock(&m_lock);
    if (!m_stream)
        return;
    if (n <= 1 || m_records.empty())
        m_stream->Seek(m_headerSize);
    else
        m_stream->Seek(m_records[size_t(qMin(n, int(m_records.size())) - 1)]);
}

void TBRPageList::ClearPages()
{
    QMutexLocker lock(&m_lock);
    m_pageCount = 0;
    m_records.clear();
}

void TBRPageList::LoadFromFile(const QString &path)
{
    std::unique_ptr<TBRStream> stream = TBRStream::openFile(path);
    SavedReportCheck check(*stream, path);
    const int headerSize = check.headerSize();
    TBRFileHeader header;
    try {
        header = TBRFileHeader::decode(check.read(0, headerSize), headerSize);
    } catch (const EBRError &e) {
        check.fail(e.text());
    }
    std::vector<qint64> records = check.records(headerSize, header.pageCount, header.compressed);
    QMutexLocker lock(&m_lock);
    m_stream = std::move(stream);
    m_records = std::move(records);
    m_pageCount = header.pageCount;
    m_compression = header.compressed;
    m_headerSize = headerSize;
    m_created = header.created;
    m_outline.Clear();
    SeekToLastPage();
}

void TBRPageList::SaveToFile(const QString &path)
{
    QMutexLocker lock(&m_lock);
    if (!m_stream)
        WritePageListHeader();
    m_stream->SaveToFile(path);
}

QDateTime TBRPageList::CreationTime() const
{
    QMutexLocker lock(&m_lock);
    return TBRFileHeader::fromDays(m_created);
}
