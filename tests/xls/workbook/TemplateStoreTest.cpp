// Templates held in memory stand in for files on disk.
#include "xls/support/IndependentReaders.h"
#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XlsBaseTemplateStore.h"
#include "xls/workbook/XlsImport.h"

#include "xls/storage/ExcelException.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace IndependentReaders;

TEST(TemplateStore, OpensByFileNameAndSavesTheTemplatesStreams)
{
    TXLSAdapter adapter;
    TXlsBaseTemplateStore store;
    EXPECT_TRUE(store.IsEmpty());
    store.AddFromFile(fixture(QStringLiteral("lo-basic.xls")));
    adapter.SetTemplateStore(&store);

    TXlsImport import(&adapter);
    // Path and case do not matter: the store knows templates by file name.
    import.OpenFile(QStringLiteral("/elsewhere/LO-BASIC.xls"));
    EXPECT_EQ(import.SheetCount(), 4);
    import.SetCellValue(1, 1, QStringLiteral("Nume şi prenume"));
    const QString out = scratchDir(QStringLiteral("template-store")) + QStringLiteral("/t.xls");
    import.Save(out);
    const auto streams = listWithOlefile(out);
    const auto original = listWithOlefile(fixture(QStringLiteral("lo-basic.xls")));
    EXPECT_EQ(streams.keys(), original.keys());
    EXPECT_EQ(streams.value(QStringLiteral("\x05SummaryInformation")).data,
              original.value(QStringLiteral("\x05SummaryInformation")).data);
    EXPECT_EQ(readWithXlrd(out).sheets[0].cell(0, 0).text, QStringLiteral("Nume şi prenume"));

    // The template itself is untouched: opening it again gives the old text.
    import.OpenFile(QStringLiteral("lo-basic.xls"));
    EXPECT_EQ(import.GetCellValue(1, 1), QVariant(QStringLiteral("Nume")));

    try {
        import.OpenFile(QStringLiteral("altul.xls"));
        ADD_FAILURE() << "opened a template the store does not have";
    } catch (const EExcelException &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Can't find the file \"altul.xls\""));
    }
}

TEST(TemplateStore, AdaptersForgetAStoreThatGoesAway)
{
    TXLSAdapter adapter;
    {
        TXlsBaseTemplateStore store;
        adapter.SetTemplateStore(&store);
        EXPECT_EQ(adapter.TemplateStore(), &store);
    }
    EXPECT_EQ(adapter.TemplateStore(), nullptr);
    // Without a store files come from disk again.
    TXlsImport import(&adapter);
    import.OpenFile(fixture(QStringLiteral("xlwt-basic.xls")));
    EXPECT_EQ(import.SheetCount(), 3);
}

TEST(TemplateStore, RefusesDamagedTemplates)
{
    TXlsBaseTemplateStore store;
    EXPECT_THROW(store.AddFromBytes(QStringLiteral("rau.xls"), QByteArray("not a document")), EExcelException);
    EXPECT_TRUE(store.IsEmpty());
}

// A file opened from a template keeps what it needs of it: the store may
// replace the template or go away before the file is saved.
TEST(TemplateStore, AnOpenFileOutlivesItsTemplate)
{
    const QString dir = scratchDir(QStringLiteral("template-gone"));
    const auto original = listWithOlefile(fixture(QStringLiteral("lo-basic.xls")));
    QFile other(fixture(QStringLiteral("xlwt-basic.xls")));
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    const QByteArray otherBytes = other.readAll();
    const struct { const char *name; bool replace; } cases[] = {
        {"template replaced", true},
        {"store gone", false},
    };
    for (const auto &c : cases) {
        TXLSAdapter adapter;
        TXlsImport import(&adapter);
        auto store = std::make_unique<TXlsBaseTemplateStore>();
        store->AddFromFile(fixture(QStringLiteral("lo-basic.xls")));
        adapter.SetTemplateStore(store.get());
        import.OpenFile(QStringLiteral("lo-basic.xls"));
        if (c.replace)
            store->AddFromBytes(QStringLiteral("lo-basic.xls"), otherBytes);
        else
            store.reset();
        const QString out = dir + u'/' + QLatin1StringView(c.name) + QStringLiteral(".xls");
        import.Save(out);
        const auto streams = listWithOlefile(out);
        EXPECT_EQ(streams.keys(), original.keys()) << c.name;
        EXPECT_EQ(streams.value(QStringLiteral("\x05SummaryInformation")).data,
                  original.value(QStringLiteral("\x05SummaryInformation")).data) << c.name;
    }
}
