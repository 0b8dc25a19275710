#pragma once

#include "xls/records/BaseRecord.h"

#include <QString>

class ByteCursor;

// Makes the record object for an id: the classes of this library, plus the
// classes other libraries register (formula records). Clone goes through the
// same table, so a class registered here is also what its clones become.
using TRecordConstructor = std::unique_ptr<TBaseRecord> (*)(quint16 id, QByteArray data);

template <class T>
std::unique_ptr<TBaseRecord> ConstructRecord(quint16 id, QByteArray data)
{
    return std::make_unique<T>(id, std::move(data));
}

// Registers (or replaces) the class made for an id. Call before loading.
void RegisterRecordClass(quint16 id, TRecordConstructor constructor);
// Whether a class is registered for the id.
bool IsRecordClassRegistered(quint16 id);
// Whether a record of this id, coming next, is read together with the one
// before it (CONTINUE, TABLE, ARRAY, screen tip) or is refused after any but
// a formula (STRING): ReadBiffRecord does not stop before it.
bool JoinsRecordBefore(quint16 id);
// The record of the class for the id; unknown ids give a plain TBaseRecord.
// FILEPASS raises "File is password protected".
std::unique_ptr<TBaseRecord> CreateRecord(quint16 id, QByteArray data);

// Reads a 4-byte record header (id in the low word, size in the high word).
// Returns false when fewer than 4 bytes are left.
bool ReadRecordHeader(ByteCursor &stream, quint32 &header);

// Reads the record whose header the caller has just read, with its CONTINUE
// chain and any TABLE, ARRAY or screen-tip record that belongs to it. The
// stream is left at the header of the next record not consumed; its mark at
// the header of the record read.
std::unique_ptr<TBaseRecord> ReadBiffRecord(ByteCursor &stream, quint32 header);

// Copies count bytes of a record's data from pos into dest (or skips them when
// dest is null), moving on along the continue chain. record and pos are left
// after the last byte read. Running out raises "Error reading record".
void ReadAcrossContinue(const TBaseRecord *&record, int &pos, int count, char *dest);

// Reads charCount characters of a BIFF8 string that may be split over CONTINUE
// records. Bit 0 of optionFlags says whether the characters are 2 bytes wide;
// each continue record starts with a fresh option byte for the rest. On
// return bit 0 is set when any part was wide.
QString ReadStringAcrossContinue(const TBaseRecord *&record, int &pos, int charCount, quint8 &optionFlags);
