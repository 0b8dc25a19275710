#pragma once

#include <QString>
#include <QVariant>

class TExpXLSOLE;
struct AgencyOffice;

// The steps every annex workbook shares: its template opened in the filler
// with zeros written as 0, tags, and the result saved under its name.
class AnnexWorkbook
{
public:
    explicit AnnexWorkbook(TExpXLSOLE &filler) : m_x(filler) {}

    // A carried template written to a temporary name with that prefix.
    void openResource(const QString &resource, const QString &prefix);
    // A template of the data folder (or any path).
    void openFile(const QString &path);
    // "[LUNA]" and "[ANUL]" from the working month "MM.YYYY".
    void monthTags(const QString &monthText);
    // The office's tags of the beneficiary lists: county name, UAT, fiscal
    // code, mayor and the one who prepared them.
    void officeTags(const AgencyOffice &office);
    // The tags of the supplement lists and the supplier annexes.
    void listTags(const AgencyOffice &office);
    // Saves the working copy durably as that file.
    void saveAs(const QString &path);

    TExpXLSOLE &filler() { return m_x; }

private:
    TExpXLSOLE &m_x;
};
