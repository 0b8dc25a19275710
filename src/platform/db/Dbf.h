#pragma once

#include "platform/io/KestrunError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <memory>
#include <utility>
#include <vector>

// One column of a dBase table.
struct DbfField
{
    QString name;      // up to 10 ASCII characters; create() stores it upper-case
    char type = 'C';   // C N F D L; others (memo, binary) are listed but not readable
    int length = 0;    // bytes in the record
    int decimals = 0;  // N/F only
    int offset = 0;    // in the record, after the deletion flag (so the first field is at 1)
};

// A field's value decoded into storage kept between reads, so that a scan over
// many records allocates nothing per field.
struct DbfValue
{
    enum Kind { Null, Text, Number, Date, Logical };
    Kind kind = Null;
    QString text;        // Text: decoded and right-trimmed; its buffer is reused
    double number = 0;   // Number
    QDate date;          // Date
    bool logical = false; // Logical
};

// A table that cannot be opened, read or written. The message names the file
// and, where it applies, the record (counted from 1), the field and the byte
// offset.
class DbfError : public KestrunError
{
public:
    using KestrunError::KestrunError;
};

// A dBase III/IV or Visual FoxPro table (.dbf). Reading maps the file and
// decodes a field only when asked; writing keeps the header's record count,
// last-update date and the end-of-file marker right.
//
// Record numbers are 0-based. Text is CP1250 in the file.
class Dbf
{
public:
    enum class Mode { ReadOnly, ReadWrite };

    // The file as it exists on disk with any letter case (CERERI.DBF serves for
    // Cereri.dbf); the input unchanged when no such file exists.
    static QString resolve(const QString &path);

    static Dbf open(const QString &path, Mode mode = Mode::ReadOnly);
    // A read-only table over bytes already in memory; name is used in messages.
    static Dbf fromBytes(const QByteArray &bytes, const QString &name = QString());
    // A copy of a table's bytes that takes appends and edits in memory, for a
    // file made whole from a model table: its header stays as it came, but for
    // the record count and date bytes() sets. Nothing goes to disk.
    static Dbf inMemory(const QByteArray &bytes, const QString &name = QString());
    // Writes an empty table (replacing any file of that name) and opens it for
    // writing. Offsets are computed; the code-page byte says CP1250.
    static Dbf create(const QString &path, const QList<DbfField> &fields);

    Dbf(Dbf &&other) noexcept;
    Dbf &operator=(Dbf &&other) noexcept;
    Dbf(const Dbf &) = delete;
    Dbf &operator=(const Dbf &) = delete;
    ~Dbf(); // flushes pending writes; errors there are swallowed, call flush() to see them

    QString path() const;
    Mode mode() const;
    bool isOpen() const;
    quint8 version() const;      // first header byte (0x03, 0x30, 0x83, ...)
    quint8 codePage() const;     // language driver byte (0xC8 for CP1250, 0 when unmarked)
    QDate lastUpdate() const;
    int headerLength() const;

    const QList<DbfField> &fields() const;
    int fieldIndex(QStringView name) const; // without regard to case; -1 when missing

    qint64 recordCount() const;
    int recordLength() const;

    bool isDeleted(qint64 rec) const;
    // The field's bytes as stored; valid until the next write or close.
    QByteArrayView rawField(qint64 rec, int field) const;
    // Blank C, N, F, D; blank or '?' L.
    bool isNull(qint64 rec, int field) const;
    // C: decoded and right-trimmed; other types: their stored text, trimmed.
    QString text(qint64 rec, int field) const;
    // N/F; ok is false (and 0 returned) when blank or not a number.
    double number(qint64 rec, int field, bool *ok = nullptr) const;
    // D; an invalid date when blank or not a date.
    QDate date(qint64 rec, int field) const;
    bool logical(qint64 rec, int field) const;
    // Null QVariant for null; else QString (C), double (N/F), QDate (D), bool (L).
    // Raises DbfError for a value that is not blank and cannot be read, and for
    // memo and other unsupported types.
    QVariant value(qint64 rec, int field) const;
    // The same into a value kept by the caller (for scans).
    void read(qint64 rec, int field, DbfValue &into) const;
    // Every field of a record, into values kept by the caller (one a field).
    void read(qint64 rec, std::vector<DbfValue> &into) const;
    // Raises DbfError as read() would for a record that cannot be read, at the
    // cost of its fields other than text (into as for read(), left unspecified).
    void check(qint64 rec, std::vector<DbfValue> &into) const;

    // Writing (ReadWrite). Changes are kept in memory until flush() or close().
    qint64 appendBlank();
    // Appends count blank records and gives the first's bytes, the others
    // after it, for a writer that encodes many fields in place
    // (DbfCodec::encode); valid until the next append or close.
    char *appendBlank(qint64 count);
    // A null QVariant blanks the field. C is cut to the field's width; a number
    // that does not fit its N/F field raises DbfError and changes nothing.
    void setValue(qint64 rec, int field, const QVariant &v);
    // Several fields of one record (field number, value): all are stored, or,
    // when one value does not suit its field, none is.
    void setValues(qint64 rec, const QList<std::pair<int, QVariant>> &values);
    void setDeleted(qint64 rec, bool deleted);
    void flush();
    void close();
    // The table as a file: the header with the record count and lastUpdate as
    // its date, the records and the end-of-file mark.
    QByteArray bytes(const QDate &lastUpdate) const;

    // Rewrites the table without its deleted records (temporary file + rename).
    static void pack(const QString &path);
    // Widens a C field, keeping every record (temporary file + rename).
    static void widenCharField(const QString &path, const QString &field, int newWidth);

    // Size, modification time and header record count: lets readers notice
    // that the file changed under them. All zero when the file is missing.
    struct Stamp
    {
        qint64 size = 0;
        qint64 mtimeNs = 0;
        qint64 records = 0;
        bool operator==(const Stamp &) const = default;
    };
    static Stamp stamp(const QString &path);

    struct Impl;

private:
    explicit Dbf(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};
