#include "xls/formula/TableRecord.h"

#include "xls/storage/ByteUtils.h"

TTableRecord::TTableRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(16);
}

std::unique_ptr<TBaseRecord> TTableRecord::Clone() const
{
    auto copy = std::make_unique<TTableRecord>(RecordId(), Data());
    CopyContinueChainTo(*copy);
    return copy;
}

void TTableRecord::Shift(int rowPos, int rowCount, int colPos, int colCount, bool positionTest)
{
    // Work on a copy: a range end that cannot move leaves everything as it was.
    QByteArray d = Data();
    for (int at : {0, 2}) {
        const int row = ReadWord(d, at);
        if ((!positionTest || row >= rowPos) && row < 0xFFFF)
            AddToWord(d, at, rowCount, 0xFFFF);
    }
    for (int at : {4, 5}) {
        const int col = quint8(d[at]);
        if ((!positionTest || col >= colPos) && col < 0xFF)
            AddToByte(d, at, colCount, 0xFF);
    }
    for (int at : {8, 12}) {
        int row = ReadWord(d, at);
        int col = ReadWord(d, at + 2);
        if ((!positionTest || row >= rowPos) && row < 0xFFFF)
            row += rowCount;
        if ((!positionTest || col >= colPos) && col < 0xFF)
            col += colCount;
        if (row < 0 || row > 0xFFFF || col < 0 || col > 0xFF) {
            row = 0xFFFF;
            col = 0xFFFF;
        }
        WriteWord(d, at, quint16(row));
        WriteWord(d, at + 2, quint16(col));
    }
    MutableData() = d;
}
