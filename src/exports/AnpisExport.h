#pragma once

#include <QString>

class QIODevice;
class TDataSet;
class TQuery;

// "Export Date ANPIS - XML": the working month's requests with an aid total
// above zero, with their address, rights, members and income, as the national
// agency's file Date_<fiscal code>v2.xml. The user sends the file on.
class AnpisExport
{
public:
    // What the file says of the office and the month.
    struct Office
    {
        QString judet, cifuat, primaria;
        QString month;   // "MM.YYYY"
        double cu1 = 0;  // the first bracket's amount, the base of the percentage; never 0
        // From the administration settings and the main window.
        static Office current();
    };

    // The menu command of the main window.
    static void ExportDateAJPISXML1Click();

    // "Date_" + the fiscal code's digits + "v2.xml"; empty when it has none,
    // so no folder or odd character can reach the file name.
    static QString fileName(const QString &fiscalCode);

    // The requests of the month with a total above zero, by registration number.
    static void selectRequests(TQuery &query, const QString &dataDir, int monthCode);
    // The members of those requests, by request and member number.
    static void selectMembers(TQuery &query, const QString &dataDir, int monthCode);

    // Writes the document for the open requests and members.
    static void write(QIODevice &out, const Office &office, TDataSet &requests, TDataSet &members);
};
