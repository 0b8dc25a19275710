#pragma once

#include "xls/workbook/ExcelFile.h"

#include <QString>
#include <QVariant>

#include <memory>

class TExcelAdapter;

// The facade the application calls: forwards to the file object its adapter makes.
// Rows, columns and sheets are 1-based.
class TXlsImport
{
public:
    explicit TXlsImport(TExcelAdapter *adapter = nullptr);
    ~TXlsImport();

    TExcelAdapter *Adapter = nullptr;  // not owned

    // A failed open leaves the workbook that was open before untouched.
    void OpenFile(const QString &fileName);
    void CloseFile();
    bool IsFileOpen() const { return FFile != nullptr; }
    void Save(const QString &fileName);

    QVariant GetCellValue(int row, int col) const;
    void SetCellValue(int row, int col, const QVariant &value);
    // Values for cells of one row, columns ascending.
    void SetRowValues(int row, const TRowValues &values);
    int MaxRow() const;
    int MaxCol() const;
    int SheetCount() const;
    int ActiveSheet() const;
    void SetActiveSheet(int sheet);
    QString ActiveSheetName() const;
    void SetActiveSheetName(const QString &name);
    void InsertAndCopyRows(int firstRow, int lastRow, int destRow, int count);
    void InsertAndCopySheets(int copyFrom, int insertBefore, int count);
    void DeleteSheets(int count);

    // The file object, for callers that need more than the facade offers.
    TExcelFile &File() const;

private:
    std::unique_ptr<TExcelFile> FFile;
};
