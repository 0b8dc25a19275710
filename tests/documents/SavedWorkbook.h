#pragma once

#include "platform/automation/XlsxWorkbook.h"
#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XlsImport.h"

#include <QString>
#include <QVariant>

// A saved workbook read back for checks: .xlsx packages by signature, every
// other file through the file engine. Sheets, rows and columns from 1.
class SavedWorkbook
{
public:
    explicit SavedWorkbook(const QString &path) : m_xlsx(XlsxWorkbook::hasSignature(path))
    {
        if (m_xlsx) {
            m_book.open(path);
        } else {
            m_facade.Adapter = &m_adapter;
            m_facade.OpenFile(path);
        }
    }

    int sheetCount() const { return m_xlsx ? m_book.sheetCount() : m_facade.SheetCount(); }
    QVariant value(int sheet, int row, int col)
    {
        select(sheet);
        return m_xlsx ? m_book.value(row, col) : m_facade.GetCellValue(row, col);
    }
    int maxRow(int sheet)
    {
        select(sheet);
        return m_xlsx ? m_book.maxRow() : m_facade.MaxRow();
    }

    // Row height in points, and whether the cell's format wraps its text.
    double rowHeight(int sheet, int row)
    {
        select(sheet);
        return m_xlsx ? m_book.rowHeight(row) : m_facade.File().GetRowHeight(row) / 20.0;
    }
    bool wraps(int sheet, int row, int col)
    {
        select(sheet);
        if (m_xlsx)
            return m_book.cellLook(row, col).wrap;
        const QByteArray rest = m_facade.File().GetFormat(m_facade.File().GetCellFormat(row, col)).Rest;
        return rest.size() > 2 && (rest.at(2) & 0x08) != 0;  // the alignment byte's wrap bit
    }

private:
    void select(int sheet)
    {
        if (m_xlsx)
            m_book.activateSheet(sheet);
        else
            m_facade.SetActiveSheet(sheet);
    }

    bool m_xlsx;
    XlsxWorkbook m_book;
    TXLSAdapter m_adapter;
    TXlsImport m_facade;
};
