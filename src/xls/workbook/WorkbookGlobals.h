#pragma once

#include "xls/records/BaseRecordList.h"
#include "xls/workbook/ExcelFile.h"
#include "xls/workbook/SST.h"

#include <QString>
#include <QStringList>

#include <memory>

class ByteCursor;

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
    // copyFrom's options when copyFrom >= 0; names and extern sheets move.
    void InsertSheets(int copyFrom, int insertBefore, int count);
    void DeleteSheets(int first, int count);

    // Raises for a name that cannot be a sheet name or that another sheet has.
    static void CheckSheetName(const QString &name);

private:
    void MoveSheetReferences(int first, int delta, int deletedCount);
    QString NewSheetName() const;
    int Window1() const;

    TBaseRecordList FRecords;      // everything, with placeholders for the two lists
    TBaseRecordList FBoundSheets;  // one BOUNDSHEET per sheet, in order
    TBaseRecordList FSSTRecord;    // the SST record built for the next save
    TSST FSST;
    bool FHasSST = false;
};
