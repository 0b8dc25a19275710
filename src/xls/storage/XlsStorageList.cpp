#include "xls/storage/XlsStorageList.h"

#include "xls/storage/Ole2Format_p.h"

TXlsStorageList::TXlsStorageList() : m_root(std::make_unique<TOle2Storage>()) {}

TXlsStorageList::~TXlsStorageList() = default;

void TXlsStorageList::Clear()
{
    m_root = std::make_unique<TOle2Storage>();
}

void TXlsStorageList::LoadFrom(const TOle2Storage &document)
{
    m_root = document.Clone();
}

void TXlsStorageList::LoadFromFile(const QString &fileName)
{
    m_root = TOle2Storage::OpenFile(fileName);
}

void TXlsStorageList::LoadFromDevice(QIODevice &device)
{
    m_root = TOle2Storage::OpenDevice(device);
}

void TXlsStorageList::LoadFromBytes(QByteArrayView bytes)
{
    m_root = TOle2Storage::OpenBytes(bytes);
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
