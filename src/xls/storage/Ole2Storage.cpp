#include "xls/storage/Ole2Storage.h"

#include "platform/io/DurableFile.h"
#include "xls/storage/ExcelException.h"
#include "xls/storage/Ole2Format_p.h"

#include <QFile>

#include <memory>

using namespace Ole2Format;

TOle2Storage::TOle2Storage(QString name)
{
    Name = std::move(name);
}

TOle2Storage::~TOle2Storage() = default;

std::unique_ptr<TOle2Storage> TOle2Storage::OpenBytes(QByteArrayView bytes, QStringList *sharedStreams,
                                                  const QStringList &readFirst)
{
    return readDocument(bytes, QString(), sharedStreams, readFirst);
}

std::unique_ptr<TOle2Storage> TOle2Storage::OpenDevice(QIODevice &device, QStringList *sharedStreams,
                                                  const QStringList &readFirst)
{
    return readDocument(readBounded(device, QString()), QString(), sharedStreams, readFirst);
}

std::unique_ptr<TOle2Storage> TOle2Storage::OpenFile(const QString &fileName, QStringList *sharedStreams,
                                                  const QStringList &readFirst, const QStringList &leaveInFile)
{
    // Unbuffered: the reads are of whole sectors or runs of them.
    auto file = std::make_unique<QFile>(fileName);
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw EExcelException(QStringLiteral("Cannot open the file \"%1\": %2").arg(fileName, file->errorString()));
    if (file->isSequential())  // a named pipe
        return readDocument(readBounded(*file, fileName), fileName, sharedStreams, readFirst);
    checkBounded(*file, fileName);
    return readDocument(std::move(file), fileName, sharedStreams, readFirst, leaveInFile);
}

bool TOle2Storage::SameName(QStringView a, QStringView b)
{
    return compareNames(a, b) == 0; // equal length is part of the order
}

void TOle2Storage::CheckName(QStringView name)
{
    if (name.isEmpty())
        throw EExcelException(QStringLiteral("A compound-document entry needs a name"));
    if (name.size() > MaxNameLength)
        throw EExcelException(QStringLiteral("The name \"%1\" is longer than %2 characters")
                                  .arg(name.toString()).arg(MaxNameLength));
    if (name.contains(QChar(0)))
        throw EExcelException(QStringLiteral("The name \"%1\" holds a null character").arg(name.toString()));
}

TOle2Entry *TOle2Storage::Find(QStringView name) const
{
    for (const auto &e : m_entries)
        if (SameName(e->Name, name))
            return e.get();
    return nullptr;
}

TOle2Stream *TOle2Storage::FindStream(QStringView name) const
{
    TOle2Entry *e = Find(name);
    return e && !e->IsStorage() ? static_cast<TOle2Stream *>(e) : nullptr;
}

TOle2Storage *TOle2Storage::FindStorage(QStringView name) const
{
    TOle2Entry *e = Find(name);
    return e && e->IsStorage() ? static_cast<TOle2Storage *>(e) : nullptr;
}

TOle2Stream &TOle2Storage::OpenStream(QStringView name) const
{
    TOle2Stream *s = FindStream(name);
    if (!s)
        throw EExcelException(QStringLiteral("The document has no stream \"%1\"").arg(name.toString()));
    return *s;
}

TOle2Entry &TOle2Storage::Add(std::unique_ptr<TOle2Entry> entry)
{
    CheckName(entry->Name);
    if (Find(entry->Name))
        throw EExcelException(QStringLiteral("The name \"%1\" is already used in storage \"%2\"").arg(entry->Name, Name));
    m_entries.push_back(std::move(entry));
    return *m_entries.back();
}

TOle2Stream &TOle2Storage::CreateStream(const QString &name)
{
    return static_cast<TOle2Stream &>(Add(std::make_unique<TOle2Stream>(name)));
}

TOle2Storage &TOle2Storage::CreateStorage(const QString &name)
{
    return static_cast<TOle2Storage &>(Add(std::make_unique<TOle2Storage>(name)));
}

bool TOle2Storage::Remove(QStringView name)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (SameName((*it)->Name, name)) {
            m_entries.erase(it);
            return true;
        }
    }
    return false;
}

std::unique_ptr<TOle2Entry> Ole2Format::cloneEntry(const TOle2Entry &entry)
{
    if (entry.IsStorage())
        return static_cast<const TOle2Storage &>(entry).Clone();
    const auto &stream = static_cast<const TOle2Stream &>(entry);
    auto copy = std::make_unique<TOle2Stream>(stream.Name, stream.Data());
    copyEntryProperties(stream, *copy);
    return copy;
}

std::unique_ptr<TOle2Storage> TOle2Storage::Clone() const
{
    auto copy = std::make_unique<TOle2Storage>(Name);
    copyEntryProperties(*this, *copy);
    for (const auto &e : m_entries)
        copy->m_entries.push_back(cloneEntry(*e));
    return copy;
}

QByteArray TOle2Storage::ToBytes() const
{
    return writeDocument(*this);
}

void TOle2Storage::SaveToDevice(QIODevice &device, const TOle2LateStream *late) const
{
    writeDocument(*this, device, late);
}

void TOle2Storage::SaveToFile(const QString &fileName) const
{
    DurableFile::save(fileName, ToBytes());
}
