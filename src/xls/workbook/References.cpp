#include "xls/workbook/References.h"

#include "xls/formula/FormulaRecord.h"
#include "xls/workbook/CellList.h"
#include "xls/workbook/WorkbookGlobals.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QRegularExpression>

namespace {

// Sheet names that are not plain words go in quotes, with quotes doubled.
QString QuotedSheet(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.]*$"));
    if (plain.match(name).hasMatch())
        return name;
    QString quoted = name;
    quoted.replace(QStringLiteral("'"), QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

}  // namespace

TReferences::TReferences(TWorkbookGlobals &globals, const TCellList *cells)
    : FGlobals(globals), FCells(cells)
{
}

int TReferences::SheetOfExternSheet(int externSheet) const
{
    const auto entries = FGlobals.ExternSheets();
    if (externSheet < 0 || externSheet >= entries.size())
        return -1;
    const auto &entry = entries[externSheet];
    if (entry.SupBook != FGlobals.InternalSupBook() || entry.FirstSheet >= FGlobals.SheetCount())
        return -1;
    return entry.FirstSheet;
}

QString TReferences::GetSheetPrefix(int externSheet) const
{
    const auto entries = FGlobals.ExternSheets();
    if (externSheet < 0 || externSheet >= entries.size())
        return QStringLiteral("#REF!");
    const auto &entry = entries[externSheet];
    const int count = FGlobals.SheetCount();
    if (entry.SupBook != FGlobals.InternalSupBook() || entry.FirstSheet >= count
        || entry.LastSheet >= count)
        return QStringLiteral("#REF!");
    const QString first = FGlobals.SheetName(entry.FirstSheet);
    if (entry.LastSheet == entry.FirstSheet)
        return QuotedSheet(first) + u'!';
    const QString both = first + u':' + FGlobals.SheetName(entry.LastSheet);
    return QuotedSheet(first) == first && QuotedSheet(FGlobals.SheetName(entry.LastSheet))
                   == FGlobals.SheetName(entry.LastSheet)
               ? both + u'!'
               : QuotedSheet(both) + u'!';
}

int TReferences::GetSheetIndex(QStringView sheetName) const
{
    return FGlobals.SheetIndex(sheetName.toString());
}

QString TReferences::GetSheetName(int sheet) const
{
    const int count = FGlobals.SheetCount();
    if (sheet < 0 || sheet >= count)
        XlsRaise(XlsMsg::InvalidSheetNumber(sheet, 0, count - 1));
    return FGlobals.SheetName(sheet);
}

QString TReferences::GetExternName(int externSheet, int nameIndex) const
{
    const auto entries = FGlobals.ExternSheets();
    if (externSheet < 0 || externSheet >= entries.size())
        return QStringLiteral("#REF!");
    const int supBook = entries[externSheet].SupBook;
    if (supBook == FGlobals.InternalSupBook())
        return QString();
    const QStringList names = FGlobals.ExternNames(supBook);
    if (nameIndex < 1 || nameIndex > names.size())
        XlsRaise(XlsMsg::IndexOutOfRange(nameIndex, QStringLiteral("ExternName"), 1, int(names.size())));
    return names[nameIndex - 1];
}

int TReferences::AddExternSheet(int firstSheet, int lastSheet)
{
    return FGlobals.AddExternSheet(firstSheet, lastSheet);
}

namespace {

const TFormulaRecord &FormulaAt(const TCellList *cells, int row, int col)
{
    if (row < 0 || row > 65535)
        XlsRaise(XlsMsg::InvalidRow(row));
    if (col < 0 || col > 255)
        XlsRaise(XlsMsg::InvalidColumn(col));
    const auto *formula = cells ? dynamic_cast<const TFormulaRecord *>(cells->Cell(row, col)) : nullptr;
    if (!formula)
        XlsRaise(QStringLiteral("Can't find Shared Formula"));
    return *formula;
}

[[noreturn]] void NotSupported(int row, int col, int token)
{
    XlsRaise(QStringLiteral("Formula at Row %1, column %2 is not supported. Token Id: 0x%3")
                 .arg(row + 1)
                 .arg(col + 1)
                 .arg(token, 2, 16, QLatin1Char('0')));
}

}  // namespace

QByteArray TReferences::GetArrayRecordData(int row, int col) const
{
    const TFormulaRecord &formula = FormulaAt(FCells, row, col);
    if (!formula.ArrayRecord())
        NotSupported(row, col, 0x01);
    return formula.ArrayRecord()->Data();
}

QByteArray TReferences::GetTableRecordData(int row, int col) const
{
    const TFormulaRecord &formula = FormulaAt(FCells, row, col);
    if (!formula.TableRecord())
        NotSupported(row, col, 0x02);
    return formula.TableRecord()->Data();
}
