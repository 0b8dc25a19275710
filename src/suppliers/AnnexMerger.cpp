#include "suppliers/AnnexMerger.h"

#include "core/Cnp.h"
#include "documents/DocumentFolder.h"
#include "documents/ExpXLSOLE.h"
#include "documents/XlsFillBackEnd.h"
#include "payments/PaymentValues.h"
#include "xls/workbook/XlsImport.h"
#include "platform/io/KestrunError.h"
#include "platform/sql/Money.h"

#include <QDir>
#include <QLocale>
#include <QSet>

#include <array>
#include <cmath>
#include <optional>

namespace {

// Annexes 23 and 24: twelve months of families and single persons by eleven
// income brackets.
constexpr int kFirstRow = 9;
constexpr int kRows = 24;
constexpr int kFirstCol = 4;
constexpr int kCols = 11;
// The lists carry their data in columns 2 to 15.
constexpr int kListLastCol = 15;

QString textOf(const QVariant &value)
{
    return TXlsFillBackEnd::ValueText(value).trimmed();
}

// A cell's amount in hundredths, so that sums of lei add up exactly; nothing
// when the cell holds no number (blank, "x").
std::optional<qint64> centsIn(const QVariant &value)
{
    double number = 0;
    if (value.typeId() == QMetaType::Double) {
        number = value.toDouble();
    } else if (value.typeId() == QMetaType::QString) {
        bool ok = false;
        number = QLocale::c().toDouble(value.toString().trimmed(), &ok);
        if (!ok)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (!std::isfinite(number))
        return std::nullopt;
    return Money::cents(number);
}

// The running number of a beneficiary's row, 0 for any other row. The row of
// column numbers under the titles (1, 2, 3 ...) is no beneficiary.
int rowNumber(const TXlsImport &book, int row)
{
    bool ok = false;
    const int number = textOf(book.GetCellValue(row, 1)).toInt(&ok);
    if (!ok || number <= 0)
        return 0;
    if (number == 1 && textOf(book.GetCellValue(row, 2)) == u"2")
        return 0;
    return number;
}

// A workbook read for the merge, closed on every way out.
class Source
{
public:
    Source(TXlsImport &reader, const QString &path) : m_reader(reader)
    {
        m_reader.OpenFile(path);
        m_reader.SetActiveSheet(1);
    }
    ~Source() { m_reader.CloseFile(); }
    Source(const Source &) = delete;
    Source &operator=(const Source &) = delete;

private:
    TXlsImport &m_reader;
};

} // namespace

int AnnexMerger::AnnexNumberOf(const QString &path, int annex, QString *why)
{
    try {
        const Source source(m_reader, path);
        const QString text = TXlsFillBackEnd::ValueText(m_reader.GetCellValue(1, IsTable(annex) ? 15 : 10));
        bool ok = false;
        const int number = text.right(2).trimmed().toInt(&ok);
        return ok ? number : 0;
    } catch (const std::exception &e) {
        // Whatever cannot be read is no annex; the clerk still learns why.
        if (why)
            *why = KestrunError::textOf(e);
        return 0;
    } catch (...) {
        return 0;
    }
}

QString AnnexMerger::Merge(int annex, const QStringList &paths, const std::function<bool()> &askDuplicates)
{
    if (!m_x.OpenTemplate(paths.value(0), false))
        PaymentValues::refuse(QStringLiteral("Nu pot deschide Anexa %1").arg(QDir::toNativeSeparators(paths.value(0))));
    if (IsTable(annex)) {
        addTables(paths);
    } else {
        appendLists(paths);
        if (askDuplicates())
            flagDuplicates();
    }
    m_x.SelectSheet(1);
    const QString merged = DocumentFolder::newPath(QStringLiteral("Anexa %1 insumata").arg(annex), QStringLiteral(".xls"));
    m_x.SaveTo(merged);
    return merged;
}

void AnnexMerger::addTables(const QStringList &paths)
{
    std::array<std::array<qint64, kCols>, kRows> sums{};
    std::array<std::array<bool, kCols>, kRows> counted{};
    for (const QString &path : paths.mid(1)) {
        const Source source(m_reader, path);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                if (const auto cents = centsIn(m_reader.GetCellValue(kFirstRow + r, kFirstCol + c))) {
                    sums[r][c] += *cents;
                    counted[r][c] = true;
                }
    }
    // A cell no workbook has a number in keeps what the base shows there.
    TXlsImport &base = m_x.XCell;
    base.SetActiveSheet(1);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            const auto own = centsIn(base.GetCellValue(kFirstRow + r, kFirstCol + c));
            if (own || counted[r][c])
                m_x.SetCell(kFirstRow + r, kFirstCol + c, double(sums[r][c] + own.value_or(0)) / 100.0);
        }
}

void AnnexMerger::appendLists(const QStringList &paths)
{
    const int sheets = std::min(m_x.XCell.SheetCount(), 2);
    for (int sheet = 1; sheet <= sheets; ++sheet)
        appendSheet(sheet, paths.mid(1));
}

void AnnexMerger::appendSheet(int sheet, const QStringList &sources)
{
    TXlsImport &base = m_x.XCell;
    base.SetActiveSheet(sheet);
    const int lastCol = std::min(kListLastCol, base.MaxCol());
    int last = base.MaxRow();
    int number = 0;
    while (last >= 1 && (number = rowNumber(base, last)) == 0)
        --last;
    for (const QString &path : sources) {
        const Source source(m_reader, path);
        if (m_reader.SheetCount() < sheet)
            continue;
        m_reader.SetActiveSheet(sheet);
        const int maxRow = m_reader.MaxRow();
        int row = 1;
        while (row <= maxRow && rowNumber(m_reader, row) == 0)
            ++row;
        for (; row <= maxRow && rowNumber(m_reader, row) > 0; ++row) {
            // Without a numbered row the base has no row to copy for the new ones.
            if (last < 1)
                PaymentValues::refuse(
                    QStringLiteral("\rPrima Anexa din lista nu are randuri numerotate pe foaia %1 (\"%2\")!\r"
                                   "Puneti prima in lista o Anexa cu beneficiari.")
                        .arg(sheet)
                        .arg(base.ActiveSheetName()));
            m_x.CopyRows(last, 1);
            ++last;
            m_x.SetCell(last, 1, ++number);
            for (int col = 2; col <= lastCol; ++col)
                m_x.SetCell(last, col, m_reader.GetCellValue(row, col));
        }
    }
}

void AnnexMerger::flagDuplicates()
{
    TXlsImport &base = m_x.XCell;
    for (int sheet = 1; sheet <= base.SheetCount(); ++sheet) {
        base.SetActiveSheet(sheet);
        // Each sheet alone; the flags go into the column after the last used one.
        const int flagCol = base.MaxCol() + 1;
        const int maxRow = base.MaxRow();
        QSet<QString> codes;
        for (int row = 1; row <= maxRow; ++row) {
            const QString code = textOf(base.GetCellValue(row, 3));
            if (!Cnp::isValid(code))
                continue;
            if (codes.contains(code))
                m_x.SetCell(row, flagCol, QStringLiteral("DUBLAT!"));
            else
                codes.insert(code);
        }
    }
}
