// Loading a 300,000-row Cereri.dbf as the program does (a TTable opened and
// every field of every row read through its TField, as the grid reads it),
// against the physical limit: mapping the same file and touching every byte of
// it. The two run in turns and each counts by its median. Beside it: the scan
// that decodes into one value kept across it; the same scan handing out each
// text as a QString, as any reader that gives the caller a QString must (the
// least a load can cost); and the QVariant per field that value() makes.
//
// dbf_scan [folder [load]]: the sample data is written to the folder when it
// holds no Cereri.dbf and reused when it does; with "load" only the program's
// path runs, three times (for profiling it alone).
#include "PairedRuns.h"

#include "platform/db/Dbf.h"
#include "platform/sql/TField.h"
#include "platform/sql/TTable.h"
#include "sample-data/SampleGenerator.h"
#include "tables/RequestTables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

constexpr qint64 Rows = 300000;
constexpr int Runs = 7;

// The values of a record read as a caller would look at each, one after the
// other: left scalar, as the vectorizer's gather over the strided values costs
// more than the reading itself.
[[gnu::optimize("no-tree-vectorize")]] qint64 nullsIn(const std::vector<DbfValue> &record)
{
    qint64 n = 0;
    for (const DbfValue &v : record)
        n += v.kind == DbfValue::Null;
    return n;
}

// A field read the way the grid shows it: null or not, then by its type.
double readField(const TField &f)
{
    if (f.IsNull())
        return 1;
    switch (f.DataType()) {
    case TFieldType::ftString: return double(f.AsString().size());
    case TFieldType::ftDate: return double(f.dateValue().day());
    case TFieldType::ftBoolean: return f.AsBoolean();
    default: return f.AsFloat();
    }
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir scratch;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.path();
    const QString path = QDir(folder).filePath(RequestTables::Cereri);
    if (!QFile::exists(path)) {
        SampleGenerator::Options options;
        options.folder = folder;
        options.size = Rows;
        const double ms = bench::elapsedMs([&] { SampleGenerator::generate(options); });
        std::printf("sample_write_ms: %.1f\n", ms);
    }

    quint64 sink = 0;
    qint64 nulls = 0, rows = 0;
    const auto touch = [&] {
        return bench::elapsedMs([&] {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                return;
            const qint64 size = f.size();
            const uchar *p = f.map(0, size);
            quint64 sum = 0;
            qint64 i = 0;
            for (; i + 8 <= size; i += 8) {
                quint64 w;
                std::memcpy(&w, p + i, 8);
                sum += w;
            }
            for (; i < size; ++i)
                sum += p[i];
            sink += sum;
            f.unmap(const_cast<uchar *>(p));
        });
    };
    const auto values = [&] {
        return bench::elapsedMs([&] {
            const Dbf t = Dbf::open(path);
            const int fields = int(t.fields().size());
            rows = t.recordCount();
            for (qint64 r = 0; r < rows; ++r)
                for (int f = 0; f < fields; ++f)
                    nulls += !t.value(r, f).isValid();
        });
    };
    // The scan path: every field decoded into values kept across the scan,
    // each record looked at by `each`.
    const auto scanning = [&](auto each) {
        return bench::elapsedMs([&] {
            const Dbf t = Dbf::open(path);
            rows = t.recordCount();
            std::vector<DbfValue> record;
            qint64 n = 0;
            for (qint64 r = 0; r < rows; ++r) {
                t.read(r, record);
                n += each(record);
            }
            nulls += n;
        });
    };
    const auto scan = [&] { return scanning(nullsIn); };
    // The same with a copy of each text, as a caller is given it.
    const auto handed = [&] {
        return scanning([](const std::vector<DbfValue> &record) {
            qint64 n = 0;
            for (const DbfValue &v : record) {
                const QString copy = v.kind == DbfValue::Text ? v.text : QString();
                n += copy.size();
            }
            return n;
        });
    };
    // The program's own path: the table opened as a dataset, every field read.
    double seen = 0;
    const auto load = [&] {
        return bench::elapsedMs([&] {
            TTable t;
            t.SetTableName(path);
            t.Open();
            const QList<TField *> &fields = t.Fields();
            double s = 0;
            for (t.First(); !t.Eof(); t.Next())
                for (const TField *f : fields)
                    s += readField(*f);
            t.Close();
            seen += s;
        });
    };
    if (argc > 2 && qstrcmp(argv[2], "load") == 0) {
        for (int i = 0; i < 3; ++i)
            std::printf("dbf_load_ms: %.1f\n", load());
        return 0;
    }
    const bench::Paired byLoad = bench::paired(Runs, load, touch);
    const bench::Paired byValue = bench::paired(Runs, values, touch);
    const bench::Paired byScan = bench::paired(Runs, scan, touch);
    const bench::Paired byHanded = bench::paired(Runs, handed, touch);

    std::printf("rows: %lld, file: %lld bytes, sum %llu, nulls %lld, read %.0f\n", static_cast<long long>(rows),
                static_cast<long long>(QFile(path).size()), static_cast<unsigned long long>(sink),
                static_cast<long long>(nulls), seen);
    std::printf("mmap_touch_ms: %.1f\n", byScan.theirs);
    std::printf("dbf_scan_ms: %.1f\n", byScan.ours);
    std::printf("dbf_values_ms: %.1f\n", byValue.ours);
    std::printf("dbf_scan_handing_out_text_ms: %.1f\n", byHanded.ours);
    std::printf("dbf_load_ms: %.1f\n", byLoad.ours);
    std::printf("dbf_values_vs_mmap_touch: %.1fx\n", byValue.ratio());
    std::printf("dbf_scan_vs_mmap_touch: %.1fx\n", byScan.ratio());
    std::printf("dbf_scan_handing_out_text_vs_mmap_touch: %.1fx\n", byHanded.ratio());
    std::printf("dbf_load_vs_mmap_touch: %.1fx\n", byLoad.ratio());
    return 0;
}
