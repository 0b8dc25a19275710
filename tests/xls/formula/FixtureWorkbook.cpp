#include "FixtureWorkbook.h"

#include "xls/formula/FormulaChars_p.h"
#include "xls/formula/ShrFmlaRecord.h"
#include "xls/storage/ByteCursor.h"
#include "xls/support/IndependentReaders.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/Ole2Storage.h"
#include "xls/storage/Ole2Stream.h"

#include <QRegularExpression>

namespace {

QString SheetName(QByteArrayView data)
{
    ByteCursor c(data);
    c.seek(6);
    const int len = c.u8();
    const bool wide = c.u8() & 1;
    return detail::ReadChars(c, len, wide);
}

} // namespace

FixtureWorkbook::FixtureWorkbook(const QString &path)
{
    auto storage = TOle2Storage::OpenFile(path);
    const QByteArray stream = storage->OpenStream(u"Workbook").Data();
    ByteCursor c(stream);
    int sheet = -1;
    std::vector<std::unique_ptr<TShrFmlaRecord>> shared;
    auto expandShared = [&] {
        for (Formula &f : Formulas) {
            quint32 key = 0;
            if (f.Sheet != sheet || !f.Record->IsSharedFormulaReference(key))
                continue;
            for (const auto &s : shared)
                if (s->Key == key)
                    f.Record->ExpandSharedFormula(*s);
        }
        shared.clear();
    };
    TFormulaRecord *last = nullptr;
    while (c.remaining() >= 4) {
        const quint16 id = c.u16();
        const QByteArray data = c.copy(c.u16());
        switch (id) {
        case 0x0809: // BOF
            if (ReadWord(data, 2) == 0x0010)
                ++sheet;
            break;
        case 0x000A: // EOF
            if (sheet >= 0)
                expandShared();
            break;
        case 0x0085:
            Refs.Sheets += SheetName(data);
            break;
        case 0x0017: {
            ByteCursor x(data);
            const int count = x.u16();
            for (int i = 0; i < count; ++i) {
                x.u16(); // supbook
                const int first = x.u16();
                const int lastSheet = x.u16();
                Refs.Extern.append(qMakePair(first, lastSheet));
            }
            break;
        }
        case 0x0207:
            ++StringRecords;
            break;
        case 0x0018:
            Names.Add(std::make_unique<TNameRecord>(id, data));
            break;
        case 0x0006:
            Formulas.push_back({sheet, std::make_unique<TFormulaRecord>(id, data)});
            last = Formulas.back().Record.get();
            break;
        case 0x04BC: {
            auto s = std::make_unique<TShrFmlaRecord>(id, data);
            s->Key = quint32(last->Row()) + quint32(last->Column()) * 65536u;
            shared.push_back(std::move(s));
            break;
        }
        default:
            break;
        }
    }
}

void ExpectSameCsv(const QString &expectedFile, const QString &ourFile)
{
    const QVector<QStringList> expected = IndependentReaders::readCsv(expectedFile);
    const QVector<QStringList> ours = IndependentReaders::readCsv(ourFile);
    ASSERT_EQ(ours.size(), expected.size());
    for (int r = 0; r < expected.size(); ++r)
        EXPECT_EQ(ours.at(r).join(u'|'), expected.at(r).join(u'|')) << "row " << r + 1;
}

QString FromLibreOfficeSyntax(const QString &text)
{
    static const QRegularExpression sheetRef(QStringLiteral(R"(\$('(?:[^']|'')*'|[^.'(),$:;=+\-*/&<> ]+)\.)"));
    QString out = text;
    out.replace(sheetRef, QStringLiteral("\\1!"));
    return out;
}
