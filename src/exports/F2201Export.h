#pragma once

#include "platform/io/DurableFile.h"

#include <QByteArray>
#include <QBuffer>
#include <QDate>
#include <QDateTime>
#include <QStringList>

#include <memory>

class TQuery;
class XmlOut;

// "Formularul F 2201 ANAF - XML": the adults of the working month's granted
// requests, applicants and members, each person once, as the tax authority's
// form F2201 in files F2201_1.xml, F2201_2.xml ... The user loads them into
// the authority's validation program.
class F2201Export
{
public:
    // The menu command of the main window.
    static void FormularulF2201ANAFXML1Click();

    // A new file starts at every position of the selection that is a multiple
    // of this (minors skipped count too): 1-500, 501-1001, 1002-1502 ...
    static constexpr int SplitAt = 501;

    // Builds the persons table of the month (a new dBase table at `table`)
    // and leaves the query holding the selection of persons, by name.
    static void selectPersons(TQuery &query, const QString &table, const QString &dataDir, int monthCode);
    // Adults only: someone who turns 18 today is not yet exported. An unknown
    // birth date (invalid) counts as an adult's.
    static bool isExported(const QDate &born, const QDate &today);
    // The first file's Req_id for a run started at `now`: the whole part of
    // (day count since 30.12.1899 with the time as fraction - 2017) * 10^7, plus 1.
    static qint64 firstRequestId(const QDateTime &now);
    // The schema reference of a file written into `folder`, the path as a
    // percent-encoded "file:" reference.
    static QString schemaLocation(const QString &folder);

private:
    F2201Export(const QString &folder, const QString &fiscalCode, const QDateTime &now);
    ~F2201Export();

    // Raises the request counter and starts a new document as the current one.
    void StartF2201Document();
    // Ends the current document and keeps it for writing under the next file number.
    void saveDocument();
    // Walks the selection into the documents; returns the codes whose birth date is no real date.
    QStringList writePersons(TQuery &persons, const QDate &today);
    void commit() { m_files.commit(); }

    QString m_folder;
    QString m_fiscalCode;
    qint64 m_requestId;
    int m_fileCounter = 0;
    QByteArray m_bytes;
    QBuffer m_buffer;
    std::unique_ptr<XmlOut> m_doc;
    DurableFileSet m_files;
};
