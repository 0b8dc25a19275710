#include "Ole2TestSupport.h"

#include "xls/storage/ExcelException.h"
#include "xls/storage/XlsStorageList.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace IndependentReaders;
using namespace Ole2Test;

namespace {

void expectSameEntries(const QMap<QString, OleEntry> &ours, const QMap<QString, OleEntry> &theirs)
{
    ASSERT_EQ(ours.keys(), theirs.keys());
    for (const OleEntry &t : theirs) {
        SCOPED_TRACE(t.path.toStdString());
        const OleEntry &o = ours[t.path];
        EXPECT_EQ(o.storage, t.storage);
        EXPECT_TRUE(o.data == t.data) << "stream bytes differ (" << o.data.size() << " vs " << t.data.size() << ")";
        EXPECT_EQ(o.classId.toHex(), t.classId.toHex());
        EXPECT_EQ(o.creationTime, t.creationTime);
        EXPECT_EQ(o.modificationTime, t.modificationTime);
    }
}

} // namespace

// What we read agrees with olefile; what we write back is read alike by olefile
// and libgsf, keeps class ids and time stamps, and is stable when rewritten.
TEST(Ole2RoundTrip, EveryFixtureReadsAndRewritesAlikeForOtherReaders)
{
    const QString out = scratchDir(QStringLiteral("ole2-roundtrip"));
    const QStringList files = fixtureFiles();
    ASSERT_GE(files.size(), 7);
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        const auto doc = TOle2Storage::OpenFile(file);
        const auto ours = flatten(*doc);
        expectSameEntries(ours, listWithOlefile(file));

        const QString copy = out + '/' + QFileInfo(file).fileName();
        doc->SaveToFile(copy);
        expectSameEntries(ours, listWithOlefile(copy));
        EXPECT_EQ(listWithGsf(copy), listWithGsf(file));
        for (const OleEntry &e : ours) {
            if (!e.storage && e.data.size() < 100000) {
                EXPECT_TRUE(catWithGsf(copy, e.path) == e.data) << e.path.toStdString();
            }
        }

        const QByteArray written = readFile(copy);
        EXPECT_EQ(TOle2Storage::OpenBytes(written)->ToBytes(), written) << "a second rewrite changed the bytes";
    }
}

// The way a workbook is saved: every other stream copied from the storage list,
// then a new "Workbook" stream. xlrd and LibreOffice must read the result as
// they read the original.
TEST(Ole2RoundTrip, WorkbooksRebuiltFromTheStorageListOpenInXlrdAndLibreOffice)
{
    const QString out = scratchDir(QStringLiteral("ole2-workbooks"));
    QStringList written;
    for (const QString &file : fixtureFiles()) {
        if (!file.endsWith(QLatin1String(".xls")))
            continue;
        SCOPED_TRACE(file.toStdString());
        TXlsStorageList list;
        list.LoadFromFile(file);
        ASSERT_NE(list.FindStream(u"WORKBOOK"), nullptr); // names compare without case

        TOle2Storage target;
        list.SaveTo(target, u"workbook");
        EXPECT_EQ(target.FindStream(u"Workbook"), nullptr);
        EXPECT_EQ(target.Count(), list.Count() - 1);
        target.CreateStream(QStringLiteral("Workbook")).SetData(list.FindStream(u"Workbook")->Data());
        const QString copy = out + '/' + QFileInfo(file).fileName();
        target.SaveToFile(copy);
        written << copy;

        const XlrdBook a = readWithXlrd(file), b = readWithXlrd(copy);
        ASSERT_EQ(a.sheets.size(), b.sheets.size());
        EXPECT_EQ(a.names, b.names);
        for (int s = 0; s < a.sheets.size(); ++s) {
            EXPECT_EQ(a.sheets[s].name, b.sheets[s].name);
            EXPECT_EQ(a.sheets[s].visibility, b.sheets[s].visibility);
            ASSERT_EQ(a.sheets[s].rows.size(), b.sheets[s].rows.size());
            for (int r = 0; r < a.sheets[s].rows.size(); ++r)
                for (int c = 0; c < a.sheets[s].rows[r].size(); ++c) {
                    EXPECT_EQ(a.sheets[s].cell(r, c).kind, b.sheets[s].cell(r, c).kind);
                    EXPECT_EQ(a.sheets[s].cell(r, c).text, b.sheets[s].cell(r, c).text);
                    EXPECT_EQ(a.sheets[s].cell(r, c).number, b.sheets[s].cell(r, c).number);
                }
        }
    }

    const QString csv = out + QStringLiteral("/values");
    exportCsvWithSoffice(written, csv, false);
    const QDir expected(fixture(QStringLiteral("values")));
    const QStringList csvFiles = expected.entryList({QStringLiteral("*.csv")}, QDir::Files);
    ASSERT_FALSE(csvFiles.isEmpty());
    for (const QString &name : csvFiles) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(readCsv(csv + '/' + name), readCsv(expected.filePath(name)));
    }
}

// A file's storage list is what the workbook keeps alive until its last save:
// it must be a copy, independent of the document it was read from.
TEST(Ole2RoundTrip, StorageListKeepsSubStoragesAndRootProperties)
{
    auto doc = TOle2Storage::OpenFile(fixture(QStringLiteral("gsf-storages.ole")));
    doc->ClassId = QByteArray::fromHex("2008020000000000c000000000000046");
    doc->CreationTime = 0x01D0000000000001ull;
    TXlsStorageList list;
    list.LoadFrom(*doc);
    doc.reset();

    TOle2Storage target;
    list.SaveTo(target);
    const auto reread = TOle2Storage::OpenBytes(target.ToBytes());
    EXPECT_EQ(reread->ClassId.toHex(), QByteArray("2008020000000000c000000000000046"));
    EXPECT_EQ(reread->CreationTime, 0x01D0000000000001ull);
    const TOle2Storage *deeper = reread->FindStorage(u"macros");
    for (const char16_t *name : {u"Forms", u"Deep", u"Deeper"}) {
        ASSERT_NE(deeper, nullptr);
        deeper = deeper->FindStorage(name);
    }
    ASSERT_NE(deeper, nullptr);
    EXPECT_EQ(deeper->OpenStream(u"o").Data(), QByteArray("x"));
    EXPECT_EQ(reread->FindStorage(u"Macros")->FindStorage(u"VBA")->OpenStream(u"Module1").Data(), QByteArray(5000, 'M'));
    EXPECT_THROW(reread->OpenStream(u"Nothing"), EExcelException);
}
