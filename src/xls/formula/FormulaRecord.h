#pragma once

#include "xls/formula/ArrayRecord.h"
#include "xls/formula/TableRecord.h"
#include "xls/records/RowColRecord.h"

#include <QVariant>

class TFormulaNames;
class TFormulaReferences;
class TShrFmlaRecord;

// FORMULA (0x0006): a cell with a formula and its last result.
//   0  u16  row
//   2  u16  column
//   4  u16  XF
//   6  8    cached result: a double, unless the u16 at 12 is 0xFFFF; then
//           byte 6 is the kind (0 text in the STRING record that follows,
//           1 boolean in byte 8, 2 error code in byte 8, 3 empty text)
//  14  u16  options; 0x0002 calculate on open
//  16  u32  reserved
//  20  u16  token bytes
//  22  ...  tokens, then array constants
// The engine never evaluates formulas: a loaded formula keeps its result in
// Value and is saved with an error placeholder and calculate-on-open, so the
// spreadsheet application recalculates it.
class TFormulaRecord : public TCellRecord
{
public:
    static constexpr quint16 Id = 0x0006;
    // The id of the same record in older versions; some writers still put it
    // in BIFF8 sheets. Read as a formula and written back with Id.
    static constexpr quint16 OldId = 0x0406;
    static constexpr int TokenOffset = 22;

    TFormulaRecord(quint16 id, QByteArray data);
    ~TFormulaRecord() override;

    QVariant Value() const { return FValue; }
    QVariant GetValue() const override { return FValue; }
    void SetFormulaValue(const QVariant &value) { FValue = value; }

    TTableRecord *TableRecord() const { return FTableRecord.get(); }
    TArrayRecord *ArrayRecord() const { return FArrayRecord.get(); }
    // Setting a new one frees the previous one.
    void SetTableRecord(std::unique_ptr<TTableRecord> table);
    void SetArrayRecord(std::unique_ptr<TArrayRecord> array);

    int TokenBytes() const;
    // The formula as text, "=" first.
    QString FormulaText(const TFormulaNames *names, const TFormulaReferences *references) const;

    // True when the formula is only a reference to a shared or array formula
    // (token 0x01); key = its row + column * 65536.
    bool IsSharedFormulaReference(quint32 &key) const;
    // Takes the shared formula's tokens, made absolute for this cell. Returns
    // the change of TotalSize, for the row list's total.
    qint64 ExpandSharedFormula(const TShrFmlaRecord &shared);

    std::unique_ptr<TBaseRecord> Clone() const override;
    // The ARRAY or TABLE record follows the formula.
    void SaveTo(TGatheringDevice &out) const override;
    qint64 TotalSize() const override;
    qint64 TotalDataSize() const override;
    void ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount = 0,
                        int colPos = 0) override;
    void OffsetForCopy(int rowOffset, int colOffset) override;
    bool AttachFollowing(std::unique_ptr<TBaseRecord> &next) override;
    bool AllowsStringAfter() const override { return true; }

private:
    // Takes the data as it is, result and options included: for copies.
    struct NewTag {};
    TFormulaRecord(quint16 id, QByteArray data, NewTag);
    void ReadCachedValue();
    void SetPlaceholderResult();
    qsizetype TokenEnd() const;

    QVariant FValue;
    std::unique_ptr<TTableRecord> FTableRecord;
    std::unique_ptr<TArrayRecord> FArrayRecord;
};
