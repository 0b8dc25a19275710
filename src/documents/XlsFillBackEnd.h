#pragma once

#include "xls/workbook/XlsCellAccess.h"

#include <QDate>
#include <QString>
#include <QVariant>

// What the template filler asks of the workbook it fills: the file engine for
// .xls templates, the package back-end for .xlsx ones. Rows, columns and
// sheets are numbered from 1; everything acts on the active sheet.
class TXlsFillBackEnd
{
public:
    virtual ~TXlsFillBackEnd() = default;

    // Opens the template so that a save writes the working copy. A failure
    // raises and leaves nothing open.
    virtual void Open(const QString &templatePath, const QString &workingCopy) = 0;
    // Writes the working copy and closes the workbook.
    virtual void SaveAndClose() = 0;
    // Closes without saving; nothing happens when nothing is open.
    virtual void Close() = 0;

    virtual int SheetCount() const = 0;
    virtual void ActivateSheet(int sheet) = 0;
    virtual int MaxRow() const = 0;
    virtual int MaxCol() const = 0;
    // Invalid (empty), double, bool or QString.
    virtual QVariant Value(int row, int col) const = 0;
    // An invalid value or an empty text leaves the cell empty with its format.
    virtual void SetValue(int row, int col, const QVariant &value) = 0;
    // Values for cells of one row, columns ascending, each as SetValue puts it.
    virtual void SetRowValues(int row, const TRowValues &values);
    // count copies of the row inserted at it; everything below moves down.
    virtual void InsertRowCopies(int row, int count) = 0;
    // The same, for copies whose cells in filledCols SetRowValues writes
    // next, on the row and on every copy: a back-end may leave those cells out
    // of the copies and give the values written there the formats they had.
    virtual void InsertRowCopiesToFill(int row, int count, const std::vector<int> &filledCols);

    // Makes a filled row as high as the texts of those columns need, and
    // has a text wider than its column wrap rather than be cut. A row is
    // never made lower than it is.
    virtual void FitRowText(int row, const std::vector<int> &cols) = 0;

    // The cell's value as text, the same way on every back-end.
    QString Text(int row, int col) const;

    // A value as the text it shows: numbers with "." and no needless
    // decimals, dates as dd.MM.yyyy.
    static QString ValueText(const QVariant &value);
    // A value as a cell holds it: whole and real numbers become doubles, a
    // date its day number, an empty text nothing.
    static QVariant CellValue(const QVariant &value);
    // Days since 30.12.1899, the day numbers workbooks count dates in.
    static double DayNumber(const QDate &date);
};
