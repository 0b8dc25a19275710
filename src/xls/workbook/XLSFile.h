#pragma once

#include "xls/workbook/ExcelFile.h"

#include <QByteArray>

#include <memory>

class TXLSAdapter;
class TXlsStorageList;
class TWorkbook;
class TWorkSheet;

// The file object over one TWorkbook: opens compound documents (or the
// adapter's in-memory templates), starts new files from the empty workbook,
// and saves as BIFF8 or delimited text. Rows, columns and sheets are 1-based.
class TXLSFile : public TExcelFile
{
public:
    TXLSFile(TXLSAdapter *adapter, bool allowOverwritingFiles);
    ~TXLSFile() override;

    void Connect() override;
    void Disconnect() override;

    void OpenFile(const QString &fileName) override;
    void OpenStream(QIODevice &stream) override;
    void NewFile(int sheetCount) override;
    void CloseFile() override;

    void InsertAndCopySheets(int copyFrom, int insertBefore, int count) override;
    void DeleteSheets(int count) override;
    int SheetCount() const override;
    void SelectSheet(int sheet) override;
    int GetActiveSheet() const override { return FActiveSheet; }
    void SetActiveSheet(int sheet) override { FActiveSheet = sheet; }
    QString GetActiveSheetName() const override;
    void SetActiveSheetName(const QString &name) override;
    QString GetActiveSheetCodeName() const override;
    void SetActiveSheetCodeName(const QString &name) override;
    TXlsSheetVisible GetActiveSheetVisible() const override;
    void SetActiveSheetVisible(TXlsSheetVisible value) override;

    // Refuses an existing target when overwriting is off, before writing a
    // byte; each file is written under a temporary name and renamed when whole.
    void Save(const QString &fileName, const TGetFileNameEvent &onGetFileName = {},
              const TOnSaveFormatEvent &onSaveFormat = {}) override;
    void Save(QIODevice &stream) override;

    void InsertAndCopyRows(int firstRow, int lastRow, int destRow, int count,
                           bool onlyFormulas) override;
    void InsertAndCopyCols(int firstCol, int lastCol, int destCol, int count,
                           bool onlyFormulas) override;
    void DeleteRows(int row, int count) override;
    void DeleteCols(int col, int count) override;

    QVariant GetCellValue(int row, int col) const override;
    void SetCellValue(int row, int col, const QVariant &value) override;
    int MaxRow() const override;
    int MaxCol() const override;

    TWorkbook &Workbook() const;

private:
    void Open(const QString &fileName, QIODevice *stream, const QByteArray *bytes);
    TWorkSheet *ActiveWorkSheet() const;
    // The active sheet, 0-based; raises when the stored index names no sheet.
    int ActiveIndex() const;
    TXlsSaveFormats Formats() const;
    QByteArray FormatBytes(TXlsSaveFormat format);
    static void WriteFile(const QString &fileName, const QByteArray &bytes);

    TXLSAdapter *FAdapter;
    int FActiveSheet = 1;
    std::unique_ptr<TWorkbook> FWorkbook;
    const TXlsStorageList *FStorageInUse = nullptr;
    std::unique_ptr<TXlsStorageList> FOwnStorage;
    bool FAllowOverwritingFiles;
};
