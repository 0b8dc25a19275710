#pragma once

#include <QString>
#include <QStringList>

class TDataSet;
class TField;
class TQuery;

// The small rules the request documents share: how values are written, where
// the tables and templates lie, how the work query is run.
namespace DocumentValues {

// "domnului" for the first CNP digit of a man (1, 3, 5, 7), else "doamnei".
QString courtesyTitle(const QString &cnp);

// Whole number, a half going to the even neighbour (80.5 -> 80, 81.5 -> 82).
QString wholeEven(double value);
// The numbers of a document's name: "9-10", or "9" when both are alike.
QString numberRange(const QString &first, const QString &last);
// "dd.MM.yyyy"; empty for a null date.
QString date(const TField *field);

// A column of the current row: its text (numbers in general form, dates
// "dd.MM.yyyy", null as empty) and its number (null as 0).
QString text(const TDataSet &row, const char *name);
double value(const TDataSet &row, const char *name);

// What a granted request holds, as one clause of a sentence: the aid clause
// when the monthly aid rounds above 0, followed by joiner and the supplement
// clause when there is a supplement too; else the supplement clause alone,
// so that no document speaks of an aid of 0 lei or of its bracket.
QString rights(const TDataSet &row, const QString &aid, const QString &joiner, const QString &supplement);

// The address parts trimmed and joined by ", ", leaving out the empty ones:
// a missing street or locality leaves no lone comma in a sentence.
QString address(const QStringList &parts);

// The surname before the first blank and the given names after it; a name
// without a blank gives itself for both.
QPair<QString, QString> splitInline(const QString &full);

// A file of the data folder as it lies on disk, whatever the case of its
// letters (templates copied from Windows may be upper case); the data folder
// path with the name as given when there is none.
QString dataFile(const QString &name);
// The working month's code from the main window; 0 when none is chosen.
int workingMonth();

// Replaces the query's text by these lines and opens it.
void openQuery(TQuery &query, const QStringList &lines);

// Closes the work query when the command leaves, whatever the path.
class QueryScope
{
public:
    explicit QueryScope(TQuery &query) : m_query(query) {}
    ~QueryScope();
    QueryScope(const QueryScope &) = delete;
    QueryScope &operator=(const QueryScope &) = delete;

private:
    TQuery &m_query;
};
// Lets the window repaint without letting a second command start.
void letWindowsRun();

} // namespace DocumentValues
