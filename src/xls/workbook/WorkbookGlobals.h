#pragma once

#include "xls/formula/NameRecordList.h"
#include "xls/records/BaseRecordList.h"
#include "xls/records/BoundSheetRecordList.h"
#include "xls/workbook/ExcelFile.h"
#include "xls/workbook/SST.h"

#include <QString>
#include <QStringList>

#include <memory>

class ByteCursor;
class TWindow1Record;
struct TSheetInfo;

// The workbook-globals substream: fonts, formats, names and every other
// record kept as read, plus the parts the workbook changes: the sheet entries
// (BOUNDSHEET), the window settings (WINDOW1) and the shared-string table.
class TWorkbookGlobals
{
public:
    TWorkbookGlobals();
    ~TWorkbookGlobals();
    TWorkbookGlobals(const TWorkbookGlobals &) = delete;
    TWorkbookGlobals &operator=(const TWorkbookGlobals &) = delete;

    void Clear();
    void LoadFromStream(ByteCursor &stream, std::unique_ptr<TBaseRecord> bof);
    void SaveToStream(QIODevice &stream) const;
    qint64 TotalSize() const;

    // Every record of the globals in file order (fonts, formats, palette...).
    TBaseRecordList &Records() { return FRecords; }
    const TBaseRecordList &Records() const { return FRecords; }

    TSST &SST() { return FSST; }
    const TSST &SST() const { return FSST; }
    // Writes the table as it is now (after unused entries were dropped).
    void SetSSTReferences(quint32 totalRefs);

    int SheetCount() const { return FBoundSheets.Count(); }
    QString SheetName(int sheet) const;
    void SetSheetName(int sheet, const QString &name);
    TXlsSheetVisible SheetVisible(int sheet) const;
    void SetSheetVisible(int sheet, TXlsSheetVisible visible);
    void SetStreamPosition(int sheet, quint32 position);
    // Case-insensitive; -1 when absent.
    int SheetIndex(const QString &name) const;

    int ActiveSheet() const;
    // Active tab i, first visible tab 0, one selected tab.
    void SetActiveSheet(int sheet);
    void SetFirstVisibleTab(int sheet);
    int FirstVisibleTab() const;

    bool HasCodeNames() const;
    QString CodeName() const;
    bool HasMacros() const;

    // New entries named "SheetN" (the first free N) at insertBefore, with
    // copyFrom's options when copyFrom >= 0; names and extern sheets move,
    // and a copied sheet gets copies of its names.
    void InsertSheets(int copyFrom, int insertBefore, int count);
    void DeleteSheets(int first, int count);

    TNameRecordList &Names() { return FNames; }
    const TNameRecordList &Names() const { return FNames; }
    // Shifts the names for rows or columns inserted in a sheet.
    void ShiftNames(int rowPos, int rowCount, const TSheetInfo &info, int colCount, int colPos);

    // The extern-sheet table: (SUPBOOK index, first sheet, last sheet) per
    // entry; the SUPBOOK index of this workbook's own sheets (-1 when none).
    struct TExternSheet
    {
        int SupBook, FirstSheet, LastSheet;
    };
    QList<TExternSheet> ExternSheets() const;
    int InternalSupBook() const;
    // The EXTERNNAME records after a SUPBOOK (0-based), in file order.
    QStringList ExternNames(int supBook) const;
    // Adds an entry for this workbook's sheets, with the records it needs.
    int AddExternSheet(int firstSheet, int lastSheet);

    // Raises for a name that cannot be a sheet name or that another sheet has.
    static void CheckSheetName(const QString &name);

private:
    void MoveExternSheets(int first, int delta, int deletedCount);
    void UpdateSupBookCount();
    int ExternSheetRecord() const;
    int RecordBeforeNames() const;
    QString NewSheetName() const;
    TWindow1Record *Window1() const;

    TBaseRecordList FRecords;      // everything, with placeholders for the two lists
    TBoundSheetRecordList FBoundSheets;  // one BOUNDSHEET per sheet, in order
    TBaseRecordList FSSTRecord;    // the SST record built for the next save
    TNameRecordList FNames;        // the defined names, in file order
    TSST FSST;
    bool FHasSST = false;
};
