#include "documents/EngineFillBackEnd.h"

#include "xls/workbook/XlsImport.h"

void TEngineFillBackEnd::Open(const QString &templatePath, const QString &workingCopy)
{
    m_facade.CloseFile();
    m_facade.OpenFile(templatePath);
    m_facade.SetActiveSheet(1);
    m_workingCopy = workingCopy;
}

void TEngineFillBackEnd::SaveAndClose()
{
    m_facade.Save(m_workingCopy);
    m_facade.CloseFile();
}

void TEngineFillBackEnd::Close()
{
    m_facade.CloseFile();
}

int TEngineFillBackEnd::SheetCount() const
{
    return m_facade.SheetCount();
}

void TEngineFillBackEnd::ActivateSheet(int sheet)
{
    m_facade.SetActiveSheet(sheet);
}

int TEngineFillBackEnd::MaxRow() const
{
    return m_facade.MaxRow();
}

int TEngineFillBackEnd::MaxCol() const
{
    return m_facade.MaxCol();
}

QVariant TEngineFillBackEnd::Value(int row, int col) const
{
    return m_facade.GetCellValue(row, col);
}

void TEngineFillBackEnd::SetValue(int row, int col, const QVariant &value)
{
    m_facade.SetCellValue(row, col, CellValue(value));
}

void TEngineFillBackEnd::SetRowValues(int row, const TRowValues &values)
{
    m_cellValues.resize(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        m_cellValues[i] = {values[i].Col, CellValue(values[i].Value)};
    m_facade.SetRowValues(row, m_cellValues);
}

void TEngineFillBackEnd::InsertRowCopies(int row, int count)
{
    m_facade.InsertAndCopyRows(row, row, row, count);
}
