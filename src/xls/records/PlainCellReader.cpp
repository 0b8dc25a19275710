#include "xls/records/PlainCellReader.h"

#include "xls/records/RecordFactory.h"
#include "xls/records/SheetRecords.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ByteUtils.h"

#include <cstring>

namespace {

constexpr int MaxColumn = 255;

using TMakeCell = std::unique_ptr<TCellRecord> (*)(QByteArrayView data);

template <class T>
std::unique_ptr<TCellRecord> MakeCell(QByteArrayView data)
{
    // The record copies the bytes: the view is into the stream being read.
    return std::make_unique<T>(T::Id, data);
}

enum class TKind : quint8 { Cell, Run, Row };

// A cell or a row: the least data its class takes. A run: the bytes per cell
// in the run (XF, and an RK value in a MULRK), and the class of its cells
// (their data: row, column, then the run's item for the cell).
struct TPlainId
{
    quint16 Id;
    TKind Kind;
    int Size;
    TMakeCell Make;
};

// The commonest first: the table is searched for every record of a sheet.
constexpr TPlainId PlainIds[TPlainCellReader::IdCount] = {
    {TLabelSSTRecord::Id, TKind::Cell, TLabelSSTRecord::MinSize, MakeCell<TLabelSSTRecord>},
    {TMulRKRecord::Id, TKind::Run, 6, MakeCell<TRKRecord>},
    {TRKRecord::Id, TKind::Cell, TRKRecord::MinSize, MakeCell<TRKRecord>},
    {TNumberRecord::Id, TKind::Cell, TNumberRecord::MinSize, MakeCell<TNumberRecord>},
    {TRowRecord::Id, TKind::Row, TRowRecord::MinSize, nullptr},
    {TBlankRecord::Id, TKind::Cell, TBlankRecord::MinSize, MakeCell<TBlankRecord>},
    {TMulBlankRecord::Id, TKind::Run, 2, MakeCell<TBlankRecord>},
    {TBoolErrRecord::Id, TKind::Cell, TBoolErrRecord::MinSize, MakeCell<TBoolErrRecord>},
};

// The entry of PlainIds for the id, -1 for none.
constexpr int IndexOf(quint16 id)
{
    switch (id) {
    case TLabelSSTRecord::Id: return 0;
    case TMulRKRecord::Id: return 1;
    case TRKRecord::Id: return 2;
    case TNumberRecord::Id: return 3;
    case TRowRecord::Id: return 4;
    case TBlankRecord::Id: return 5;
    case TMulBlankRecord::Id: return 6;
    case TBoolErrRecord::Id: return 7;
    default: return -1;
    }
}

constexpr bool IndexesMatch()
{
    for (int i = 0; i < TPlainCellReader::IdCount; ++i)
        if (IndexOf(PlainIds[i].Id) != i)
            return false;
    return true;
}
static_assert(IndexesMatch(), "IndexOf gives each id its entry of PlainIds");

bool ReadSingle(const TPlainId &plain, QByteArrayView data, TCellRecordVector &cells)
{
    if (data.size() < plain.Size || ReadWord(data, 2) > MaxColumn)
        return false;
    cells.push_back(plain.Make(data));
    return true;
}

// As TMultipleCellRecord checks a run and splits it.
bool ReadRun(const TPlainId &plain, QByteArrayView data, TCellRecordVector &cells)
{
    const int size = int(data.size());
    const int item = plain.Size;
    if (size < 6 + item || (size - 6) % item != 0)
        return false;
    const int first = ReadWord(data, 2);
    const int count = (size - 6) / item;
    const int last = ReadWord(data, size - 2);
    if (last != first + count - 1 || last > MaxColumn)
        return false;
    char cell[4 + 6];
    std::memcpy(cell, data.data(), 2);
    for (int i = 0; i < count; ++i) {
        const int column = first + i;
        cell[2] = char(column & 0xFF);
        cell[3] = char(column >> 8);
        // Fixed sizes, copied in place rather than by a call.
        if (item == 6)
            std::memcpy(cell + 4, data.data() + 4 + i * 6, 6);
        else
            std::memcpy(cell + 4, data.data() + 4 + i * item, 2);
        cells.push_back(plain.Make(QByteArrayView(cell, 4 + item)));
    }
    return true;
}

// What the general reader takes as it is, the stream's header and data
// read: true when the record is read.
bool ReadPlain(const TPlainId &plain, QByteArrayView data, TCellRecordVector &cells,
               std::unique_ptr<TRowRecord> &row)
{
    switch (plain.Kind) {
    case TKind::Cell:
        return ReadSingle(plain, data, cells);
    case TKind::Run:
        return ReadRun(plain, data, cells);
    case TKind::Row:
        if (data.size() < plain.Size)
            return false;
        row = std::make_unique<TRowRecord>(TRowRecord::Id, data);
        return true;
    }
    return false;
}

}  // namespace

TPlainCellReader::TPlainCellReader()
{
    for (int i = 0; i < IdCount; ++i)
        FRegistered[i] = IsRecordClassRegistered(PlainIds[i].Id);
}

bool TPlainCellReader::Read(ByteCursor &stream, TCellRecordVector &cells, std::unique_ptr<TRowRecord> &row) const
{
    if (stream.remaining() < 4)
        return false;
    const qsizetype start = stream.pos();
    const quint32 header = stream.u32();
    const int index = IndexOf(quint16(header & 0xFFFF));
    const qsizetype size = qsizetype(header >> 16);
    // The data and the next record's id in one view (a cell is never the
    // last record of a sheet): a record that belongs to this one would make
    // it another reader's.
    if (index < 0 || FRegistered[index] || stream.remaining() < size + 2) {
        stream.seek(start);
        return false;
    }
    const QByteArrayView bytes = stream.bytes(size + 2);
    const TPlainId &plain = PlainIds[index];
    const size_t before = cells.size();
    const QByteArrayView data = bytes.first(size);
    if (JoinsRecordBefore(ReadWord(bytes, size)) || !ReadPlain(plain, data, cells, row)) {
        cells.erase(cells.begin() + qsizetype(before), cells.end());
        stream.seek(start);
        return false;
    }
    stream.seek(start + 4 + size);
    stream.setMark(start);
    return true;
}
