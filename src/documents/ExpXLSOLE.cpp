#include "documents/ExpXLSOLE.h"

#include "core/Form1.h"
#include "documents/DocumentError.h"
#include "documents/DocumentValues.h"
#include "platform/automation/XlsxWorkbook.h"
#include "documents/DocumentFolder.h"
#include "documents/DocumentOpener.h"
#include "platform/io/DurableFile.h"
#include "platform/sql/TDataSet.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>
#include <vector>

namespace {

// Tags match without regard to the case of ASCII letters only, so the
// upper-cased text keeps every position of the original.
QString asciiUpper(QString text)
{
    for (QChar &c : text)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 'a' + 'A');
    return text;
}

// Puts the dataset back on the record it stood on, on every way out.
class DataSetPosition
{
public:
    explicit DataSetPosition(TDataSet &dataSet)
        : m_dataSet(dataSet), m_recNo(dataSet.RecNo()), m_eof(dataSet.Eof())
    {
    }
    ~DataSetPosition()
    {
        if (!m_dataSet.Active())
            return;
        m_dataSet.First();
        for (int i = 1; i < m_recNo; ++i)
            m_dataSet.Next();
        if (m_eof)
            m_dataSet.Next();
    }
    DataSetPosition(const DataSetPosition &) = delete;
    DataSetPosition &operator=(const DataSetPosition &) = delete;

private:
    TDataSet &m_dataSet;
    int m_recNo;
    bool m_eof;
};

// What a cell of the template row asks for.
struct ColumnFill
{
    int col = 0;
    TField *field = nullptr; // nullptr: the running number
    TFieldType type = TFieldType::ftString;
};

// The value a record gives the cell: numbers and dates that are zero take
// blank. Texts and numbers the query gave as such are taken as they stand;
// anything else goes through the field's conversions.
QVariant FieldValue(const ColumnFill &fill, int n, const QVariant &blank)
{
    if (!fill.field)
        return n;
    switch (fill.type) {
    case TFieldType::ftString: return fill.field->AsString();
    case TFieldType::ftDate: {
        const double day = fill.field->IsNull() ? 0.0 : TXlsFillBackEnd::DayNumber(fill.field->dateValue());
        return day != 0 ? QVariant(day) : blank;
    }
    default: {
        const double number = fill.field->AsFloat();
        return number != 0 ? QVariant(number) : blank;
    }
    }
}

// The cells of the template row that records fill, in column order.
std::vector<ColumnFill> FillPlan(const TXlsFillBackEnd &backEnd, TDataSet &dataSet, int row)
{
    std::vector<ColumnFill> plan;
    const int maxCol = backEnd.MaxCol();
    for (int col = 1; col <= maxCol; ++col) {
        const QString key = asciiUpper(backEnd.Text(row, col).trimmed());
        if (key == u"%NRCRT") {
            plan.push_back({col, nullptr});
        } else if (key.startsWith(u'#')) {
            for (TField *field : dataSet.Fields()) {
                if (u'#' + asciiUpper(field->FieldName()) == key) {
                    plan.push_back({col, field, field->DataType()});
                    break;
                }
            }
        }
    }
    return plan;
}

} // namespace

using DocumentValues::letWindowsRun;

TExpXLSOLE::TExpXLSOLE() : m_engine(XCell), m_backEnd(&m_engine)
{
    XLS1.AllowOverwritingFiles = false;
    XCell.Adapter = &XLS1;
}

TExpXLSOLE::~TExpXLSOLE() = default;

void TExpXLSOLE::CloseWorkbook()
{
    m_engine.Close();
    m_xlsx.Close();
    m_backEnd = &m_engine;
}

bool TExpXLSOLE::OpenTemplate(const QString &templatePath, bool useOle)
{
    Q_UNUSED(useOle); // an .xls template is filled by the engine, an .xlsx one by the package back-end
    CloseWorkbook();
    m_workingCopy.clear();
    if (templatePath.isEmpty() || !QFileInfo(templatePath).isFile())
        return false;
    const bool xlsx = XlsxWorkbook::hasSignature(templatePath);
    // Only a missing template is "false": a template that is there but cannot
    // be read, or no free temporary name, is an error the clerk reads as it is.
    const QString copy = Form1().TempFileName(QStringLiteral("XLSTmp"), xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".xls"));
    TXlsFillBackEnd &backEnd = xlsx ? static_cast<TXlsFillBackEnd &>(m_xlsx) : m_engine;
    try {
        backEnd.Open(templatePath, copy);
    } catch (const std::exception &e) {
        backEnd.Close();
        throw DocumentError(QStringLiteral("Nu pot citi modelul %1: %2")
                                .arg(QDir::toNativeSeparators(templatePath), QString::fromUtf8(e.what()))
                                .toStdString());
    }
    m_backEnd = &backEnd;
    m_workingCopy = copy;
    BlankValue = QString(QLatin1String(""));
    return true;
}

void TExpXLSOLE::SelectSheet(int sheet)
{
    if (sheet >= 1 && sheet <= m_backEnd->SheetCount())
        m_backEnd->ActivateSheet(sheet);
}

void TExpXLSOLE::ReplaceTag(const QString &tag, const QVariant &value)
{
    if (tag.isEmpty())
        return;
    const QString upperTag = asciiUpper(tag);
    const QString valueText = TXlsFillBackEnd::ValueText(value);
    const QString upperValue = asciiUpper(valueText);
    // Writing inside the used range cannot widen it, so it is taken once.
    const int maxRow = m_backEnd->MaxRow();
    const int maxCol = m_backEnd->MaxCol();
    for (int row = 1; row <= maxRow; ++row) {
        for (int col = 1; col <= maxCol; ++col) {
            QString text = m_backEnd->Text(row, col);
            if (text.size() < tag.size())
                continue;
            QString upper = asciiUpper(text);
            if (upper == upperTag) {
                m_backEnd->SetValue(row, col, value);
                continue;
            }
            // The search goes on behind each inserted value, so a value
            // holding its own tag is put in once.
            bool replaced = false;
            for (qsizetype at = upper.indexOf(upperTag); at >= 0;
                 at = upper.indexOf(upperTag, at + valueText.size())) {
                text.replace(at, tag.size(), valueText);
                upper.replace(at, tag.size(), upperValue);
                replaced = true;
            }
            if (replaced)
                m_backEnd->SetValue(row, col, text);
        }
    }
}

void TExpXLSOLE::SetCell(int row, int col, const QVariant &value)
{
    m_backEnd->SetValue(row, col, value);
}

void TExpXLSOLE::CopyRows(int row, int count)
{
    // An empty dataset asks for -1 copies: that is nothing to do, never a deletion.
    if (count >= 1)
        m_backEnd->InsertRowCopies(row, count);
    letWindowsRun();
}

int TExpXLSOLE::FindTemplateRow()
{
    const int maxRow = m_backEnd->MaxRow();
    const int maxCol = m_backEnd->MaxCol();
    for (int row = 1; row <= maxRow; ++row) {
        for (int col = 1; col <= maxCol; ++col) {
            if (asciiUpper(m_backEnd->Text(row, col).trimmed()) == u"#DBF") {
                m_backEnd->SetValue(row, col, QString());
                return row;
            }
        }
    }
    return 0;
}

void TExpXLSOLE::FillFromDataSet(TDataSet &dataSet)
{
    if (!dataSet.Active())
        return;
    const int templateRow = FindTemplateRow();
    if (templateRow == 0)
        return;
    {
        const DataSetPosition keep(dataSet);
        dataSet.First();
        if (dataSet.IsEmpty())
            ClearRow(templateRow);
        else
            FillRecords(dataSet, templateRow);
    }
    letWindowsRun();
}

void TExpXLSOLE::ClearRow(int row)
{
    const int maxCol = m_backEnd->MaxCol();
    for (int col = 1; col <= maxCol; ++col)
        m_backEnd->SetValue(row, col, QString());
}

void TExpXLSOLE::FillRecords(TDataSet &dataSet, int templateRow)
{
    // Every record's row is a copy of the template row, so the cells to fill
    // are read from it once, before it is copied.
    const std::vector<ColumnFill> plan = FillPlan(*m_backEnd, dataSet, templateRow);
    // Each record's values are handed over a row at a time, in one reused list.
    TRowValues values(plan.size());
    std::vector<int> filledCols;
    for (size_t i = 0; i < plan.size(); ++i) {
        values[i].Col = plan[i].col;
        filledCols.push_back(plan[i].col);
    }
    const int copies = dataSet.RecordCount() - 1;
    if (copies >= 1)
        m_backEnd->InsertRowCopiesToFill(templateRow, copies, filledCols);
    letWindowsRun();
    QElapsedTimer sinceMessages;
    sinceMessages.start();
    int row = templateRow;
    for (int n = 1; !dataSet.Eof(); ++n, ++row) {
        for (size_t i = 0; i < plan.size(); ++i)
            values[i].Value = FieldValue(plan[i], n, BlankValue);
        m_backEnd->SetRowValues(row, values);
        m_backEnd->FitRowText(row, filledCols);
        dataSet.Next();
        // Often enough to keep the window alive, seldom enough not to slow the fill.
        if (sinceMessages.elapsed() >= 50) {
            letWindowsRun();
            sinceMessages.restart();
        }
    }
}

void TExpXLSOLE::Save()
{
    m_backEnd->SaveAndClose();
    m_backEnd = &m_engine;
}

QString TExpXLSOLE::SaveAndShow(const QString &name)
{
    const QString path = DocumentFolder::newPath(name, u'.' + QFileInfo(m_workingCopy).suffix());
    SaveTo(path);
    DocumentOpener::open(path);
    return path;
}

void TExpXLSOLE::SaveTo(const QString &target)
{
    Save();
    if (QFile::rename(m_workingCopy, target)) {
        DurableFile::syncFolder(QFileInfo(target).absolutePath());
        return;
    }
    QFile in(m_workingCopy);
    if (!in.open(QIODevice::ReadOnly))
        throw DocumentError(QStringLiteral("Nu pot citi fisierul %1: %2")
                                .arg(QDir::toNativeSeparators(m_workingCopy), in.errorString())
                                .toStdString());
    DurableFile::save(target, in.readAll());
    in.close();
    in.remove();
}

TExpXLSOLE &ExpXLSOLE()
{
    static TExpXLSOLE instance;
    return instance;
}
