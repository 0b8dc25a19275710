// Scanning a 300,000-row Cereri.dbf and decoding every field, against reading
// the same file's bytes into memory, in one run.
//
// dbf_scan [folder]: the sample data is written to the folder when it holds no
// Cereri.dbf and reused when it does (for profiling the scan alone).
#include "platform/db/Dbf.h"
#include "tables/RequestTables.h"
#include "sample-data/SampleGenerator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr qint64 Rows = 300000;

double elapsedMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
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
        const double ms = elapsedMs([&] { SampleGenerator::generate(options); });
        std::printf("sample_write_ms: %.1f\n", ms);
    }

    qint64 sink = 0;
    qint64 nulls = 0;
    qint64 rows = 0;
    const auto rawRead = [&] {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            sink += f.readAll().size();
    };
    const auto scan = [&] {
        const Dbf t = Dbf::open(path);
        const int fields = int(t.fields().size());
        rows = t.recordCount();
        for (qint64 r = 0; r < rows; ++r)
            for (int f = 0; f < fields; ++f)
                nulls += !t.value(r, f).isValid();
    };
    // Taken in turns, best of each, so a busy machine weighs on both alike.
    double rawMs = 1e300, scanMs = 1e300;
    for (int run = 0; run < 7; ++run) {
        rawMs = std::min(rawMs, elapsedMs(rawRead));
        scanMs = std::min(scanMs, elapsedMs(scan));
    }

    std::printf("rows: %lld, file: %lld bytes, read %lld, nulls %lld\n", static_cast<long long>(rows),
                static_cast<long long>(QFile(path).size()), static_cast<long long>(sink),
                static_cast<long long>(nulls));
    std::printf("raw_read_ms: %.1f\n", rawMs);
    std::printf("dbf_scan_ms: %.1f\n", scanMs);
    std::printf("dbf_scan_vs_raw_read: %.1fx\n", scanMs / rawMs);
    return 0;
}
