#pragma once

#include "xls/records/BaseRecordList.h"
#include "xls/workbook/XlsCellRange.h"

#include <QByteArray>

#include <memory>

class ByteCursor;

// Record ids the workbook model looks at, and the one way it rewrites a
// record's bytes: a fresh record of the same class in the same list slot.
namespace XlsIds {
constexpr quint16 Formula = 0x0006, Eof = 0x000A, ExternSheet = 0x0017, Name = 0x0018,
                  Window1 = 0x003D, BoundSheet = 0x0085, MulRK = 0x00BD, MulBlank = 0x00BE,
                  ObProj = 0x00D3, RString = 0x00D6, SST = 0x00FC, ExtSST = 0x00FF, LabelSST = 0x00FD,
                  SupBook = 0x01AE, CodeName = 0x01BA, Dimensions = 0x0200, Blank = 0x0201,
                  Number = 0x0203, Label = 0x0204, BoolErr = 0x0205, String = 0x0207,
                  Row = 0x0208, Window2 = 0x023E, RK = 0x027E, ShrFmla = 0x04BC, Bof = 0x0809;
constexpr quint16 BofGlobals = 0x0005, BofWorksheet = 0x0010, BofChart = 0x0020;
}  // namespace XlsIds

namespace XlsDetail {

[[noreturn]] void RaiseFileInvalid();

// The record as its class, or the engine's invalid-file error when the
// factory made another class for its id.
template <class T>
std::unique_ptr<T> Downcast(std::unique_ptr<TBaseRecord> record)
{
    T *typed = dynamic_cast<T *>(record.get());
    if (!typed)
        RaiseFileInvalid();
    record.release();
    return std::unique_ptr<T>(typed);
}

// The next record inside a substream; a stream that ends before the
// substream's EOF is an invalid file.
std::unique_ptr<TBaseRecord> ReadSubstreamRecord(ByteCursor &stream);

// Puts a new record with the same id and the given data at index.
void ReplaceData(TBaseRecordList &list, int index, QByteArray data);
// A record of that id holding data, cut into CONTINUE records where it is
// longer than one record holds.
std::unique_ptr<TBaseRecord> RecordWithContinues(quint16 id, const QByteArray &data);

// A 0-based cell range as records hold it: first row, last row, first
// column, last column, u16 each, at offset.
void WriteRange(QByteArray &data, int offset, const TXlsCellRange &range);

// Index of the first record with this id at or after from; -1 when none.
int FindRecord(const TBaseRecordList &list, quint16 id, int from = 0);

// The first record with T's id as its class; null when there is none.
template <class T>
T *FindRecordOf(const TBaseRecordList &list)
{
    const int i = FindRecord(list, T::Id);
    return i >= 0 ? dynamic_cast<T *>(list.Items(i)) : nullptr;
}

}  // namespace XlsDetail
