#pragma once

#include "xls/records/BaseRecord.h"

#include <QString>

// BOF (0x0809): starts a substream.
//   0  u16  version, 0x0600 for BIFF8 (anything else is refused)
//   2  u16  substream type
class TBOFRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0809;
    static constexpr int TypeWorkbookGlobals = 0x0005;
    static constexpr int TypeWorksheet = 0x0010;
    static constexpr int TypeChart = 0x0020;
    static constexpr int TypeMacroSheet = 0x0040;
    TBOFRecord(quint16 id, QByteArray data);
    int BofType() const;
};

// EOF (0x000A): ends a substream.
class TEOFRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x000A;
    using TBaseRecord::TBaseRecord;
};

// OBJ (0x005D): a drawing object, its sub-records as read.
//   0  u16  kind of the first sub-record (0x0015 common object data)
//   4  u16  object type, when the first sub-record is common object data
class TObjRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x005D;
    TObjRecord(quint16 id, QByteArray data);
    int ObjKind() const { return FObjKind; }
    int ObjType() const { return FObjType; }

private:
    int FObjKind = 0;
    int FObjType = 0;
};

// TXO (0x01B6): the text object of a comment or a text box; stored as read.
//   0  u16  options
class TTXORecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x01B6;
    using TBaseRecord::TBaseRecord;
    // 18 zero bytes with options 0x0212.
    static std::unique_ptr<TTXORecord> NewTXO();
};

// SST (0x00FC): the shared strings; the table reads them across CONTINUE.
//   0  u32  total references    4  u32  unique strings
class TSSTRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x00FC;
    TSSTRecord(quint16 id, QByteArray data);
    quint32 UniqueCount() const;
};

// BOUNDSHEET (0x0085): one sheet entry of the workbook.
//   0  u32  stream position of the sheet's BOF
//   4  u16  options: bits 0-1 visibility (0 visible, 1 hidden, 2 very hidden),
//           high byte the sheet type
//   6  ...  name, BIFF8 string with a 1-byte length
class TBoundSheetRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0085;
    TBoundSheetRecord(quint16 id, QByteArray data);
    static std::unique_ptr<TBoundSheetRecord> NewBoundSheet(int options, const QString &sheetName);

    QString SheetName() const;
    // Rebuilds the data to the new name's size.
    void SetSheetName(const QString &name);
    int Options() const;
    void SetOptions(int options);
    quint32 StreamPosition() const;
    void SetStreamPosition(quint32 position);
};

// CODENAME (0x01BA):
//   0  ...  the code name, BIFF8 string with a 2-byte length
class TCodeNameRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x01BA;
    TCodeNameRecord(quint16 id, QByteArray data);
    static std::unique_ptr<TCodeNameRecord> NewCodeName(const QString &name);
    QString CodeName() const;
};

// OBPROJ (0x00D3): its presence says the workbook has a macro project.
class TObProjRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x00D3;
    using TBaseRecord::TBaseRecord;
};

// Records that carry cell ranges; stored as read.
class TRangeRecord : public TBaseRecord
{
public:
    using TBaseRecord::TBaseRecord;
};

// MERGEDCELLS (0x00E5): the merged ranges.
class TCellMergingRecord : public TRangeRecord
{
public:
    static constexpr quint16 Id = 0x00E5;
    using TRangeRecord::TRangeRecord;
};

// DVAL (0x01B2): the data-validation header.
class TDValRecord : public TRangeRecord
{
public:
    static constexpr quint16 Id = 0x01B2;
    using TRangeRecord::TRangeRecord;
};

// GUTS (0x0080): outline gutters.
//   0  u16  row gutter size      2  u16  column gutter size
//   4  u16  row outline levels   6  u16  column outline levels
class TGutsRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0080;
    TGutsRecord(quint16 id, QByteArray data);
    std::unique_ptr<TBaseRecord> Clone() const override;

    void SetRowLevel(int level);
    void SetColumnLevel(int level);
    int RowGutter() const;
    int RowLevels() const;
    int ColumnGutter() const;
    int ColumnLevels() const;

    // Kept for the sheet model: 0 after loading, copied by Clone.
    quint8 Flag = 0;

private:
    void SetLevel(int sizeOffset, int countOffset, int level);
};

// PANE (0x0041):
//   0  u16  horizontal split     2  u16  vertical split
//   4  u16  first row of the lower pane
//   6  u16  first column of the right pane
//   8  u16  active pane (0 lower right, 1 upper right, 2 lower left, 3 upper left)
class TPaneRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0041;
    TPaneRecord(quint16 id, QByteArray data);
    int HorizontalSplit() const;
    void SetHorizontalSplit(int value);
    int VerticalSplit() const;
    void SetVerticalSplit(int value);
    int FirstVisibleRow() const;
    void SetFirstVisibleRow(int value);
    int FirstVisibleColumn() const;
    void SetFirstVisibleColumn(int value);
    int ActivePane() const;
    void SetActivePane(int value);
    // Makes the active pane one that exists for the current splits.
    void FixActivePane();
};
