#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class TExpXLSOLE;
class TXlsImport;

// Adds the annex workbooks of one annex number, made by several offices or
// runs, into one: annexes 23 and 24 cell by cell, the lists (15, 16 ...) by
// appending the numbered rows of every workbook to the first one. The files
// chosen are only read; the result is a new workbook.
class AnnexMerger
{
public:
    // The filler edits the result; the reader reads the other workbooks.
    AnnexMerger(TExpXLSOLE &filler, TXlsImport &reader) : m_x(filler), m_reader(reader) {}

    // The number an annex workbook carries in row 1 of its first sheet
    // (column 15 for annexes 23 and 24, column 10 for the others): its last
    // two characters; 0 when they are no number or the file cannot be read,
    // and then `why` (when given) holds the engine's reason.
    int AnnexNumberOf(const QString &path, int annex, QString *why = nullptr);

    // Merges the files (the first is the base) and returns the merged
    // workbook, written whole under a new temporary name. askDuplicates is
    // asked, for the lists only, whether repeated personal codes are flagged.
    QString Merge(int annex, const QStringList &paths, const std::function<bool()> &askDuplicates);

    // Annexes 23 and 24 are tables of counts and sums; the others are lists.
    static bool IsTable(int annex) { return annex == 23 || annex == 24; }

private:
    void addTables(const QStringList &paths);
    void appendLists(const QStringList &paths);
    void appendSheet(int sheet, const QStringList &sources);
    void flagDuplicates();

    TExpXLSOLE &m_x;
    TXlsImport &m_reader;
};
