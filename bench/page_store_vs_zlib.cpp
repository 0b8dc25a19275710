// 10,000 report pages written into the compressed page store (spilling to a
// temporary file in a fresh folder) and read back, against zlib compressing
// and inflating the same page bytes, in the same run. Rounds alternate; the
// medians are compared.
#include "PairedRuns.h"
#include "reports/pages/BRCompress.h"
#include "reports/pages/BRPageList.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int PageCount = 10000;
constexpr int Rounds = 3;

// A page of a payment list: a title, 30 rows of five columns, lines between rows.
TBRPageBody listPage(int n)
{
    TBRPageBody p;
    p.Width = 794;
    p.Height = 1123;
    auto text = [&](float x, float y, float w, const QString &s) {
        TBRPageItem it;
        it.kind = TBRItemKind::Text;
        it.rect = QRectF(x, y, w, 18);
        it.text = s;
        p.Items.push_back(it);
    };
    TBRPageItem font;
    font.kind = TBRItemKind::Font;
    p.Items.push_back(font);
    text(40, 30, 700, QStringLiteral("STAT DE PLATA - ajutor pentru incalzirea locuintei - pagina %1").arg(n));
    for (int r = 0; r < 30; ++r) {
        const float y = 80 + r * 32;
        const int id = n * 30 + r;
        text(40, y, 40, QString::number(id));
        text(90, y, 250, QStringLiteral("POPESCU ION %1").arg(id % 977));
        text(350, y, 130, QStringLiteral("1%1").arg(qint64(5600101000000LL + id)));
        text(490, y, 120, QStringLiteral("Str. Principala nr. %1").arg(id % 311));
        text(620, y, 80, QStringLiteral("%1.00").arg(100 + id % 400));
        TBRPageItem line;
        line.kind = TBRItemKind::Line;
        line.rect = QRectF(QPointF(40, y + 24), QPointF(754, y + 24));
        p.Items.push_back(line);
    }
    return p;
}

} // namespace

int main()
{
    QTemporaryDir scratch;
    qputenv("TMPDIR", scratch.path().toLocal8Bit());
    std::vector<TBRPageBody> pages;
    std::vector<QByteArray> bytes;
    for (int n = 1; n <= PageCount; ++n) {
        pages.push_back(listPage(n));
        bytes.push_back(pages.back().encode());
    }

    std::vector<double> ours, theirs;
    qint64 ourSize = 0, theirSize = 0;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer t;
        t.start();
        {
            TBRPageList list;
            list.SetCompression(true);
            list.SetStream(std::make_unique<TBRStream>());
            for (const TBRPageBody &p : pages)
                list.AddPage(p);
            list.WritePageListHeader();
            for (int n = 1; n <= PageCount; ++n)
                if (!list.ReadPage(n))
                    std::abort();
            ourSize = list.Stream()->Size();
        }
        ours.push_back(double(t.nsecsElapsed()) / 1e6);

        t.restart();
        theirSize = 0;
        std::vector<QByteArray> packed;
        packed.reserve(bytes.size());
        for (const QByteArray &b : bytes) {
            uLongf n = compressBound(uLong(b.size()));
            QByteArray out(qsizetype(n), Qt::Uninitialized);
            compress2(reinterpret_cast<Bytef *>(out.data()), &n, reinterpret_cast<const Bytef *>(b.constData()),
                      uLong(b.size()), Z_DEFAULT_COMPRESSION);
            out.resize(qsizetype(n));
            theirSize += n;
            packed.push_back(out);
        }
        for (size_t i = 0; i < packed.size(); ++i) {
            uLongf n = uLongf(bytes[i].size());
            QByteArray out(bytes[i].size(), Qt::Uninitialized);
            uncompress(reinterpret_cast<Bytef *>(out.data()), &n, reinterpret_cast<const Bytef *>(packed[i].constData()),
                       uLong(packed[i].size()));
        }
        theirs.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    // What the coder writes, as one checksum: its format is fixed, so a faster
    // coder must leave this as it was.
    uLong crc = crc32(0, nullptr, 0);
    qint64 coded = 0;
    for (const QByteArray &b : bytes) {
        const QByteArray c = TBRCompress::compress(b);
        crc = crc32(crc, reinterpret_cast<const Bytef *>(c.constData()), uInt(c.size()));
        coded += c.size();
    }
    std::printf("coded pages: %lld bytes, crc32 %08lx\n", static_cast<long long>(coded), static_cast<unsigned long>(crc));
    const double o = bench::median(ours), z = bench::median(theirs);
    std::printf("%d pages: page store %.1f ms (%lld bytes), zlib %.1f ms (%lld bytes)\n", PageCount, o,
                static_cast<long long>(ourSize), z, static_cast<long long>(theirSize));
    std::printf("page_store_vs_zlib: %.2fx\n", o / z);
    return 0;
}
