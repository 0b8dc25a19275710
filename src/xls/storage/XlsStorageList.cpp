#include "xls/storage/XlsStorageList.h"

#include "xls/storage/Ole2Format_p.h"

namespace {
// Where a workbook's records may stand: read before any other stream, so that
// a neighbour running into its sectors is the one named.
const QStringList &WorkbookStreams()
{
    static const QStringList names{QStringLiteral("Workbook"), QStringLiteral("Book")};
    return names;
}
}  // namespace

TXlsStorageList::TXlsStorageList() : m_root(std::make_unique<TOle2Storage>()) {}

TXlsStorageList::~TXlsStorageList() = default;

void TXlsStorageList::Clear()
{
    m_root = std::make_unique<TOle2Storage>();
    m_sharedStreams.clear();
}

void TXlsStorageList::LoadFrom(const TOle2Storage &document)
{
    m_root = document.Clone();
    m_sharedStreams.clear();
}

void TXlsStorageList::LoadFromFile(const QString &fileName)
{
    QStringList shared;
    // The workbook's records are parsed from the file as they are read: a
    // large workbook is not held twice.
    m_root = TOle2Storage::OpenFile(fileName, &shared, WorkbookStreams(), WorkbookStreams());
    m_sharedStreams = shared;
}

void TXlsStorageList::LoadFromDevice(QIODevice &device)
{
    QStringList shared;
    m_root = TOle2Storage::OpenDevice(device, &shared, WorkbookStreams());
    m_sharedStreams = shared;
}

void TXlsStorageList::LoadFromBytes(QByteArrayView bytes)
{
    QStringList shared;
    m_root = TOle2Storage::OpenBytes(bytes, &shared, WorkbookStreams());
    m_sharedStreams = shared;
}

void TXlsStorageList::SaveTo(TOle2Storage &document, QStringView exceptStream) const
{
    Ole2Format::copyEntryProperties(*m_root, document);
    for (const auto &e : m_root->Entries())
        if (e->IsStorage() || exceptStream.isEmpty() || !TOle2Storage::SameName(e->Name, exceptStream))
            document.Add(Ole2Format::cloneEntry(*e));
}

const TOle2Stream *TXlsStorageList::FindStream(QStringView name) const
{
    return m_root->FindStream(name);
}
