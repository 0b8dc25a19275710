#pragma once

#include "documents/EngineFillBackEnd.h"
#include "documents/XlsxFillBackEnd.h"
#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XlsImport.h"

#include <QString>
#include <QVariant>

class TDataSet;

// Fills spreadsheet templates: opens a working copy of a template, replaces
// tags, writes cells, copies rows and expands the "#DBF" row over the records
// of a dataset, then saves the copy and shows it or leaves it to the caller.
// .xls templates go through the file engine (XCell), .xlsx ones through the
// package back-end; the template's first bytes decide. One workbook is open
// at a time; rows, columns and sheets are numbered from 1 and every operation
// acts on the active sheet. With nothing open the operations raise the
// engine's "There is no open file".
class TExpXLSOLE
{
public:
    TExpXLSOLE();
    ~TExpXLSOLE();
    TExpXLSOLE(const TExpXLSOLE &) = delete;
    TExpXLSOLE &operator=(const TExpXLSOLE &) = delete;

    TXLSAdapter XLS1;  // never overwrites an existing file
    TXlsImport XCell;  // the engine's facade over XLS1

    // Written by FillFromDataSet wherever a numeric field is zero; reset to
    // the empty string (an empty cell) by OpenTemplate.
    QVariant BlankValue;

    // Closes the workbook open before, then opens a working copy of the
    // template. False, with no workbook open, when the template is missing;
    // a template that cannot be read raises with the reader's own message,
    // and no free temporary name raises the core's. useOle asks for
    // spreadsheet automation; here the template's format alone chooses the
    // back-end.
    bool OpenTemplate(const QString &templatePath, bool useOle);
    // Nothing happens for a sheet number outside 1..sheet count.
    void SelectSheet(int sheet);
    // Replaces the tag (ASCII letters without regard to case) in every cell of
    // the active sheet. A cell that is the tag alone takes the value itself;
    // in a longer text the value's text is put in place of each occurrence.
    void ReplaceTag(const QString &tag, const QVariant &value);
    void SetCell(int row, int col, const QVariant &value);
    // Inserts count copies of the row at that row; a count below 1 does nothing.
    void CopyRows(int row, int count);
    // Expands the row holding "#DBF" over the records of an open dataset: one
    // row per record, "%NRCRT" the running number, "#FIELD" the field's value.
    // The dataset is left on the record it stood on, also after an error.
    void FillFromDataSet(TDataSet &dataSet);
    // Saves the working copy and closes it.
    void Save();
    // Saves the workbook as a new document "<name>" of the clerk's document
    // folder (see DocumentFolder) and opens it with the default application;
    // answers where it lies.
    QString SaveAndShow(const QString &name);

    // Saves and closes the working copy without showing it, and makes it the
    // file at target: renamed when both lie on one disk, else copied through
    // the durable path and removed.
    void SaveTo(const QString &target);

    // The file Save writes.
    QString WorkingCopy() const { return m_workingCopy; }
    // True while an .xlsx workbook is open.
    bool UsesAutomation() const { return m_backEnd == &m_xlsx; }

private:
    void CloseWorkbook();
    int FindTemplateRow();
    void FillRecords(TDataSet &dataSet, int templateRow);
    void ClearRow(int row);

    TEngineFillBackEnd m_engine;
    TXlsxFillBackEnd m_xlsx;
    TXlsFillBackEnd *m_backEnd;
    QString m_workingCopy;
};

// The one filler of the program.
TExpXLSOLE &ExpXLSOLE();
