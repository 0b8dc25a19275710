#pragma once

#include "documents/XlsFillBackEnd.h"

#include <QHash>

#include <utility>
#include <vector>

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
    // Takes the filled cells out of the row before copying it, keeping their
    // formats for the rows' SetRowValues: copies of cells that are replaced
    // at once would be made and freed for nothing.
    void InsertRowCopiesToFill(int row, int count, const std::vector<int> &filledCols) override;
    void FitRowText(int row, const std::vector<int> &cols) override;

private:
    TXlsImport &m_facade;
    QString m_workingCopy;
    TRowValues m_cellValues;  // reused from row to row
    int m_valuesRow = -1;     // the row m_cellValues went to, till any other change
    // The text and format the last SetRowValues gave a cell of the row, when
    // it gave them; false leaves the file to tell.
    bool JustSet(int row, int col, QString &text, int &xf) const;
    // The rows InsertRowCopiesToFill made and the formats of their filled
    // cells; any other change ends it.
    int m_fillFirst = 0, m_fillLast = -1;
    std::vector<std::pair<int, int>> m_fillFormats;  // column, XF (-1: no cell)
    void EndFill()
    {
        m_fillLast = -1;
        m_valuesRow = -1;
        m_textStyles.clear();
        m_innerWidths.clear();
    }
    // What FitRowText needs of a cell format, read once per format while a
    // fill lasts: every row of it repeats the template row's few formats.
    struct TextStyle
    {
        bool aligned = false;  // the format has an alignment byte
        bool wraps = false;
        bool bold = false;
        double size = 0;
        int wrappedXf = -1;  // the same format wrapping, once it was needed
    };
    QHash<int, TextStyle> m_textStyles;  // by XF
    QHash<int, double> m_innerWidths;    // points, by column
    TextStyle &StyleOf(int xf);
    double InnerWidthOf(int col);
    // The format for the i-th value of a row InsertRowCopiesToFill made.
    int FillFormat(size_t i, const TColumnValue &value) const;
};
