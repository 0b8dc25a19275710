#include "documents/EngineFillBackEnd.h"

#include "documents/CellTextFit.h"
#include "xls/workbook/XlsImport.h"

#include <algorithm>

void TEngineFillBackEnd::Open(const QString &templatePath, const QString &workingCopy)
{
    EndFill();
    m_facade.CloseFile();
    m_facade.OpenFile(templatePath);
    m_facade.SetActiveSheet(1);
    m_workingCopy = workingCopy;
}

void TEngineFillBackEnd::SaveAndClose()
{
    EndFill();
    m_facade.Save(m_workingCopy);
    m_facade.CloseFile();
}

void TEngineFillBackEnd::Close()
{
    EndFill();
    m_facade.CloseFile();
}

int TEngineFillBackEnd::SheetCount() const
{
    return m_facade.SheetCount();
}

void TEngineFillBackEnd::ActivateSheet(int sheet)
{
    EndFill();
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
    EndFill();
    m_facade.SetCellValue(row, col, CellValue(value));
}

void TEngineFillBackEnd::SetRowValues(int row, const TRowValues &values)
{
    const bool filling = row >= m_fillFirst && row <= m_fillLast;
    m_cellValues.resize(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const int xf = filling ? FillFormat(i, values[i]) : values[i].Xf;
        m_cellValues[i] = {values[i].Col, CellValue(values[i].Value), xf};
    }
    m_valuesRow = -1;
    m_facade.SetRowValues(row, m_cellValues);
    m_valuesRow = row;
}

bool TEngineFillBackEnd::JustSet(int row, int col, QString &text, int &xf) const
{
    if (row != m_valuesRow)
        return false;
    const auto it = std::find_if(m_cellValues.rbegin(), m_cellValues.rend(),
                                 [col](const TColumnValue &v) { return v.Col == col; });
    if (it == m_cellValues.rend() || it->Xf < 0)
        return false;
    xf = it->Xf;
    text = it->Value.typeId() == QMetaType::QString ? it->Value.toString() : QString();
    return true;
}

int TEngineFillBackEnd::FillFormat(size_t i, const TColumnValue &value) const
{
    // The filler names the columns in the order it gave them to
    // InsertRowCopiesToFill: the i-th format is the one, unless a caller
    // writes other columns.
    auto it = m_fillFormats.begin() + qsizetype(std::min(i, m_fillFormats.size()));
    if (it == m_fillFormats.end() || it->first != value.Col)
        it = std::find_if(m_fillFormats.begin(), m_fillFormats.end(),
                          [&](const std::pair<int, int> &f) { return f.first == value.Col; });
    if (it == m_fillFormats.end())
        return value.Xf;
    return it->second >= 0 ? it->second : 15;  // a copy of no cell: a new one
}

void TEngineFillBackEnd::InsertRowCopiesToFill(int row, int count, const std::vector<int> &filledCols)
{
    if (count < 1) {
        InsertRowCopies(row, count);
        return;
    }
    TExcelFile &file = m_facade.File();
    std::vector<std::pair<int, int>> formats;
    QVariantList taken;
    for (int col : filledCols) {
        const int xf = file.GetCellFormat(row, col);  // -1: no cell
        formats.emplace_back(col, xf);
        taken.append(file.GetCellValue(row, col));
        if (xf >= 0) {
            file.SetCellFormat(row, col, 15);  // so that the empty value leaves no cell
            file.SetCellValue(row, col, QVariant());
        }
    }
    try {
        InsertRowCopies(row, count);
    } catch (...) {
        // The row gets its cells back when the copies cannot be made.
        for (size_t i = 0; i < formats.size(); ++i)
            if (formats[i].second >= 0)
                file.SetCellValueX(row, formats[i].first, taken[qsizetype(i)], formats[i].second);
        throw;
    }
    m_fillFormats = std::move(formats);
    m_fillFirst = row;
    m_fillLast = row + count;
}

void TEngineFillBackEnd::InsertRowCopies(int row, int count)
{
    EndFill();
    m_facade.InsertAndCopyRows(row, row, row, count);
}

namespace {

// The wrap flag of an XF: bit 3 of its alignment byte, the third byte after
// the number-format index.
constexpr int AlignmentByte = 2;
constexpr char WrapBit = 0x08;

} // namespace

TEngineFillBackEnd::TextStyle &TEngineFillBackEnd::StyleOf(int xf)
{
    auto it = m_textStyles.find(xf);
    if (it != m_textStyles.end())
        return *it;
    TExcelFile &file = m_facade.File();
    const TXlsFormat format = file.GetFormat(xf);
    TextStyle style;
    style.aligned = format.Rest.size() > AlignmentByte;
    if (style.aligned) {
        const TXlsFont font = file.GetFont(format.FontIndex);
        style.size = font.Size20 / 20.0;
        style.bold = font.Weight > 400;
        style.wraps = (format.Rest.at(AlignmentByte) & WrapBit) != 0;
    }
    return *m_textStyles.insert(xf, style);
}

double TEngineFillBackEnd::InnerWidthOf(int col)
{
    auto it = m_innerWidths.find(col);
    if (it == m_innerWidths.end())
        it = m_innerWidths.insert(col, CellTextFit::innerWidthPt(m_facade.File().GetColumnWidth(col)));
    return *it;
}

void TEngineFillBackEnd::FitRowText(int row, const std::vector<int> &cols)
{
    TExcelFile &file = m_facade.File();
    const auto look = [&](int col, QString &text, CellTextFit::CellLook &cell) {
        // The values just set are at hand: no need to read them back.
        int xf = -1;
        if (!JustSet(row, col, text, xf)) {
            const QVariant value = file.GetCellValue(row, col);
            if (value.typeId() != QMetaType::QString)
                return false;
            xf = file.GetCellFormat(row, col);
            text = value.toString();
        }
        if (text.isEmpty() || xf < 0)
            return false;
        const TextStyle &style = StyleOf(xf);
        if (!style.aligned)
            return false;
        cell = {InnerWidthOf(col), style.size, style.bold, style.wraps};
        return true;
    };
    const auto wrap = [&](int col) {
        const int xf = file.GetCellFormat(row, col);
        TextStyle &style = StyleOf(xf);
        if (style.wrappedXf < 0) {
            TXlsFormat format = file.GetFormat(xf);
            format.Rest[AlignmentByte] = char(format.Rest.at(AlignmentByte) | WrapBit);
            style.wrappedXf = file.AddFormat(format);
        }
        file.SetCellFormat(row, col, style.wrappedXf);
    };
    // Most rows need no second line: their height is not looked up.
    const int needed = CellTextFit::neededTwips(cols, look, wrap);
    if (needed > 0 && needed > file.GetRowHeight(row))
        file.SetRowHeight(row, needed);
}
