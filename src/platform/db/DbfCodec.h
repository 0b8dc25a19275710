#pragma once

#include "platform/db/Dbf.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QVariant>

#include <string>
#include <string_view>
#include <vector>

// Field bytes to values and back. Numbers and dates are ASCII, text is CP1250.
// The table reads through it, and so do the SQL engine's scan and the writers
// of fixed-layout files, so a value reads and writes the same everywhere.
namespace DbfCodec {

// Spaces and NULs only (NUL: some writers pad with it).
bool isBlank(QByteArrayView raw);
QByteArrayView trimmed(QByteArrayView raw);
bool isNull(char type, QByteArrayView raw);

// The one decoder of stored fields: the table's own reads and the SQL engine's
// scan both go through these, so a value reads the same either way.

QString text(QByteArrayView raw);                 // decoded, right-trimmed; a null QString when blank
// The same into a string whose buffer is reused; false (and into left as it was) when blank.
bool text(QByteArrayView raw, QString &into);
// The same as UTF-8: the stored bytes themselves when they are plain ASCII,
// else converted into scratch (reused between calls). False when blank.
bool utf8(QByteArrayView raw, std::string &scratch, std::string_view *out);

// A number field: blank, a whole number that fits 64 bits (no point, no
// exponent), another number (correctly rounded), or not a number at all.
struct Number
{
    enum Kind { Null, Int, Real, Bad } kind = Null;
    qint64 whole = 0;
    double real = 0;
    double value() const { return kind == Int ? double(whole) : real; }
};
Number number(QByteArrayView raw);
bool number(QByteArrayView raw, double *out);     // false when blank or not a number

// A date field as yyyymmdd; 0 when blank or all zeros; -1 when not a date.
int dateNumber(QByteArrayView raw);
QDate date(QByteArrayView raw);                   // invalid when blank or not a date
// Whether y-m-d is a day of the calendar (years 1 to 9999), and that day, by
// arithmetic: a scan does this for every date cell.
constexpr bool isDate(int y, int m, int d)
{
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return d <= days[m - 1] + (m == 2 && leap);
}
constexpr bool isDate(int yyyymmdd) { return isDate(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100); }
inline QDate date(int y, int m, int d)
{
    const int a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
    return QDate::fromJulianDay(d + (153 * mm + 2) / 5 + 365 * qint64(yy) + yy / 4 - yy / 100 + yy / 400 - 32045);
}
inline QDate date(int yyyymmdd) { return date(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100); }
// 1 true, 0 false, -1 blank or '?', -2 not a logical value.
int logical(QByteArrayView raw);

// How each field of a table is read, worked out once per table, so that a
// record read goes from each field straight to the reader for its type and
// width.
struct Step
{
    // Text16/Text32: a text field the record holds sixteen/thirty-two bytes
    // from the start of; Number16: a number field of up to sixteen bytes.
    enum Op : quint8 { Text16, Text32, Text, Number16, Date, Other, Ops };
    Op op = Other;
    char type = 'C';
    int field = 0;
    qsizetype at = 0; // of the field's value among a record's, in bytes
    int offset = 0;
    int length = 0;
    quint32 lanes = 0; // a bit for each of the first 32 bytes of the field
};
struct Plan
{
    std::vector<Step> fields; // one a field, in their order
    // The same grouped by reader, for a whole record: each group is one
    // loop that does one thing.
    std::vector<Step> groups[Step::Ops];
};
Plan plan(const QList<DbfField> &fields, int recordLength);

// A field of a record into a value kept by the caller; nothing is allocated
// unless a text is longer than any the value held before. The record lies in
// a table's bytes after its header: a reader may load up to 15 bytes before a
// field, and after it within the record, and leaves them out.
enum class Decoded { Ok, NotNumber, NotDate, NotLogical, Unsupported };
Decoded decode(const Step &field, const char *record, DbfValue &into);
// Every field of a record into values kept by the caller, one a field, in one
// call; the first field that cannot be read (and why in *why), or -1.
int decode(const char *record, const Plan &plan, DbfValue *into, Decoded *why);
// The same for the fields other than text only (text can always be read):
// whether a record can be read, at the cost of its few non-text fields.
int check(const char *record, const Plan &plan, DbfValue *into, Decoded *why);

// Why a field of this type cannot be read or written.
QString unsupported(char type, bool foxPro);

// Writes the f.length bytes that store v in field f to out, which callers keep
// apart from the record: a value the field cannot hold raises DbfError (with
// the reason only; the caller adds where) and may leave out half written.
void encode(const DbfField &f, const QVariant &v, char *out);

// Digits of a number for a field of the given width and decimals, right-aligned;
// empty when it does not fit. Rounds half away from zero as the number is written
// in decimal (2.675 gives 2.68).
QByteArray formatNumber(double value, int length, int decimals);

} // namespace DbfCodec
