#pragma once

#include "xls/records/ExcelString.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

class TBaseRecord;

// The shared-string table. Entries keep the order they were read in, so a
// save writes the same indexes back; lookups for new text go through a hash
// table built when the first text is added. Entries nothing refers to are
// dropped on save.
class TSST
{
public:
    TSST();
    ~TSST();

    void Clear();
    // Reads the SST record with its CONTINUE chain. A count the data cannot
    // hold raises before anything is allocated for it.
    void Load(const TBaseRecord &sstRecord);
    // Builds the lookup for new texts.
    void Sort();

    int Count() const { return int(FEntries.size()); }
    // The text of an entry; empty for an index the table does not have.
    QString Text(quint32 index) const;
    // The entry as read when it has rich-text runs or an extension block;
    // null for a plain entry or an index the table does not have.
    const TExcelString *RichString(quint32 index) const;
    // The index of a plain string with that text, added when missing.
    quint32 AddString(const QString &text);

    // Keeps only the entries whose flag is set, in their order; gives the new
    // index of each kept entry in newIndex (old index -> new index).
    void Compact(const std::vector<bool> &used, std::vector<quint32> &newIndex);

    // The SST record (with CONTINUE records) for the entries; totalRefs is the
    // number of cells that use the table.
    std::unique_ptr<TBaseRecord> BuildRecord(quint32 totalRefs) const;

private:
    // A plain string is its text alone; a string with rich-text runs or an
    // extension block keeps them in its TExcelString. Tables hold hundreds of
    // thousands of strings, so the plain ones stay small.
    struct TEntry
    {
        QString Text;
        std::unique_ptr<TExcelString> Rich;
    };
    // The lookup of plain strings: open addressing with linear probing over
    // a power-of-two table kept at most half full. A slot holds the text's
    // hash and its entry index + 1 (0: free), so a probe compares texts only
    // when the hashes agree. Filling a template adds a text per cell: this
    // neither allocates per lookup nor copies the text.
    struct TSlot
    {
        quint32 Hash = 0;
        quint32 Entry = 0;
    };
    static quint32 Hash(QStringView text);
    // The slot holding the text, or the free slot where it belongs.
    TSlot &Probe(QStringView text, quint32 hash);
    void Remember(quint32 index, quint32 hash);
    void Grow();

    std::vector<TEntry> FEntries;
    std::vector<TSlot> FSlots;
    size_t FFilled = 0;
    bool FSorted = false;
};
