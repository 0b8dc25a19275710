#pragma once

#include "xls/records/RowColRecord.h"

#include <QString>

// EXTERNSHEET (0x0017): the table that 3-D references index.
//   0  u16  count
//   2  ...  per entry: SUPBOOK index u16, first sheet u16, last sheet u16
// Long tables go on in CONTINUE records; the entries are read across them.
class TExternSheetRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0017;
    TExternSheetRecord(quint16 id, QByteArray data);
    // Checks the entries against the data, continue chain included.
    void CheckEntries() const;

    int Count() const;
    int SupBook(int index) const;
    int FirstSheet(int index) const;
    int LastSheet(int index) const;
    void SetSheets(int index, int firstSheet, int lastSheet);
    // Appends an entry, rebuilding the record; returns its index.
    int AddRef(int supBook, int firstSheet, int lastSheet);
    static std::unique_ptr<TExternSheetRecord> NewExternSheet();
};

// SUPBOOK (0x01AE): a workbook that references point into.
//   0  u16  sheet count
//   2  u16  0x0401 for this workbook, 0x3A01 for add-in functions, else
//           the start of the external workbook's name
class TSupBookRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x01AE;
    TSupBookRecord(quint16 id, QByteArray data);
    static std::unique_ptr<TSupBookRecord> NewSelfRef(int sheetCount);
    int SheetCount() const;
    void SetSheetCount(int count);
    bool IsSelfReference() const;
    bool IsAddIn() const;
};

// EXTERNNAME (0x0023, 0x0223): a name of another workbook or an add-in.
//   0  u16  options    2  u16  sheet index    4  u16  reserved
//   6  ...  the name, BIFF8 string with a 1-byte length; then its tokens
class TExternNameRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0023;
    static constexpr quint16 OldId = 0x0223;
    TExternNameRecord(quint16 id, QByteArray data);
    QString Name() const;
};

// NOTE (0x001C): the comment of a cell.
//   0  u16  row    2  u16  column    4  u16  options    6  u16  object id
//   8  ...  author, BIFF8 string with a 2-byte length
class TNoteRecord : public TBaseRowColRecord
{
public:
    static constexpr quint16 Id = 0x001C;
    TNoteRecord(quint16 id, QByteArray data);
    int ObjId() const;
    void SetObjId(int objId);
};

// HLINKTOOLTIP (0x0800): the screen tip of a hyperlink.
//   0  u16  0x0800 again    2  u16  reserved
//   4  u16  first row    6  u16  last row    8  u16  first column   10  u16  last column
//  12  ...  the tip text, null-terminated 16-bit characters
class TScreenTipRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0800;
    TScreenTipRecord(quint16 id, QByteArray data);
    void ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount = 0,
                        int colPos = 0) override;
    void OffsetForCopy(int rowOffset, int colOffset) override;
};

// HLINK (0x01B8): a hyperlink over a cell range; owns the screen tip that
// follows it in the file and writes it after itself.
//   0  u16  first row    2  u16  last row    4  u16  first column    6  u16  last column
//   8  ...  the link data, stored as read
class THLinkRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x01B8;
    THLinkRecord(quint16 id, QByteArray data);
    ~THLinkRecord() override;

    int FirstRow() const;
    int LastRow() const;
    int FirstColumn() const;
    int LastColumn() const;

    TScreenTipRecord *ScreenTip() const { return FScreenTip.get(); }
    // The hyperlink takes ownership of the tip (and frees the previous one).
    void AddScreenTip(std::unique_ptr<TScreenTipRecord> tip);

    std::unique_ptr<TBaseRecord> Clone() const override;
    void SaveTo(TGatheringDevice &out) const override;
    qint64 TotalSize() const override;
    qint64 TotalDataSize() const override;
    void ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount = 0,
                        int colPos = 0) override;
    void OffsetForCopy(int rowOffset, int colOffset) override;
    bool AttachFollowing(std::unique_ptr<TBaseRecord> &next) override;

private:
    std::unique_ptr<TScreenTipRecord> FScreenTip;
};

// VERTICALPAGEBREAKS (0x001A), HORIZONTALPAGEBREAKS (0x001B):
//   0  u16  count
//   2  ...  per break: position u16, first u16, last u16
class TPageBreakRecord : public TBaseRecord
{
public:
    TPageBreakRecord(quint16 id, QByteArray data);
    int Count() const;
    int Position(int index) const;
};

class TVPageBreakRecord : public TPageBreakRecord
{
public:
    static constexpr quint16 Id = 0x001A;
    using TPageBreakRecord::TPageBreakRecord;
};

class THPageBreakRecord : public TPageBreakRecord
{
public:
    static constexpr quint16 Id = 0x001B;
    using TPageBreakRecord::TPageBreakRecord;
};

// Moves a cell range (first row, last row, first column, last column, u16
// each, at offset) like a cell: each bound at or after the insertion moves.
// Negative counts delete: the range shrinks by the deleted rows it covers; one
// lying wholly on them is for the caller to remove first.
// Checked first, then written; a result off the sheet raises.
void ShiftRangeForInsert(QByteArray &data, int offset, int rowPos, int rowCount, int colPos, int colCount);
void OffsetRangeForCopy(QByteArray &data, int offset, int rowOffset, int colOffset);
