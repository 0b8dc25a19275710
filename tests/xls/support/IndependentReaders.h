#pragma once

// Runs readers we did not write on spreadsheet and compound-document files, for
// tests: xlrd (cell values), olefile and libgsf (streams), LibreOffice (CSV).
// Each call starts one process with Debian's /usr/bin/python3, gsf or soffice
// and raises std::runtime_error with the tool's error output when it fails.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace IndependentReaders {

// Path of a fixture under tests/fixtures/xls.
QString fixture(const QString &name);
// A fresh, empty scratch folder under $KESTRUN_TEST_TMP (or the system temp folder).
QString scratchDir(const QString &name);

// ---- xlrd ----
struct XlrdCell
{
    enum Kind { Empty = 0, Text = 1, Number = 2, Date = 3, Boolean = 4, Error = 5, Blank = 6 };
    Kind kind = Empty;
    QString text;      // Text
    double number = 0; // Number, Date (serial), Boolean (0/1), Error (xlrd's error code)
};

struct XlrdRange { int firstRow, lastRow, firstCol, lastCol; }; // inclusive, 0-based

struct XlrdSheet
{
    QString name;
    int visibility = 0; // 0 visible, 1 hidden, 2 very hidden
    QVector<QVector<XlrdCell>> rows;
    QVector<XlrdRange> merged;
    // The cell at (row, col), 0-based; Empty outside the used range.
    XlrdCell cell(int row, int col) const;
};

struct XlrdBook
{
    QVector<XlrdSheet> sheets;
    QStringList names; // defined names
};

XlrdBook readWithXlrd(const QString &file);

// ---- olefile and libgsf ----
struct OleEntry
{
    QString path;       // "Macros/VBA/dir"; the root is ""
    bool storage = false;
    QByteArray data;    // streams only
    QByteArray classId; // 16 bytes as stored
    quint64 creationTime = 0, modificationTime = 0; // raw FILETIME
};

// Every entry olefile finds, root included, keyed by path.
QMap<QString, OleEntry> listWithOlefile(const QString &file);

// Streams and storages as `gsf list` shows them: path -> size (-1 for storages).
QMap<QString, qint64> listWithGsf(const QString &file);
// One stream's bytes through `gsf cat`.
QByteArray catWithGsf(const QString &file, const QString &path);

// ---- LibreOffice ----
// Converts all files with one soffice call (a throw-away profile) into outDir;
// convertTo is soffice's --convert-to argument.
void convertWithSoffice(const QStringList &files, const QString &outDir, const QString &convertTo);
// Converts workbooks to one CSV per sheet (<book>-<sheet>.csv in outDir), with
// the values or the formulas as text, the same way the fixtures' CSV were made.
void exportCsvWithSoffice(const QStringList &files, const QString &outDir, bool formulas);
// The pictures of a PDF as poppler's `pdfimages -list` sees them: one
// "width x height" per picture, in page order.
QStringList listPdfImages(const QString &pdf);
// Parses a UTF-8 CSV file (",", '"' quoting) into rows of fields.
QVector<QStringList> readCsv(const QString &file);

// ---- poppler ----
// A word of a PDF page as pdftotext places it, in points from the top left.
struct PdfWord
{
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString text;
};
QVector<PdfWord> pdfWords(const QString &pdf);
// What a reader of the printed pages would stumble on, one line each: a
// placeholder left ("["), a number too wide for its column ("###"), and
// words printed over one another (text running over a neighbouring row or
// cell).
QStringList printFaults(const QVector<PdfWord> &words);

} // namespace IndependentReaders
