#pragma once

#include "xls/records/BaseRecordList.h"

#include <QString>

#include <memory>

class ByteCursor;
struct TSheetInfo;

// One substream of the workbook, from its BOF to the matching EOF, held as
// records. Substreams nested inside it (charts in a sheet) are kept raw.
class TSheet
{
public:
    TSheet() = default;
    virtual ~TSheet() = default;
    TSheet(const TSheet &) = delete;
    TSheet &operator=(const TSheet &) = delete;

    // Reads records after bof up to the matching EOF. A stream that ends first
    // is a bad file.
    void LoadFromStream(ByteCursor &stream, std::unique_ptr<TBaseRecord> bof);
    virtual void SaveToStream(QIODevice &stream) const;
    // The bytes SaveToStream writes.
    qint64 TotalSize() const;
    virtual std::unique_ptr<TSheet> Clone() const;
    // This sheet as a worksheet, or null; asked for every cell read.
    virtual class TWorkSheet *AsWorkSheet() { return nullptr; }

    // The sheet's tab is selected (WINDOW2); a sheet without WINDOW2 never is.
    bool Selected() const;
    void SetSelected(bool selected);

    QString CodeName() const;
    void SetCodeName(const QString &name);

    const TBaseRecordList &Records() const { return FRecords; }
    // For the file object's operations on the sheet's own records (merged
    // cells, links, margins); cells go through the worksheet's cell list.
    TBaseRecordList &Records() { return FRecords; }

    // Moves the sheet's own positioned records (merged cells, notes, links...)
    // for rows or columns inserted (negative counts: deleted).
    void ShiftRecords(int rowPos, int rowCount, const TSheetInfo &info, int colCount, int colPos);

protected:
    // A record of the sheet's own level, in file order.
    virtual void LoadRecord(std::unique_ptr<TBaseRecord> record);
    // Reads the record at the stream's position, of the sheet's own level,
    // without a record object when the sheet has a quicker way for it;
    // returns false, the stream untouched, for LoadRecord to have it.
    virtual bool LoadRecordInPlace(ByteCursor &stream)
    {
        Q_UNUSED(stream);
        return false;
    }
    virtual void LoadFinished() {}
    // Copies the records of other into this empty sheet. A copied WINDOW2
    // is never selected, so neither is the copy.
    virtual void CopyFrom(const TSheet &other);
    template <class T>
    std::unique_ptr<TSheet> CloneAs() const
    {
        auto copy = std::make_unique<T>();
        copy->CopyFrom(*this);
        return copy;
    }

    TBaseRecordList FRecords;
};

// A chart sheet: kept as read.
class TXlsChart : public TSheet
{
public:
    std::unique_ptr<TSheet> Clone() const override;
};

// Any other substream (macro sheets, modules): kept as read.
class TXlsUnsupportedSheet : public TSheet
{
public:
    std::unique_ptr<TSheet> Clone() const override;
};
