#pragma once

#include "documents/XlsFillBackEnd.h"

class TXlsImport;

// Fills .xls templates through the spreadsheet file engine's facade: the
// template itself is read, and the working copy is written only on save.
class TEngineFillBackEnd : public TXlsFillBackEnd
{
public:
    explicit TEngineFillBackEnd(TXlsImport &facade) : m_facade(facade) {}

    void Open(const QString &templatePath, const QString &workingCopy) override;
    void SaveAndClose() override;
    void Close() override;

    int SheetCount() const override;
    void ActivateSheet(int sheet) override;
    int MaxRow() const override;
    int MaxCol() const override;
    QVariant Value(int row, int col) const override;
    void SetValue(int row, int col, const QVariant &value) override;
    void SetRowValues(int row, const TRowValues &values) override;
    void InsertRowCopies(int row, int count) override;

private:
    TXlsImport &m_facade;
    QString m_workingCopy;
    TRowValues m_cellValues;  // reused from row to row
};
