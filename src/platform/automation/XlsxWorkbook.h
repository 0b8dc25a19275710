#pragma once

#include "platform/automation/XlsxStyles.h"
#include "platform/automation/ZipPackage.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>
#include <memory>
#include <vector>

class XlsxSharedStrings;

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi

// A workbook package (.xlsx) opened in place: the stand-in for driving a
// spreadsheet application. Cells are read and written with the same meaning
// as in the BIFF8 engine: text stays text (leading zeros kept), numbers stay
// numbers. Rows and columns are numbered from 1. Parts that are not changed
// are written back byte for byte.
class XlsxWorkbook
{
public:
    XlsxWorkbook();
    ~XlsxWorkbook();

    // "PK\3\4" at the start: a zip package, not a compound document.
    static bool hasSignature(const QString &path);

    void open(const QString &path);
    void save();  // in place, through a temporary file
    void close(); // without saving
    bool isOpen() const;

    int sheetCount() const;
    QString sheetName(int n) const;
    int activeSheet() const { return m_active; }
    void activateSheet(int n); // nothing happens outside 1..sheetCount

    int maxRow() const; // last row holding a cell; 0 when none
    int maxCol() const;
    QVariant value(int row, int col) const; // invalid, double, bool or QString
    QString text(int row, int col) const;
    void setValue(int row, int col, const QVariant &value);

    // count copies of the row inserted at that row; everything below moves
    // down by count (cells, merged areas, formulas of every sheet, defined
    // names, conditional formats, validations). A count below 1 does nothing.
    void insertRowCopies(int row, int count);

    static QString numberText(double d);

    // The look of the cell's format (the default format's for no cell).
    XlsxStyles::Look cellLook(int row, int col) const;
    // Gives the cell a copy of its format that wraps its text.
    void wrapCell(int row, int col);
    // Column width in characters, row height in points, as the sheet gives
    // them or its defaults.
    double columnWidth(int col) const;
    double rowHeight(int row) const;
    // A height of the row's own, kept by every reader; a row without cells
    // keeps the sheet's.
    void setRowHeight(int row, double points);

private:
    struct Sheet
    {
        QString name;
        QString part; // e.g. "xl/worksheets/sheet1.xml"
        std::unique_ptr<pugi::xml_document> doc;
        bool dirty = false;
        bool indexed = false; // rows below is built on first use
        bool formulas = false; // a cell held a formula when the rows were indexed
        std::map<int, void *> rows; // row number -> its <row> element
        int lastRow = 0; // the row written last and its element: a row is
        void *lastRowElement = nullptr; // written cell after cell
    };

    Sheet &sheet(int n) const;
    pugi::xml_document &sheetDoc(int n) const;
    pugi::xml_node findCell(int row, int col) const;
    pugi::xml_node cellForWrite(int row, int col);
    XlsxSharedStrings &sharedStrings() const;
    XlsxStyles &styles() const;
    void relateSharedStrings();
    void shiftOtherSheets(int row, int count);
    void shiftDefinedNames(int row, int count);
    void dropCalcChain();
    void requestRecalculation();
    void dropCachedResults();
    void updateDimension(pugi::xml_node ws);

    ZipPackage m_zip;
    QString m_path;
    mutable std::unique_ptr<XlsxSharedStrings> m_strings; // read on first use
    QString m_stringsPart;        // e.g. "xl/sharedStrings.xml"
    mutable std::unique_ptr<XlsxStyles> m_styles; // read on first use
    QString m_stylesPart;         // e.g. "xl/styles.xml"
    bool m_stringsRelated = false; // the workbook's relationships name the part
    mutable std::vector<Sheet> m_sheets;
    std::unique_ptr<pugi::xml_document> m_workbook;
    bool m_workbookDirty = false;
    bool m_recalculationRequested = false;
    int m_active = 0;
};
