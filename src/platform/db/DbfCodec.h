#pragma once

#include "platform/db/Dbf.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QVariant>

namespace detail {

// Field bytes to values and back. Numbers and dates are ASCII, text is CP1250.
namespace DbfCodec {

// Spaces and NULs only (NUL: some writers pad with it).
bool isBlank(QByteArrayView raw);
QByteArrayView trimmed(QByteArrayView raw);
bool isNull(char type, QByteArrayView raw);

QString text(QByteArrayView raw);                 // decoded, right-trimmed; a null QString when blank
bool number(QByteArrayView raw, double *out);     // false when blank or not a number
bool trimmedNumber(QByteArrayView trimmed, double *out); // the same on trimmed, non-empty bytes
QDate date(QByteArrayView raw);                   // invalid when blank or not a date
// 1 true, 0 false, -1 blank or '?', -2 not a logical value.
int logical(QByteArrayView raw);

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

} // namespace detail
