// Scanning a 300,000-row Cereri.dbf and decoding every field, against reading
// the same file's bytes into memory, in one run.
#include "platform/db/Dbf.h"
#include "platform/db/RequestTables.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr qint64 Rows = 300000;

const char *const kSurnames[] = {"Popescu", "Ionescu", "Ţăranu", "Munteanu", "Ştefănescu", "Dumitru", "Lungu",
                                 "Bălan", "Stoica", "Moldovan"};
const char *const kNames[] = {"Ion", "Maria", "Gheorghe", "Elena", "Vasile", "Ana", "Constantin", "Ioana"};
const char *const kPlaces[] = {"Bârsăneşti", "Caşin", "Târgu Ocna", "Mănăstirea Caşin", "Pârjol"};
const char *const kStatus[] = {"APROBAT", "APROBAT", "APROBAT", "MODIFICAT", "INCETAT", "RESPINS"};

QString pick(const char *const *list, size_t n, qint64 i) { return QString::fromUtf8(list[size_t(i) % n]); }

// A request row of the kind the office keeps: the applicant, the household, the
// aid and, for some, an energy supplement.
void fillRow(Dbf &t, const QList<int> &at, qint64 i)
{
    int k = 0;
    const auto set = [&](const QVariant &v) { t.setValue(i, at[k++], v); };
    const qint64 r = t.appendBlank();
    Q_ASSERT(r == i);
    const QString name = pick(kSurnames, std::size(kSurnames), i * 7) + QLatin1Char(' ') + pick(kNames, std::size(kNames), i);
    const int members = 1 + int(i % 6);
    const double income = 150.0 + double(i % 900) + 0.25 * double(i % 4);
    const QDate day = QDate(2022, 11, 1).addDays(i % 120);
    set(QVariant(i + 1));                                          // NRCRT
    set(24274 + int(i % 5));                                       // LUNACRT
    set(24274);                                                    // LUNADEC
    set(name);                                                     // TITULAR
    set(QStringLiteral("1%1").arg(600101000000 + i * 13 % 99999999999, 12, 10, QLatin1Char('0'))); // CNP
    set(pick(kPlaces, std::size(kPlaces), i));                     // LOCALIT
    set(QStringLiteral("Str. Principală nr. %1").arg(i % 400));    // ADRESA
    set(members);                                                  // NR_MEMBRI
    set(income * members);                                         // TVENIT
    set(income);                                                   // VENITM
    set(int(i % 3));                                               // COPII14
    set(int(i % 2));                                               // COPII18
    set(QStringLiteral("C"));                                      // STCIV
    set(QStringLiteral("M"));                                      // SITSCOL
    set(QStringLiteral("pensionar"));                              // SITPROF
    set(2);                                                        // NRCAM
    set(QVariant());                                               // ASIG
    set(QStringLiteral("X"));                                      // CUAJUT
    set(20.0 + double(i % 11) * 18.0);                             // CUANTUM
    set(5);                                                        // NR_LUNI
    set(100.0 + double(i % 11) * 90.0);                            // TOTAL
    set(QVariant(i % 5000 + 1));                                   // NR_CERE
    set(day);                                                      // DATACERE
    set(QStringLiteral("%1").arg(i % 3000 + 1));                  // NR_DISP
    set(day.addDays(10));                                          // DATADISP
    set(QVariant(i % 3000 + 1));                                   // NR_REF
    set(pick(kStatus, std::size(kStatus), i));                     // STATUT
    set(i % 6 >= 4 ? QVariant(QStringLiteral("venituri peste limită")) : QVariant()); // MOTIVR
    set(QVariant());                                               // CUMODIF
    set(i % 4 == 0 ? QStringLiteral("OP") : QStringLiteral("CEC")); // MODPLATA
    set(i % 4 == 0 ? QVariant(QStringLiteral("RO49AAAA1B31007593840000")) : QVariant()); // CONT
    set(i % 4 == 0 ? QVariant(QStringLiteral("Banca Comercială")) : QVariant()); // BANCA
    set(QVariant());                                               // L416
    set(QVariant());                                               // ASF
    set(i % 3 == 0 ? QVariant(80.0) : QVariant(0.0));              // SUMAL
    const bool gas = i % 5 == 1, power = i % 5 == 2, heat = i % 10 == 3;
    for (bool on : {gas, power}) {                                 // TITx CNPx FURNx CODCLx PODx SUMAx
        set(on ? QVariant(name) : QVariant());
        set(on ? QVariant(QStringLiteral("2700101123456")) : QVariant());
        set(on ? QVariant(QStringLiteral("Furnizorul de Energie SA")) : QVariant());
        set(on ? QVariant(QStringLiteral("CL%1").arg(i)) : QVariant());
        set(on ? QVariant(QStringLiteral("RO005E%1").arg(i, 12, 10, QLatin1Char('0'))) : QVariant());
        set(on ? 30.0 : 0.0);
    }
    set(heat ? QVariant(name) : QVariant());                       // TITT CNPT FURNT CODCLT SUMAT
    set(heat ? QVariant(QStringLiteral("2700101123456")) : QVariant());
    set(heat ? QVariant(QStringLiteral("Termoficare")) : QVariant());
    set(heat ? QVariant(QStringLiteral("T%1").arg(i)) : QVariant());
    set(heat ? 45.5 : 0.0);
}

QString makeTable(const QString &where)
{
    const QString path = QFileInfo(where).isDir() ? where + QLatin1Char('/') + RequestTables::Cereri : where;
    Dbf t = Dbf::create(path, RequestTables::cereriFields());
    QList<int> at;
    for (int f = 0; f < t.fields().size(); ++f)
        at << f;
    for (qint64 i = 0; i < Rows; ++i)
        fillRow(t, at, i);
    t.close();
    return path;
}

double elapsedMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

// A table may be named on the command line: made there when missing, reused
// when present (for profiling the scan alone).
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    const QString named = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const bool reuse = !named.isEmpty() && QFile::exists(named);
    const QString path = reuse ? named : makeTable(named.isEmpty() ? dir.path() : named);
    const double writeMs = double(timer.nsecsElapsed()) / 1e6;

    qint64 sink = 0;
    qint64 nulls = 0;
    const auto rawRead = [&] {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            sink += f.readAll().size();
    };
    const auto scan = [&] {
        const Dbf t = Dbf::open(path);
        const int fields = int(t.fields().size());
        for (qint64 r = 0; r < t.recordCount(); ++r)
            for (int f = 0; f < fields; ++f)
                nulls += !t.value(r, f).isValid();
    };
    // Taken in turns, best of each, so a busy machine weighs on both alike.
    double rawMs = 1e300, scanMs = 1e300;
    for (int run = 0; run < 7; ++run) {
        rawMs = std::min(rawMs, elapsedMs(rawRead));
        scanMs = std::min(scanMs, elapsedMs(scan));
    }

    std::printf("rows: %lld, file: %lld bytes, sink %lld, nulls %lld\n", static_cast<long long>(Rows),
                static_cast<long long>(QFile(path).size()), static_cast<long long>(sink), static_cast<long long>(nulls));
    if (!reuse)
        std::printf("dbf_write_ms: %.1f\n", writeMs);
    std::printf("raw_read_ms: %.1f\n", rawMs);
    std::printf("dbf_scan_ms: %.1f\n", scanMs);
    std::printf("dbf_scan_vs_raw_read: %.1fx\n", scanMs / rawMs);
    return 0;
}
