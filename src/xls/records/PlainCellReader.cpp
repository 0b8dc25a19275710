#include "xls/records/PlainCellReader.h"

#include "xls/records/RecordFactory.h"
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

// A single cell: the least data its class takes. A run: the bytes per cell
// in the run (XF, and an RK value in a MULRK), and the class of its cells
// (their data: row, column, then the run's item for the cell).
struct TPlainId
{
    quint16 Id;
    bool IsRun;
    int Size;
    TMakeCell Make;
};

// The commonest first: the table is searched for every record of a sheet.
constexpr TPlainId PlainIds[TPlainCellReader::IdCount] = {
    {TLabelSSTRecord::Id, false, TLabelSSTRecord::MinSize, MakeCell<TLabelSSTRecord>},
    {TMulRKRecord::Id, true, 6, MakeCell<TRKRecord>},
    {TRKRecord::Id, false, TRKRecord::MinSize, MakeCell<TRKRecord>},
    {TNumberRecord::Id, false, TNumberRecord::MinSize, MakeCell<TNumberRecord>},
    {TBlankRecord::Id, false, TBlankRecord::MinSize, MakeCell<TBlankRecord>},
    {TMulBlankRecord::Id, true, 2, MakeCell<TBlankRecord>},
    {TBoolErrRecord::Id, false, TBoolErrRecord::MinSize, MakeCell<TBoolErrRecord>},
};

int IndexOf(quint16 id)
{
    for (int i = 0; i < TPlainCellReader::IdCount; ++i)
        if (PlainIds[i].Id == id)
            return i;
    return -1;
}

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
        std::memcpy(cell + 4, data.data() + 4 + i * item, size_t(item));
        cells.push_back(plain.Make(QByteArrayView(cell, 4 + item)));
    }
    return true;
}

// Whether the next record belongs to the one just read; the stream stays put.
bool FollowerComes(ByteCursor &stream)
{
    if (stream.remaining() < 4)
        return false;
    const qsizetype at = stream.pos();
    const quint16 next = stream.u16();
    stream.seek(at);
    return JoinsRecordBefore(next);
}

}  // namespace

TPlainCellReader::TPlainCellReader()
{
    for (int i = 0; i < IdCount; ++i)
        FRegistered[i] = IsRecordClassRegistered(PlainIds[i].Id);
}

bool TPlainCellReader::Read(ByteCursor &stream, TCellRecordVector &cells) const
{
    if (stream.remaining() < 4)
        return false;
    const qsizetype start = stream.pos();
    const quint32 header = stream.u32();
    const int index = IndexOf(quint16(header & 0xFFFF));
    const qsizetype size = qsizetype(header >> 16);
    if (index < 0 || FRegistered[index] || stream.remaining() < size) {
        stream.seek(start);
        return false;
    }
    const TPlainId &plain = PlainIds[index];
    const size_t before = cells.size();
    // The cells are made before the next header is looked at: the view
    // holds only until the stream reads on.
    const QByteArrayView data = stream.bytes(size);
    const bool read = plain.IsRun ? ReadRun(plain, data, cells) : ReadSingle(plain, data, cells);
    if (!read || FollowerComes(stream)) {
        cells.erase(cells.begin() + qsizetype(before), cells.end());
        stream.seek(start);
        return false;
    }
    stream.setMark(start);
    return true;
}
