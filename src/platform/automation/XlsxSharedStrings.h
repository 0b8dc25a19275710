#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

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
    // Items without formatting runs, which a plain text may share, by their
    // text: open addressing with each item's hash kept in its slot, so a probe
    // compares a text only when the hashes agree. A hash table probing through
    // the strings themselves took most of a large fill's time.
    struct Slot
    {
        quint32 hash = 0;
        int item = -1; // none
    };
    size_t findPlain(QStringView text, quint32 hash) const; // its slot, or the free one where it goes
    void reservePlain();
    void addPlain(int item);

    QByteArray m_original;
    QString m_name;
    QStringList m_items;
    std::vector<Slot> m_plain; // a power of two long, at most half full
    int m_plainCount = 0;
    int m_read = 0;
};
