#pragma once

#include "reports/pages/BRFileHeader.h"
#include "reports/pages/BROutline.h"
#include "reports/pages/BRPageBody.h"
#include "reports/pages/BRStream.h"

#include <QMutex>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// The pages of a report in their stream: a header, then one record per page,
// linked both ways so any page can be found again.
//
// Page record:
//   4  i32  page number (1-based)
//   4  u32  forward link: stream offset of the record's end (the next record)
//   n       body: uncompressed, the page's bytes; compressed, u32 length of
//           the page's bytes, then the coded bits
//   4  u32  backward link: stream offset of the record's start
//
// Adding and reading take the list's lock, so a page is always added or read whole.
class TBRPageList
{
public:
    TBRPageList();
    ~TBRPageList();

    void SetStream(std::unique_ptr<TBRStream> stream);
    TBRStream *Stream() const { return m_stream.get(); }
    bool Compression() const { return m_compression; }
    void SetCompression(bool on) { m_compression = on; }
    int PageCount() const;

    void AddPage(const TBRPageBody &page);
    // Page n, or nothing for n outside 1..PageCount. A damaged page raises EBRError.
    std::optional<TBRPageBody> ReadPage(int n);
    // Leaves the stream at the start of page n's record.
    void SeekToPage(int n);
    void SeekToFirstPage() { SeekToPage(1); }
    void SeekToLastPage() { SeekToPage(PageCount()); }

    // Writes the header with the current page count (again at the end of a run).
    void WritePageListHeader();
    void ClearPages();

    // Opens a saved report after checking its header, page count and every
    // link; a bad file raises EBRError and leaves the list as it was.
    void LoadFromFile(const QString &path);
    void SaveToFile(const QString &path);
    QDateTime CreationTime() const;
    int HeaderSize() const { return m_headerSize; }

    void LockPages() { m_lock.lock(); }
    void UnlockPages() { m_lock.unlock(); }
    TBROutline &Outline() { return m_outline; }

private:
    QByteArray readAt(qint64 pos, qint64 n);

    mutable QRecursiveMutex m_lock;
    bool m_compression = false;
    int m_pageCount = 0;
    int m_headerSize = TBRFileHeader::Size;
    double m_created = 0;
    std::unique_ptr<TBRStream> m_stream;
    std::vector<qint64> m_records; // start of each page's record
    TBROutline m_outline;
};
