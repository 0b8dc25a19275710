#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// The workbook's shared-string table. A text written to many cells is stored
// once and the cells name it by index, as spreadsheet programs write them:
// a large filled sheet is then a fraction of the bytes to write and compress.
class XlsxSharedStrings
{
public:
    // The items of the package's part (none when the package has no part).
    void load(const QByteArray &part, const QString &name);
    int size() const { return static_cast<int>(m_items.size()); }
    QString at(int i) const; // empty outside the table
    // The index of a plain item holding the text; one is added when there is none.
    int add(const QString &text);
    bool grown() const { return size() > m_read; }
    // The part as loaded with the added items after its own.
    QByteArray part() const;

private:
    QByteArray m_original;
    QString m_name;
    QStringList m_items;
    QHash<QString, int> m_plain; // items without formatting runs, which a plain text may share
    int m_read = 0;
};
