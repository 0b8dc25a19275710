// Every workbook of the fixture corpus, opened and saved unchanged, reads back
// the same in readers we did not write, and keeps its records and its other
// streams.
#include "xls/support/IndependentReaders.h"
#include "xls/workbook/XLSFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <gtest/gtest.h>

using namespace IndependentReaders;

namespace {

const char *const CorpusBooks[] = {"lo-basic",   "lo-longtext",     "lo-picture", "lo-manystrings",
                                   "xlwt-basic", "writeexcel-basic"};

QString Saved(const QString &source, const QString &dir, const QString &name)
{
    TXLSFile file(nullptr, true);
    file.Connect();
    file.OpenFile(source);
    const QString out = dir + QLatin1Char('/') + name + QStringLiteral(".xls");
    file.Save(out);
    return out;
}

// The saved copies, made once for all tests of this file.
const QString &SavedDir()
{
    static const QString dir = [] {
        const QString d = scratchDir(QStringLiteral("workbook-corpus"));
        for (const char *name : CorpusBooks)
            Saved(fixture(QString::fromLatin1(name) + QStringLiteral(".xls")), d,
                  QString::fromLatin1(name));
        return d;
    }();
    return dir;
}

QString SavedPath(const char *book)
{
    return SavedDir() + QLatin1Char('/') + QString::fromLatin1(book) + QStringLiteral(".xls");
}

bool SameCell(const XlrdCell &a, const XlrdCell &b)
{
    // Formulas are saved for recalculation, so xlrd sees an error placeholder
    // in their place; LibreOffice, which recalculates, checks their values.
    if (b.kind == XlrdCell::Error && a.kind != XlrdCell::Error)
        return true;
    return a.kind == b.kind && a.text == b.text && a.number == b.number;
}

struct TRawRecord
{
    quint16 id;
    QByteArray data;
    bool operator<(const TRawRecord &o) const { return id != o.id ? id < o.id : data < o.data; }
    bool operator==(const TRawRecord &o) const = default;
};

quint16 Word(const QByteArray &d, int at)
{
    return quint16(quint8(d[at]) | quint8(d[at + 1]) << 8);
}

// The records of a Workbook stream the way a save is allowed to change them:
// - index and cache records (EXTSST, DBCELL, INDEX, XCT, CRN, RECALCID,
//   MSODRAWINGSELECTION), STRING and SHRFMLA are not written again, and the
//   string table is rebuilt (its texts are checked through the readers);
// - sheet stream positions move, formulas get the recalculation placeholder;
// - runs of RK and blank cells are written as MULRK and MULBLANK, so both
//   sides are compared cell by cell, and the cell block (ROW and cell
//   records) is compared as a set, since rows are written in blocks of 32.
QVector<QVector<TRawRecord>> NormalisedSubstreams(const QByteArray &stream)
{
    static const QList<quint16> dropped = {0x00FF, 0x00D7, 0x020B, 0x0059, 0x005A,
                                           0x01C1, 0x00ED, 0x0207, 0x04BC};
    static const QList<quint16> cells = {0x0208, 0x0006, 0x00FD, 0x0201, 0x0203,
                                         0x0204, 0x0205, 0x027E};
    QVector<QVector<TRawRecord>> result;
    QVector<TRawRecord> block;
    quint16 owner = 0;
    for (int p = 0; p + 4 <= stream.size();) {
        const quint16 id = Word(stream, p), size = Word(stream, p + 2);
        QByteArray data = stream.mid(p + 4, size);
        p += 4 + size;
        if (id == 0 && size == 0)
            break;
        if (id != 0x003C)
            owner = id;
        if (id == 0x0809)
            result.append(QVector<TRawRecord>());
        if (dropped.contains(id) || id == 0x00FC || (id == 0x003C && owner == 0x00FC))
            continue;
        if (id == 0x0085)
            data.replace(0, 4, QByteArray(4, '\0'));
        if (id == 0x0006)
            data = data.left(6) + QByteArray(8, '\0') + char(data[14] & ~0x02) + data.mid(15, 1);
        if (id == 0x00BD || id == 0x00BE) {
            const int width = id == 0x00BD ? 6 : 2;
            for (int at = 4, col = Word(data, 2); at + width <= data.size() - 2; at += width, ++col) {
                QByteArray cell = data.left(2) + char(col & 0xFF) + char(col >> 8)
                                  + data.mid(at, width);
                block.append({quint16(id == 0x00BD ? 0x027E : 0x0201), cell});
            }
            continue;
        }
        if (cells.contains(id)) {
            block.append({id, data});
            continue;
        }
        if (!block.isEmpty()) {
            std::sort(block.begin(), block.end());
            result.last() += block;
            block.clear();
        }
        if (!result.isEmpty())
            result.last().append({id, data});
    }
    return result;
}

QByteArray WorkbookStreamOf(const QString &file)
{
    return listWithOlefile(file).value(QStringLiteral("Workbook")).data;
}

}  // namespace

TEST(CorpusRoundTrip, XlrdReadsTheSameCells)
{
    for (const char *book : CorpusBooks) {
        SCOPED_TRACE(book);
        const XlrdBook before = readWithXlrd(fixture(QString::fromLatin1(book) + ".xls"));
        const XlrdBook after = readWithXlrd(SavedPath(book));
        ASSERT_EQ(after.sheets.size(), before.sheets.size());
        EXPECT_EQ(after.names, before.names);
        for (int s = 0; s < before.sheets.size(); ++s) {
            const XlrdSheet &a = before.sheets[s], &b = after.sheets[s];
            EXPECT_EQ(b.name, a.name);
            EXPECT_EQ(b.visibility, a.visibility);
            EXPECT_EQ(b.merged.size(), a.merged.size());
            ASSERT_EQ(b.rows.size(), a.rows.size()) << a.name.toStdString();
            int checked = 0;
            for (int r = 0; r < a.rows.size(); ++r) {
                for (int c = 0; c < a.rows[r].size(); ++c, ++checked) {
                    EXPECT_TRUE(SameCell(a.cell(r, c), b.cell(r, c)))
                        << a.name.toStdString() << " row " << r << " col " << c;
                }
            }
            EXPECT_EQ(checked > 0, a.rows.size() > 0);
        }
    }
}

TEST(CorpusRoundTrip, RecordsChangeOnlyWhereASaveRewritesThem)
{
    for (const char *book : CorpusBooks) {
        SCOPED_TRACE(book);
        const auto before = NormalisedSubstreams(
            WorkbookStreamOf(fixture(QString::fromLatin1(book) + ".xls")));
        const auto after = NormalisedSubstreams(WorkbookStreamOf(SavedPath(book)));
        ASSERT_EQ(after.size(), before.size());
        for (int s = 0; s < before.size(); ++s) {
            ASSERT_EQ(after[s].size(), before[s].size()) << "substream " << s;
            for (int i = 0; i < before[s].size(); ++i) {
                ASSERT_EQ(after[s][i].id, before[s][i].id) << "substream " << s << " record " << i;
                EXPECT_EQ(after[s][i].data.toHex().toStdString(),
                          before[s][i].data.toHex().toStdString())
                    << "substream " << s << " record " << i << " id " << std::hex
                    << before[s][i].id;
            }
        }
    }
}

TEST(CorpusRoundTrip, OtherStreamsKeepTheirBytesInBothReaders)
{
    for (const char *book : CorpusBooks) {
        SCOPED_TRACE(book);
        const QString source = fixture(QString::fromLatin1(book) + ".xls");
        const auto before = listWithOlefile(source);
        const auto after = listWithOlefile(SavedPath(book));
        EXPECT_EQ(after.keys(), before.keys());
        for (const auto &entry : before) {
            if (entry.path == QStringLiteral("Workbook"))
                continue;
            EXPECT_EQ(after.value(entry.path).data, entry.data) << entry.path.toStdString();
            EXPECT_EQ(after.value(entry.path).classId, entry.classId) << entry.path.toStdString();
        }
        const auto gsfBefore = listWithGsf(source);
        const auto gsfAfter = listWithGsf(SavedPath(book));
        EXPECT_EQ(gsfAfter.keys(), gsfBefore.keys());
        for (auto it = gsfBefore.begin(); it != gsfBefore.end(); ++it) {
            if (it.key() != QStringLiteral("Workbook")) {
                EXPECT_EQ(gsfAfter.value(it.key()), it.value()) << it.key().toStdString();
            }
        }
        EXPECT_EQ(catWithGsf(SavedPath(book), QStringLiteral("Workbook")),
                  after.value(QStringLiteral("Workbook")).data);
    }
}

TEST(CorpusRoundTrip, LibreOfficeReadsTheSameValues)
{
    const QString out = scratchDir(QStringLiteral("workbook-corpus-csv"));
    QStringList files;
    for (const char *book : CorpusBooks)
        files << SavedPath(book);
    exportCsvWithSoffice(files, out, false);
    const QDir expectedDir(QStringLiteral(KESTRUN_FIXTURES "/xls/values"));
    int compared = 0;
    for (const QFileInfo &expected : expectedDir.entryInfoList({QStringLiteral("*.csv")})) {
        const QString mine = out + QLatin1Char('/') + expected.fileName();
        ASSERT_TRUE(QFileInfo::exists(mine)) << expected.fileName().toStdString();
        EXPECT_EQ(readCsv(mine), readCsv(expected.filePath())) << expected.fileName().toStdString();
        ++compared;
    }
    EXPECT_GT(compared, 10);
}

TEST(CorpusRoundTrip, SavingASavedFileChangesNothing)
{
    const QString dir = scratchDir(QStringLiteral("workbook-corpus-again"));
    for (const char *book : CorpusBooks) {
        SCOPED_TRACE(book);
        const QString again = Saved(SavedPath(book), dir, QString::fromLatin1(book));
        EXPECT_TRUE(WorkbookStreamOf(again) == WorkbookStreamOf(SavedPath(book)));
    }
}
