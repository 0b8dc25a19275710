#include "xls/workbook/XlsImport.h"

#include "xls/workbook/ExcelAdapter.h"
#include "xls/workbook/XlsWorkbookMessages.h"

TXlsImport::TXlsImport(TExcelAdapter *adapter) : Adapter(adapter) {}

TXlsImport::~TXlsImport()
{
    CloseFile();
}

void TXlsImport::OpenFile(const QString &fileName)
{
    if (!Adapter)
        XlsRaise(XlsMsg::NoAdapter);
    // Open into a new object and swap only when it worked.
    std::unique_ptr<TExcelFile> file = Adapter->CreateExcelFile();
    file->Connect();
    file->OpenFile(fileName);
    // The sheet the file marks as active is current; the file stays as it was read.
    const int active = file->GetActiveSheet();
    file->SetActiveSheet(active >= 1 && active <= file->SheetCount() ? active : 1);
    CloseFile();
    FFile = std::move(file);
}

void TXlsImport::CloseFile()
{
    if (!FFile)
        return;
    FFile->CloseFile();
    FFile->Disconnect();
    FFile.reset();
}

TExcelFile &TXlsImport::File() const
{
    if (!FFile)
        XlsRaise(XlsMsg::NoOpenFile);
    return *FFile;
}

void TXlsImport::Save(const QString &fileName)
{
    File().Save(fileName);
}

QVariant TXlsImport::GetCellValue(int row, int col) const
{
    return File().GetCellValue(row, col);
}

void TXlsImport::SetCellValue(int row, int col, const QVariant &value)
{
    File().SetCellValue(row, col, value);
}

void TXlsImport::SetRowValues(int row, const TRowValues &values)
{
    File().SetRowValues(row, values);
}

int TXlsImport::MaxRow() const
{
    return File().MaxRow();
}

int TXlsImport::MaxCol() const
{
    return File().MaxCol();
}

int TXlsImport::SheetCount() const
{
    return File().SheetCount();
}

int TXlsImport::ActiveSheet() const
{
    return File().GetActiveSheet();
}

void TXlsImport::SetActiveSheet(int sheet)
{
    TExcelFile &file = File();
    if (sheet < 1 || sheet > file.SheetCount())
        XlsRaise(XlsMsg::InvalidSheetNumber(sheet, 1, file.SheetCount()));
    file.SelectSheet(sheet);
    file.SetActiveSheet(sheet);
}

QString TXlsImport::ActiveSheetName() const
{
    return File().GetActiveSheetName();
}

void TXlsImport::SetActiveSheetName(const QString &name)
{
    File().SetActiveSheetName(name);
}

void TXlsImport::InsertAndCopyRows(int firstRow, int lastRow, int destRow, int count)
{
    File().InsertAndCopyRows(firstRow, lastRow, destRow, count, false);
}

void TXlsImport::InsertAndCopySheets(int copyFrom, int insertBefore, int count)
{
    File().InsertAndCopySheets(copyFrom, insertBefore, count);
}

void TXlsImport::DeleteSheets(int count)
{
    File().DeleteSheets(count);
}
