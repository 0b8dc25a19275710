#pragma once

#include "documents/XlsFillBackEnd.h"

#include <memory>

class XlsxWorkbook;

// Fills .xlsx templates: the template is copied to the working copy, which is
// opened and saved in place.
class TXlsxFillBackEnd : public TXlsFillBackEnd
{
public:
    TXlsxFillBackEnd();
    ~TXlsxFillBackEnd() override;

    void Open(const QString &templatePath, const QString &workingCopy) override;
    void SaveAndClose() override;
    void Close() override;

    int SheetCount() const override;
    void ActivateSheet(int sheet) override;
    int MaxRow() const override;
    int MaxCol() const override;
    QVariant Value(int row, int col) const override;
    void SetValue(int row, int col, const QVariant &value) override;
    void InsertRowCopies(int row, int count) override;
    void FitRowText(int row, const std::vector<int> &cols) override;

private:
    std::unique_ptr<XlsxWorkbook> m_book;
};
