#pragma once

#include "xls/records/ExcelString.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <vector>

class TBaseRecord;

// The shared-string table. Entries keep the order they were read in, so a
// save writes the same indexes back; lookups for new text go through a hash
// table built when the first text is added. Entries nothing refers to are
// dropped on save.
//
// Tables hold hundreds of thousands of strings: the texts stand one after
// another in one block of UTF-16, and only the few strings with rich-text
// runs or an extension block keep a TExcelString beside.
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

    int Count() const { return int(FEnds.size()); }
    // The text of an entry; empty for an index the table does not have.
    QString Text(quint32 index) const;
    // The entry as read when it has rich-text runs or an extension block;
    // null for a plain entry or an index the table does not have.
    const TExcelString *RichString(quint32 index) const;
    // The index of a plain string with that text, added when missing.
    quint32 AddString(const QString &text);
    // A new entry for a string with rich-text runs; new plain texts never
    // take it.
    quint32 AddRichString(const TExcelString &string);

    // Keeps only the entries whose flag is set, in their order; gives the new
    // index of each kept entry in newIndex (old index -> new index).
    void Compact(const std::vector<bool> &used, std::vector<quint32> &newIndex);

    // The SST record (with CONTINUE records) for the entries; totalRefs is the
    // number of cells that use the table.
    std::unique_ptr<TBaseRecord> BuildRecord(quint32 totalRefs) const;
    // The same record, made from the table as it is written rather than held
    // whole: the table must not change until it is written.
    std::unique_ptr<TBaseRecord> TableRecord(quint32 totalRefs) const;
    // Hands the data of each record of BuildRecord to sink, in order.
    void WriteRecords(quint32 totalRefs, const std::function<void(QByteArrayView)> &sink) const;
    // The same records counted: sink sees each record's size, its bytes are
    // not filled in.
    void CountRecords(quint32 totalRefs, const std::function<void(QByteArrayView)> &sink) const;

private:
    void CutRecords(quint32 totalRefs, const std::function<void(QByteArrayView)> &sink, bool fill) const;
    QStringView TextView(quint32 index) const
    {
        const quint32 start = index == 0 ? 0 : FEnds[index - 1];
        return QStringView(FChars.data() + start, qsizetype(FEnds[index] - start));
    }
    void AppendText(QStringView text);
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

    std::vector<char16_t> FChars;  // every entry's text, one after another
    std::vector<quint32> FEnds;    // where each entry's text ends in FChars
    // The entries with rich-text runs or an extension block, by index.
    std::vector<std::pair<quint32, std::unique_ptr<TExcelString>>> FRich;
    std::vector<TSlot> FSlots;
    size_t FFilled = 0;
    bool FSorted = false;
};
