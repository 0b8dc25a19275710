#include "platform/db/Dbf.h"

#include "platform/db/DbfCodec.h"
#include "platform/db/DbfLayout.h"
#include "platform/io/DurableFile.h"
#include "platform/io/FileWriteError.h"
#include "platform/io/KillPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using detail::DbfLayout;
namespace Codec = DbfCodec;

namespace {

[[noreturn]] void openFailed(const QString &path, Dbf::Mode mode, int error)
{
    if (mode == Dbf::Mode::ReadWrite && error != ENOENT)
        FileWriteError::as<DbfError>([&] { DurableFile::raise(path, error, QStringLiteral("Nu pot deschide tabela")); });
    const QString cause = error == ENOENT ? QStringLiteral("Tabela nu exista") : QStringLiteral("Nu o pot citi");
    throw DbfError(QStringLiteral("Nu pot deschide tabela %1: %2. (%3)")
                       .arg(QDir::toNativeSeparators(path), cause, QString::fromUtf8(strerrordesc_np(error))));
}

} // namespace

struct Dbf::Impl
{
    QString path;
    Mode mode = Mode::ReadOnly;
    QFile file;
    uchar *map = nullptr;
    QByteArray buf; // the bytes when not mapped: writable tables and tables from memory
    const char *data = nullptr;
    DbfLayout layout;
    Codec::Plan plan; // how each field is read

    // Writes not yet on disk: the header and a range of records.
    bool dirty = false;
    qint64 dirtyFrom = 0;
    qint64 dirtyTo = 0; // one past the last
    qint64 counted = 0; // the record count the header on disk holds

    [[noreturn]] void fail(const QString &what) const
    {
        throw DbfError(QStringLiteral("%1: %2").arg(path, what));
    }
    [[noreturn]] void fail(qint64 rec, int field, const QString &what) const
    {
        const QString where = field >= 0 && field < layout.fields.size()
                                  ? QStringLiteral("record %1, field %2").arg(rec + 1).arg(layout.fields[field].name)
                                  : QStringLiteral("record %1").arg(rec + 1);
        fail(QStringLiteral("%1: %2").arg(where, what));
    }

    const char *record(qint64 rec) const
    {
        if (!data || rec < 0 || rec >= layout.recordCount) [[unlikely]]
            noRecord(rec);
        return data + layout.headerLength + rec * layout.recordLength;
    }
    const DbfField &field(qint64 rec, int f) const
    {
        if (f < 0 || f >= layout.fields.size()) [[unlikely]]
            noField(rec, f);
        return layout.fields[f];
    }
    // Kept out of line: the checks above run for every field a scan reads.
    [[noreturn]] Q_DECL_COLD_FUNCTION Q_NEVER_INLINE void noRecord(qint64 rec) const
    {
        if (!data)
            fail(QStringLiteral("tabela este inchisa"));
        fail(QStringLiteral("inregistrarea %1 nu exista (tabela are %2)").arg(rec + 1).arg(layout.recordCount));
    }
    [[noreturn]] Q_DECL_COLD_FUNCTION Q_NEVER_INLINE void noField(qint64 rec, int f) const
    {
        fail(rec, f, QStringLiteral("campul numarul %1 nu exista").arg(f));
    }
    QByteArrayView raw(qint64 rec, int f) const
    {
        const DbfField &fd = field(rec, f);
        return QByteArrayView(record(rec) + fd.offset, fd.length);
    }
    // Why field f of record rec could not be read; kept out of the read itself.
    [[noreturn]] Q_DECL_COLD_FUNCTION Q_NEVER_INLINE void refuse(qint64 rec, int f, Codec::Decoded result) const
    {
        const char type = layout.fields[f].type;
        if (result == Codec::Decoded::Unsupported)
            fail(rec, f, Codec::unsupported(type, layout.isFoxPro()));
        const char *what = result == Codec::Decoded::NotNumber ? "a number"
                           : result == Codec::Decoded::NotDate ? "a date"
                                                                : "a logical value";
        fail(rec, f, QStringLiteral("\"%1\" is not %2").arg(QString::fromLatin1(raw(rec, f)), QLatin1StringView(what)));
    }

    // The bytes of a value for field f, written to out (f's length); a value
    // the field cannot hold raises DbfError naming the record and field.
    void encode(qint64 rec, int f, const QVariant &v, char *out) const
    {
        try {
            Codec::encode(field(rec, f), v, out);
        } catch (const DbfError &e) {
            fail(rec, f, QString::fromUtf8(e.what()));
        }
    }

    char *writableRecord(qint64 rec)
    {
        if (mode != Mode::ReadWrite)
            fail(QStringLiteral("tabela este deschisa doar pentru citire"));
        record(rec);
        markDirty(rec);
        return buf.data() + layout.headerLength + rec * layout.recordLength;
    }
    void markDirty(qint64 rec)
    {
        if (!dirty) {
            dirtyFrom = rec;
            dirtyTo = rec + 1;
        } else {
            dirtyFrom = qMin(dirtyFrom, rec);
            dirtyTo = qMax(dirtyTo, rec + 1);
        }
        dirty = true;
    }

    // A record through one of the codec's record readers; the first field it
    // could not read raises.
    using RecordReader = int (*)(const char *, const Codec::Plan &, DbfValue *, Codec::Decoded *);
    void readRecord(qint64 rec, std::vector<DbfValue> &into, RecordReader reader) const
    {
        const char *bytes = record(rec);
        // Records are read in order, mostly: the one six ahead is fetched
        // while this one is decoded, which a stride of a record's length
        // keeps the processor from guessing on its own.
        if (rec + 6 < layout.recordCount) {
            const char *ahead = bytes + 6 * layout.recordLength;
            for (int at = 0; at < layout.recordLength; at += 64)
                __builtin_prefetch(ahead + at);
        }
        into.resize(size_t(layout.fields.size()));
        Codec::Decoded why;
        const int failed = reader(bytes, plan, into.data(), &why);
        if (failed >= 0) [[unlikely]]
            refuse(rec, failed, why);
    }

    void load(QByteArrayView bytes)
    {
        layout = DbfLayout::parse(bytes, path);
        plan = Codec::plan(layout.fields, layout.recordLength);
        counted = layout.recordCount;
    }
    void writeOut();
    void cutBackToCounted();
    void endAt(qint64 end);
    void dropUncountedTail(qint64 size);
};

Dbf::Dbf(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
Dbf::Dbf(Dbf &&other) noexcept = default;
Dbf &Dbf::operator=(Dbf &&other) noexcept
{
    if (this != &other) {
        try {
            close();
        } catch (...) {
        }
        d = std::move(other.d);
    }
    return *this;
}

Dbf::~Dbf()
{
    try {
        close();
    } catch (...) {
        // A destructor cannot report; callers that care call flush() first.
    }
}

QString Dbf::resolve(const QString &path)
{
    const QFileInfo fi(path);
    if (fi.exists() || path.isEmpty())
        return path;
    const QString parent = fi.path();
    const QString folder = parent == path ? parent : resolve(parent);
    const QDir dir(folder);
    if (!dir.exists())
        return path;
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names)
        if (name.compare(fi.fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    return path;
}

Dbf Dbf::open(const QString &path, Mode mode)
{
    auto impl = std::make_unique<Impl>();
    impl->path = resolve(path);
    impl->mode = mode;
    const int fd = ::open(QFile::encodeName(impl->path).constData(),
                          (mode == Mode::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0)
        openFailed(impl->path, mode, errno);
    const QIODevice::OpenMode how = mode == Mode::ReadWrite ? QIODevice::ReadWrite : QIODevice::ReadOnly;
    if (!impl->file.open(fd, how, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        openFailed(impl->path, mode, EBADF);
    }
    const qint64 size = impl->file.size();
    if (mode == Mode::ReadOnly && size > 0)
        impl->map = impl->file.map(0, size);
    if (impl->map) {
        impl->data = reinterpret_cast<const char *>(impl->map);
        impl->load(QByteArrayView(impl->data, size));
    } else {
        impl->buf = impl->file.readAll();
        if (impl->buf.size() != size)
            impl->fail(QStringLiteral("Nu pot citi tabela: %1").arg(impl->file.errorString()));
        impl->data = impl->buf.constData();
        impl->load(impl->buf);
        if (mode == Mode::ReadWrite)
            impl->dropUncountedTail(size);
        // Only the header and records are kept; appends grow from there.
        impl->buf.truncate(impl->layout.dataEnd());
        impl->data = impl->buf.constData();
    }
    return Dbf(std::move(impl));
}

Dbf Dbf::fromBytes(const QByteArray &bytes, const QString &name)
{
    auto impl = std::make_unique<Impl>();
    impl->path = name.isEmpty() ? QStringLiteral("(memory)") : name;
    impl->buf = bytes;
    impl->data = impl->buf.constData();
    impl->load(impl->buf);
    return Dbf(std::move(impl));
}

Dbf Dbf::inMemory(const QByteArray &bytes, const QString &name)
{
    Dbf table = fromBytes(bytes, name);
    Impl &m = *table.d;
    m.mode = Mode::ReadWrite;
    // A copy of its own, ending at the last record: appends grow from there.
    m.buf = QByteArray(bytes.constData(), m.layout.dataEnd());
    m.data = m.buf.constData();
    return table;
}

Dbf Dbf::create(const QString &path, const QList<DbfField> &fields)
{
    QList<DbfField> laid = fields;
    QByteArray bytes;
    try {
        bytes = DbfLayout::makeHeader(laid);
    } catch (const DbfError &e) {
        throw DbfError(QStringLiteral("%1: %2").arg(path, QString::fromUtf8(e.what())));
    }
    bytes.append(DbfLayout::EndOfFile);
    const QString target = resolve(path);
    FileWriteError::as<DbfError>([&] { DurableFile::save(target, bytes); });
    return open(target, Mode::ReadWrite);
}

QString Dbf::path() const { return d ? d->path : QString(); }
Dbf::Mode Dbf::mode() const { return d ? d->mode : Mode::ReadOnly; }
bool Dbf::isOpen() const { return d && d->data; }
quint8 Dbf::version() const { return d->layout.version; }
quint8 Dbf::codePage() const { return d->layout.codePage; }
QDate Dbf::lastUpdate() const { return d->layout.lastUpdate; }
int Dbf::headerLength() const { return d->layout.headerLength; }
const QList<DbfField> &Dbf::fields() const { return d->layout.fields; }
qint64 Dbf::recordCount() const { return d->layout.recordCount; }
int Dbf::recordLength() const { return d->layout.recordLength; }

int Dbf::fieldIndex(QStringView name) const
{
    const QList<DbfField> &fs = d->layout.fields;
    for (qsizetype i = 0; i < fs.size(); ++i)
        if (name.compare(fs[i].name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

bool Dbf::isDeleted(qint64 rec) const { return d->record(rec)[0] == '*'; }

QByteArrayView Dbf::rawField(qint64 rec, int field) const { return d->raw(rec, field); }

bool Dbf::isNull(qint64 rec, int field) const
{
    return Codec::isNull(d->field(rec, field).type, d->raw(rec, field));
}

QString Dbf::text(qint64 rec, int field) const
{
    const QByteArrayView raw = d->raw(rec, field);
    if (std::as_const(d->layout.fields)[field].type == 'C')
        return Codec::text(raw);
    return QString::fromLatin1(Codec::trimmed(raw));
}

double Dbf::number(qint64 rec, int field, bool *ok) const
{
    double v = 0;
    const bool good = Codec::number(d->raw(rec, field), &v);
    if (ok)
        *ok = good;
    return good ? v : 0.0;
}

QDate Dbf::date(qint64 rec, int field) const { return Codec::date(d->raw(rec, field)); }

bool Dbf::logical(qint64 rec, int field) const { return Codec::logical(d->raw(rec, field)) == 1; }

QVariant Dbf::value(qint64 rec, int field) const
{
    DbfValue v;
    read(rec, field, v);
    switch (v.kind) {
    case DbfValue::Text: return std::move(v.text);
    case DbfValue::Number: return v.number;
    case DbfValue::Date: return v.date;
    case DbfValue::Logical: return v.logical;
    default: return {};
    }
}

void Dbf::read(qint64 rec, int field, DbfValue &into) const
{
    const Impl &m = *d;
    m.field(rec, field);
    const Codec::Decoded result = Codec::decode(m.plan.fields[size_t(field)], m.record(rec), into);
    if (result != Codec::Decoded::Ok) [[unlikely]]
        d->refuse(rec, field, result);
}

void Dbf::read(qint64 rec, std::vector<DbfValue> &into) const { d->readRecord(rec, into, Codec::decode); }

void Dbf::check(qint64 rec, std::vector<DbfValue> &into) const { d->readRecord(rec, into, Codec::check); }

qint64 Dbf::appendBlank()
{
    appendBlank(1);
    return d->layout.recordCount - 1;
}

char *Dbf::appendBlank(qint64 count)
{
    if (!d || d->mode != Mode::ReadWrite)
        throw DbfError(QStringLiteral("%1: tabela este deschisa doar pentru citire").arg(path()));
    if (count < 0 || d->layout.recordCount + count > 0xFFFFFFFFLL)
        d->fail(QStringLiteral("tabela este plina"));
    const qint64 first = d->layout.recordCount;
    d->buf.append(count * d->layout.recordLength, ' ');
    d->data = d->buf.constData();
    d->layout.recordCount += count;
    if (count > 0) {
        d->markDirty(first);
        d->markDirty(first + count - 1);
    }
    return d->buf.data() + d->layout.headerLength + first * d->layout.recordLength;
}

void Dbf::setValue(qint64 rec, int field, const QVariant &v)
{
    const DbfField &f = d->field(rec, field);
    char bytes[256]; // a field's length is one byte
    d->encode(rec, field, v, bytes);
    memcpy(d->writableRecord(rec) + f.offset, bytes, size_t(f.length));
}

void Dbf::setValues(qint64 rec, const QList<std::pair<int, QVariant>> &values)
{
    // Staged on a copy of the record, so a refused value leaves it untouched.
    QByteArray staged(d->record(rec), d->layout.recordLength);
    for (const auto &[field, v] : values)
        d->encode(rec, field, v, staged.data() + d->field(rec, field).offset);
    memcpy(d->writableRecord(rec), staged.constData(), size_t(staged.size()));
}

void Dbf::setDeleted(qint64 rec, bool deleted) { d->writableRecord(rec)[0] = deleted ? '*' : ' '; }

void Dbf::Impl::writeOut()
{
    DbfLayout::stamp(buf.data(), layout.recordCount);
    layout.lastUpdate = QDate::currentDate();
    const int fd = file.handle();
    const qint64 from = layout.headerLength + dirtyFrom * layout.recordLength;
    const qint64 end = layout.dataEnd();
    try {
        // Records and end marker first, on disk before the count: a write cut
        // short leaves a header that still matches the records on disk.
        FileWriteError::as<DbfError>([&] {
            DurableFile::writeAt(fd, from, buf.constData() + from,
                                 layout.headerLength + dirtyTo * layout.recordLength - from, path);
            KillPoint::reach("dbf.records");
            DurableFile::writeAt(fd, end, &DbfLayout::EndOfFile, 1, path);
            DurableFile::sync(fd, path);
            KillPoint::reach("dbf.count");
            DurableFile::writeAt(fd, 0, buf.constData(), DbfLayout::FileHeaderSize, path);
            DurableFile::sync(fd, path);
        });
    } catch (const DbfError &) {
        cutBackToCounted();
        throw;
    }
    counted = layout.recordCount;
    dirty = false;
}

// After a failed write the table ends, on disk and here, at the last record
// its header counts: no partial record stays behind it.
void Dbf::Impl::cutBackToCounted()
{
    if (layout.recordCount > counted) {
        layout.recordCount = counted;
        const qint64 end = layout.dataEnd();
        try {
            endAt(end);
        } catch (const DbfError &) {
            // The failure already being raised is the one to report.
        }
        buf.truncate(end);
        data = buf.constData();
        DbfLayout::stamp(buf.data(), counted);
    }
    dirtyTo = qMin(dirtyTo, counted);
    dirty = dirtyFrom < dirtyTo;
}

// Cuts the file after its last counted record and puts the end marker there.
void Dbf::Impl::endAt(qint64 end)
{
    const int fd = file.handle();
    FileWriteError::as<DbfError>([&] {
        if (::ftruncate(fd, end) != 0)
            DurableFile::raise(path, errno);
        DurableFile::writeAt(fd, end, &DbfLayout::EndOfFile, 1, path);
        DurableFile::sync(fd, path);
    });
}

// Bytes past the counted records (records of an append cut short, stale
// bytes after the end marker) were never reported written: a table opened for
// writing drops them, so every reader, whether it follows the count or the
// marker, finds the same records.
void Dbf::Impl::dropUncountedTail(qint64 size)
{
    const qint64 end = layout.dataEnd();
    if (size > end + 1 || (size == end + 1 && buf[end] != DbfLayout::EndOfFile))
        endAt(end);
}

void Dbf::flush()
{
    // A table in memory keeps its writes there.
    if (d && d->dirty && d->file.isOpen())
        d->writeOut();
}

QByteArray Dbf::bytes(const QDate &lastUpdate) const
{
    if (!isOpen())
        throw DbfError(QStringLiteral("%1: tabela este inchisa").arg(path()));
    QByteArray out;
    out.reserve(d->layout.dataEnd() + 1);
    out.append(d->data, d->layout.dataEnd()).append(DbfLayout::EndOfFile);
    DbfLayout::stamp(out.data(), d->layout.recordCount, lastUpdate);
    return out;
}

void Dbf::close()
{
    if (!d)
        return;
    flush();
    if (d->map)
        d->file.unmap(d->map);
    d->map = nullptr;
    d->data = nullptr;
    d->buf.clear();
    d->file.close();
}

namespace {

// Writes a table anew: a temporary file in the same folder, renamed over the
// old one only once every byte is written, so a failure leaves the old whole.
class TableRewrite
{
public:
    explicit TableRewrite(const QString &path)
    {
        FileWriteError::as<DbfError>([&] { m_out.emplace(path); });
    }
    void append(const char *bytes, qint64 n)
    {
        FileWriteError::as<DbfError>([&] { m_out->write(bytes, n); });
    }
    void commit()
    {
        append(&DbfLayout::EndOfFile, 1);
        FileWriteError::as<DbfError>([&] { m_out->commit(); });
    }

private:
    std::optional<DurableFile> m_out;
};

// Visual FoxPro stores each field's place in the record in its descriptor.
void relocateFoxProFields(QByteArray &header)
{
    int offset = 1;
    for (qsizetype at = DbfLayout::FileHeaderSize;
         at + DbfLayout::DescriptorSize <= header.size() && header[at] != DbfLayout::Terminator;
         at += DbfLayout::DescriptorSize) {
        char *d = header.data() + at;
        qToLittleEndian<quint32>(quint32(offset), d + 12);
        offset += quint8(d[16]);
    }
}

} // namespace

void Dbf::pack(const QString &path)
{
    const Dbf src = open(path);
    const DbfLayout &l = src.d->layout;
    qint64 kept = 0;
    for (qint64 r = 0; r < l.recordCount; ++r)
        kept += src.d->record(r)[0] != '*';
    QByteArray header(src.d->data, l.headerLength);
    DbfLayout::stamp(header.data(), kept);

    TableRewrite out(src.d->path);
    out.append(header.constData(), header.size());
    for (qint64 r = 0; r < l.recordCount; ++r) {
        const char *rec = src.d->record(r);
        if (rec[0] != '*')
            out.append(rec, l.recordLength);
    }
    out.commit();
}

void Dbf::widenCharField(const QString &path, const QString &field, int newWidth)
{
    const Dbf src = open(path);
    const DbfLayout &l = src.d->layout;
    const int index = src.fieldIndex(field);
    if (index < 0)
        src.d->fail(QStringLiteral("campul %1 nu exista").arg(field));
    const DbfField &f = l.fields[index];
    if (f.type != 'C')
        src.d->fail(QStringLiteral("campul %1 nu este de tip caracter").arg(f.name));
    if (newWidth < f.length || newWidth > DbfLayout::MaxCharLength)
        src.d->fail(QStringLiteral("campul %1 nu poate trece de la %2 la %3 caractere").arg(f.name).arg(f.length).arg(newWidth));
    const int delta = newWidth - f.length;
    if (delta == 0)
        return;
    const int newLength = l.recordLength + delta;
    if (newLength > 0xFFFF)
        src.d->fail(QStringLiteral("inregistrarea ar avea peste 65535 octeti"));

    QByteArray header(src.d->data, l.headerLength);
    DbfLayout::stamp(header.data(), l.recordCount);
    qToLittleEndian<quint16>(quint16(newLength), header.data() + 10);
    header[l.descriptorOffsets[index] + 16] = char(newWidth);
    if (l.isFoxPro())
        relocateFoxProFields(header);

    const int cut = f.offset + f.length;
    const QByteArray pad(delta, ' ');
    TableRewrite out(src.d->path);
    out.append(header.constData(), header.size());
    for (qint64 r = 0; r < l.recordCount; ++r) {
        const char *rec = src.d->record(r);
        out.append(rec, cut);
        out.append(pad.constData(), delta);
        out.append(rec + cut, l.recordLength - cut);
    }
    out.commit();
}

Dbf::Stamp Dbf::stamp(const QString &path)
{
    const QString resolved = resolve(path);
    struct stat st;
    if (::stat(QFile::encodeName(resolved).constData(), &st) != 0)
        return {};
    Stamp s;
    s.size = st.st_size;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    QFile f(resolved);
    if (f.open(QIODevice::ReadOnly)) {
        const QByteArray head = f.read(8);
        if (head.size() == 8)
            s.records = qFromLittleEndian<quint32>(head.constData() + 4);
    }
    return s;
}
