// Formulas of the templates' shapes: 100,000 texts parsed and encoded, and
// their tokens decoded again, against python3-xlwt compiling the same texts
// in the same run (the two in turns, each counted by its median); then 10,000
// rows inserted above a block of 1,000 formulas of a workbook, and the
// workbook saved.
#include "PairedRuns.h"
#include "PythonBaseline.h"
#include "xls/formula/FormulaDecoder.h"
#include "xls/formula/FormulaNames.h"
#include "xls/formula/FormulaReferences.h"
#include "xls/formula/ParseString.h"
#include "xls/storage/ExcelException.h"
#include "xls/workbook/XLSFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

constexpr int FormulaCount = 100000;

class BenchReferences : public TFormulaReferences
{
public:
    QString GetSheetPrefix(int externSheet) const override { return externSheet == 0 ? QStringLiteral("Persoane!") : QStringLiteral("'Sume lunare'!"); }
    int GetSheetIndex(QStringView name) const override
    {
        if (name.compare(u"Persoane", Qt::CaseInsensitive) == 0)
            return 0;
        return name.compare(u"Sume lunare", Qt::CaseInsensitive) == 0 ? 1 : -1;
    }
    int AddExternSheet(int first, int) override { return first; }
    QByteArray GetArrayRecordData(int, int) const override { throw EExcelException(QStringLiteral("none")); }
    QByteArray GetTableRecordData(int, int) const override { throw EExcelException(QStringLiteral("none")); }
};

class NoNames : public TFormulaNames
{
public:
    int NameCount() const override { return 0; }
    QString NameText(int) const override { return {}; }
    int NameSheet(int) const override { return -1; }
};

// Sums under inserted rows, birth dates and sex from personal codes, labels,
// shares of a total and references to other sheets, as the templates hold them.
QStringList TemplateFormulas()
{
    QStringList texts;
    texts.reserve(FormulaCount);
    for (int i = 0; i < FormulaCount; ++i) {
        const int r = 2 + i % 60000;
        switch (i % 6) {
        case 0: texts += QStringLiteral("SUM(F2:F%1)").arg(r); break;
        case 1: texts += QStringLiteral("IF(OR(MID(B%1,1,1)=\"1\",MID(B%1,1,1)=\"5\"),\"M\",\"F\")").arg(r); break;
        case 2: texts += QStringLiteral("DATE(IF(VALUE(MID(B%1,1,1))>4,2000,1900)+VALUE(MID(B%1,2,2)),VALUE(MID(B%1,4,2)),VALUE(MID(B%1,6,2)))").arg(r); break;
        case 3: texts += QStringLiteral("CONCATENATE(A%1,\" (\",C%1,\")\")").arg(r); break;
        case 4: texts += QStringLiteral("B%1/$B$%2*100").arg(r).arg(r + 1); break;
        default: texts += QStringLiteral("Persoane!F%1*2+'Sume lunare'!$B$2").arg(r); break;
        }
    }
    return texts;
}

constexpr int Runs = 5;

QString Python(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral(KESTRUN_SOURCE_DIR "/bench/formula.py")} + args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "xlwt failed: %s\n", p.readAllStandardError().constData());
        std::exit(1);
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace

int main()
{
    QTemporaryDir scratch;
    const QStringList texts = TemplateFormulas();
    BenchReferences refs;
    NoNames names;

    const QString textFile = scratch.filePath(QStringLiteral("formulas.txt"));
    {
        QFile f(textFile);
        f.open(QIODevice::WriteOnly);
        f.write(texts.join(u'\n').toUtf8());
    }
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(KESTRUN_SOURCE_DIR "/bench/formula.py"), textFile});
    if (bench::pythonLine(py) != "ready")
        bench::fail("python", py.readAllStandardError());

    // Each run encodes every text (the parse includes the encoder's own check,
    // a decode of what it made), then decodes the tokens again; xlwt compiles
    // them all in between.
    std::vector<double> bothRuns;
    qsizetype decodedChars = 0;
    const auto ours = [&] {
        std::vector<QByteArray> tokens;
        tokens.reserve(FormulaCount);
        const double encodeMs = bench::elapsedMs([&] {
            for (const QString &t : texts) {
                TParseString p(u'=' + t, fmValue, &refs, &names);
                p.Parse();
                tokens.push_back(p.Tokens());
            }
        });
        decodedChars = 0;
        const double decodeMs = bench::elapsedMs([&] {
            for (const QByteArray &t : tokens)
                decodedChars += DecodeTokens(t, 0, t.size(), &names, &refs).size();
        });
        bothRuns.push_back(encodeMs + decodeMs);
        return encodeMs;
    };
    const auto xlwt = [&] {
        py.write("compile\n");
        return bench::pythonLine(py).toDouble() * 1000.0;
    };
    const bench::Paired encode = bench::paired(Runs, ours, xlwt);
    const double encodeMs = encode.ours, bothMs = bench::median(bothRuns), xlwtMs = encode.theirs;
    py.closeWriteChannel();
    py.waitForFinished();

    // 10,000 rows above 1,000 formulas (made by xlwt), then saved.
    const QString book = scratch.filePath(QStringLiteral("block.xls"));
    Python({QStringLiteral("--book"), book, QStringLiteral("1000")});
    TXLSFile file(nullptr, true);
    file.Connect();
    file.OpenFile(book);
    const double insertMs = bench::elapsedMs([&] { file.InsertAndCopyRows(1, 1, 1, 10000, false); });
    const double saveMs = bench::elapsedMs([&] { file.Save(scratch.filePath(QStringLiteral("inserted.xls"))); });

    std::printf("formulas: %d (%lld characters decoded)\n", FormulaCount, static_cast<long long>(decodedChars));
    std::printf("runs: %d each side, in turns; medians below\n", Runs);
    std::printf("encode (parse + check): %.1f ms\n", encodeMs);
    std::printf("encode and decode: %.1f ms\n", bothMs);
    std::printf("xlwt compile: %.1f ms\n", xlwtMs);
    std::printf("insert 10000 rows above 1000 formulas: %.1f ms, save: %.1f ms\n", insertMs, saveMs);
    std::printf("formula_encode_vs_xlwt: %.1fx\n", xlwtMs / encodeMs);
    std::printf("formula_encode_decode_vs_xlwt: %.1fx\n", xlwtMs / bothMs);
    std::printf("formula_insert_rows_and_save_ms: %.1f\n", insertMs + saveMs);
    return 0;
}
