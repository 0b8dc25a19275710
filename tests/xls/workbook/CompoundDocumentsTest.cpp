// Compound documents as other writers make them: a short root name, the
// workbook in a "Book" stream, chains that run on into a neighbour. The file
// opens when its workbook stream reads whole; a refusal names that stream.
#include "FileOpsSupport.h"

#include "xls/storage/Ole2TestSupport.h"
#include "xls/workbook/EmptyWorkbook.h"

#include <functional>

using namespace FileOps;
using Ole2Test::Layout;

namespace {

const QString Properties = QStringLiteral("\x05SummaryInformation");

// The records in a stream of that name, padded to 12 whole sectors, beside a
// properties stream of 10 sectors; our writer lays each stream's sectors out
// one after the other.
Layout Document(const QString &streamName, const QByteArray &records = EmptyWorkbook::WorkbookStream())
{
    TOle2Storage root;
    root.CreateStream(streamName).SetData(records.leftJustified(6000, '\0'));
    root.CreateStream(Properties).SetData(QByteArray(5000, 'p'));
    return Layout{root.ToBytes()};
}

quint32 StartOf(const Layout &l, const QString &stream)
{
    return l.startOf(l.indexOf(stream));
}

// The engine's message, or "" when the file opened.
QString OpenError(QByteArray bytes, std::unique_ptr<TXLSFile> *opened = nullptr)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    auto file = std::make_unique<TXLSFile>(nullptr, true);
    file->Connect();
    const QString error = ErrorOf([&] { file->OpenStream(buffer); });
    if (opened)
        *opened = std::move(file);
    return error;
}

QByteArray Excel95Records()
{
    QByteArray bof(16, '\0');
    WriteWord(bof, 0, 0x0500);
    WriteWord(bof, 2, 0x0005);
    return BiffRecord(0x0809, bof) + BiffRecord(0x000A, {});
}

}  // namespace

TEST(CompoundDocuments, OtherWritersFilesOpenAndRefusalsNameTheStream)
{
    const QString wb = QStringLiteral("Workbook");
    struct Case { const char *name; std::function<Layout()> make; const char *error; const char *notNamed = nullptr; };
    const Case cases[] = {
        {"root name of one character, length 2",
         [&] {
             Layout l = Document(wb);
             l.bytes.replace(l.entry(0), 4, QByteArray("R\0\0\0", 4));
             WriteWord(l.bytes, l.entry(0) + 64, 2);
             return l;
         }, ""},
        {"root name of odd length",
         [&] { Layout l = Document(wb); WriteWord(l.bytes, l.entry(0) + 64, 11); return l; }, ""},
        {"BIFF8 workbook in a stream named \"book\"", [] { return Document(QStringLiteral("book")); }, ""},
        {"Excel 5.0/95 workbook", [] { return Document(QStringLiteral("Book"), Excel95Records()); },
         "Excel 5.0/95"},
        {"workbook chain runs on past its size into the properties",
         [&] { Layout l = Document(wb); WriteCardinal(l.bytes, l.fatLink(StartOf(l, wb) + 11), StartOf(l, Properties)); return l; },
         ""},
        {"properties chain runs into the workbook's sectors",
         [&] { Layout l = Document(wb); WriteCardinal(l.bytes, l.fatLink(StartOf(l, Properties) + 1), StartOf(l, wb) + 1); return l; },
         ""},
        {"workbook chain runs into the properties' sectors",
         [&] { Layout l = Document(wb); WriteCardinal(l.bytes, l.fatLink(StartOf(l, wb) + 5), StartOf(l, Properties)); return l; },
         "\"Workbook\"", "Summary"},
        {"workbook chain ends early",
         [&] { Layout l = Document(wb); WriteCardinal(l.bytes, l.fatLink(StartOf(l, wb) + 3), 0xFFFFFFFE); return l; },
         "\"Workbook\"", "Summary"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString error = OpenError(c.make().bytes);
        if (!*c.error) {
            EXPECT_EQ(error.toStdString(), "");
            continue;
        }
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
        if (c.notNamed) {
            EXPECT_FALSE(error.contains(QString::fromUtf8(c.notNamed))) << error.toStdString();
        }
    }
}

TEST(CompoundDocuments, WorkbookReadFromBookIsSavedAsWorkbook)
{
    std::unique_ptr<TXLSFile> file;
    ASSERT_EQ(OpenError(Document(QStringLiteral("Book")).bytes, &file), QString());
    file->SetCellValue(1, 1, QStringLiteral("citit"));
    const QString path = SaveScratch(*file, QStringLiteral("compound-book"));
    QStringList names;
    const auto saved = TOle2Storage::OpenFile(path);
    for (const auto &e : saved->Entries())
        names << e->Name;
    names.sort();
    EXPECT_EQ(names, QStringList({Properties, QStringLiteral("Workbook")}));
    EXPECT_EQ(IndependentReaders::readWithXlrd(path).sheets.value(0).cell(0, 0).text, QStringLiteral("citit"));
}
