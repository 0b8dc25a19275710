#include "reports/eval/BRError.h"
#include "reports/pages/BRCompress.h"
#include "reports/pages/BRFileHeader.h"
#include "reports/pages/BRPageList.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

TBRPageBody samplePage(int n)
{
    TBRPageBody p;
    p.Width = 794;
    p.Height = 1123;
    TBRPageItem font;
    font.kind = TBRItemKind::Font;
    font.font.family = QStringLiteral("DejaVu Sans");
    font.font.pointSize = 11;
    font.font.style = TBRFontSpec::Bold;
    TBRPageItem text;
    text.kind = TBRItemKind::Text;
    text.rect = QRectF(40, 40 + n, 300, 20);
    text.text = QStringLiteral("Pagina %1 — Ştefan Ţuţea").arg(n);
    text.flags = TBRPageItem::AlignCenter | TBRPageItem::ClipToRect;
    TBRPageItem line;
    line.kind = TBRItemKind::Line;
    line.rect = QRectF(QPointF(40, 70), QPointF(700, 70));
    TBRPageItem link;
    link.kind = TBRItemKind::Link;
    link.rect = QRectF(40, 40, 300, 20);
    link.text = QStringLiteral("EXT:https://example.org");
    p.Items = {font, text, line, link};
    return p;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A page record at `start` around `body`: number, forward link, body, backward link.
QByteArray record(qint32 number, qint64 start, const QByteArray &body)
{
    QByteArray r(8, '\0');
    qToLittleEndian(quint32(number), r.data());
    qToLittleEndian(quint32(start + 12 + body.size()), r.data() + 4);
    r += body;
    char back[4];
    qToLittleEndian(quint32(start), back);
    return r + QByteArray(back, 4);
}

} // namespace

TEST(BRCompress, CodesBitsRootFirstFromTheLowestBit)
{
    // Byte 00 is the right child of inner node 127: seven 0 bits, then a 1.
    EXPECT_EQ(TBRCompress::compress(hex("00")).toHex(), "80");
    // The last byte is the flushed partial byte.
    EXPECT_EQ(TBRCompress::compress("abc").toHex(), "463d01");
}

TEST(BRCompress, SameBytesAsTheBitAtATimeReference)
{
    const QByteArray plain = readFile(KESTRUN_FIXTURES "/reports/splay-in.bin");
    const QByteArray coded = readFile(KESTRUN_FIXTURES "/reports/splay-out.bin");
    ASSERT_FALSE(plain.isEmpty());
    EXPECT_EQ(TBRCompress::compress(plain), coded);
    EXPECT_EQ(TBRCompress::expand(coded, plain.size()), plain);
}

TEST(BRCompress, ExpandsWhatItCompressed)
{
    QByteArray every;
    for (int i = 0; i < 256; ++i)
        every.append(char(i));
    QByteArray noise(20000, Qt::Uninitialized);
    QRandomGenerator rng(7);
    for (char &c : noise)
        c = char(rng.bounded(256));
    const QByteArray repeated = QByteArray(5000, '\xff') + every + every;
    for (const QByteArray &plain : {QByteArray(), every, noise, repeated}) {
        const QByteArray coded = TBRCompress::compress(plain);
        EXPECT_EQ(TBRCompress::expand(coded, plain.size()), plain);
    }
    // A length no coded bits could hold is refused before anything is allocated.
    EXPECT_THROW(TBRCompress::expand(hex("80"), 9), EBRError);
    EXPECT_THROW(TBRCompress::expand(hex("80"), 8), EBRError);
}

TEST(BRFileHeader, Bytes)
{
    TBRFileHeader h;
    h.pageCount = 5;
    h.created = 46000.5; // noon, 9 Dec 2025
    h.compressed = true;
    const QByteArray b = h.encode();
    ASSERT_EQ(b.size(), 128);
    EXPECT_EQ(b.left(32).toHex(' '),
              "03 00 28 00 00 00 00 00 05 00 00 00 00 00 00 00 00 00 00 00 10 76 e6 40 00 01 00 00 00 00 00 00");
    EXPECT_EQ(b.mid(32), QByteArray(96, '\0'));
    const TBRFileHeader back = TBRFileHeader::decode(b, 128);
    EXPECT_EQ(back.pageCount, 5);
    EXPECT_TRUE(back.compressed);
    EXPECT_EQ(TBRFileHeader::fromDays(back.created), QDateTime(QDate(2025, 12, 9), QTime(12, 0)));
}

TEST(BRPageList, RecordsLinkBothWaysAndReadInAnyOrder)
{
    for (bool compressed : {false, true}) {
        TBRPageList list;
        list.SetStream(std::make_unique<TBRStream>(compressed ? 0 : 1 << 20));
        list.SetCompression(compressed);
        for (int n = 1; n <= 5; ++n)
            list.AddPage(samplePage(n));
        list.WritePageListHeader();
        EXPECT_EQ(list.PageCount(), 5);
        for (int n : {3, 1, 5, 2, 4})
            EXPECT_EQ(list.ReadPage(n), samplePage(n)) << n << (compressed ? " compressed" : "");
        EXPECT_FALSE(list.ReadPage(6));
        EXPECT_FALSE(list.ReadPage(0));
        // A seek stands at a record's start: page 1 for 0, the last page past the end.
        for (const auto &[n, page] : {std::pair(0, 1), std::pair(1, 1), std::pair(3, 3), std::pair(9, 5)}) {
            list.SeekToPage(n);
            char number[4];
            ASSERT_EQ(list.Stream()->Read(number, 4), 4) << n;
            EXPECT_EQ(qFromLittleEndian<qint32>(number), page) << n;
        }

        QTemporaryDir dir;
        const QString path = dir.filePath("raport.brp");
        list.SaveToFile(path);
        const QByteArray file = readFile(path);
        // First record: page 1 at 128, its forward link is the second record, which links back to 128.
        EXPECT_EQ(qFromLittleEndian<qint32>(file.constData() + 8), 5);
        EXPECT_EQ(file[25], compressed ? 1 : 0);
        EXPECT_EQ(qFromLittleEndian<qint32>(file.constData() + 128), 1);
        const quint32 second = qFromLittleEndian<quint32>(file.constData() + 132);
        EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + second - 4), 128u);
        EXPECT_EQ(qFromLittleEndian<qint32>(file.constData() + second), 2);

        TBRPageList loaded;
        loaded.LoadFromFile(path);
        EXPECT_EQ(loaded.PageCount(), 5);
        EXPECT_EQ(loaded.Compression(), compressed);
        EXPECT_EQ(loaded.ReadPage(4), samplePage(4));
    }
}

TEST(BRStream, SpillsToATemporaryFileRemovedWithTheStore)
{
    QString temp;
    {
        TBRStream s(0);
        s.Write("abc", 3);
        EXPECT_FALSE(s.InMemory());
        temp = s.TempFileName();
        ASSERT_FALSE(temp.isEmpty());
        EXPECT_TRUE(QFile::exists(temp));
        s.Seek(1);
        char c[2];
        EXPECT_EQ(s.Read(c, 2), 2);
        EXPECT_EQ(QByteArray(c, 2), "bc");
    }
    EXPECT_FALSE(QFile::exists(temp));
}

TEST(BRPageList, OldHeaderOpensByItsLinks)
{
    // A 124-byte header: words 3 and 40, page count 1 at 8, time at 12, the
    // compressed flag at 21 (0), then one uncompressed record at 124.
    QByteArray header(124, '\0');
    header[0] = 3;
    header[2] = 40;
    header[8] = 1;
    const QByteArray file = header + record(1, 124, samplePage(1).encode());
    QTemporaryDir dir;
    writeFile(dir.filePath("vechi.brp"), file);
    TBRPageList list;
    list.LoadFromFile(dir.filePath("vechi.brp"));
    EXPECT_EQ(list.HeaderSize(), 124);
    EXPECT_EQ(list.PageCount(), 1);
    EXPECT_EQ(list.ReadPage(1), samplePage(1));
}

TEST(BRPageList, DamagedFilesAreRefused)
{
    TBRFileHeader h;
    h.pageCount = 2;
    const QByteArray body = samplePage(1).encode();
    const QByteArray first = record(1, 128, body);
    const QByteArray good = h.encode() + first + record(2, 128 + first.size(), body);
    auto patched = [&](qsizetype at, quint32 v) {
        QByteArray b = good;
        qToLittleEndian(v, b.data() + at);
        return b;
    };
    TBRFileHeader z = h;
    z.compressed = true;
    z.pageCount = 1;
    QByteArray claim(4, '\0');
    qToLittleEndian(quint32(1000), claim.data());
    TBRFileHeader one = h;
    one.pageCount = 1;
    TBRPageBody endsInANumber = samplePage(1);
    endsInANumber.Items.pop_back(); // the line's height is the last field: a fixed-size read runs short
    // Damage inside a page's body shows when that page is read.
    struct Case { const char *name; QByteArray bytes; bool inPage = false; };
    const Case cases[] = {
        {"short header", good.left(100)},
        {"too many pages", patched(8, 1000)},
        {"negative page count", patched(8, 0xffffffff)},
        {"forward link outside the file", patched(132, 1u << 30)},
        {"forward link back to itself", patched(132, 128)},
        {"backward link elsewhere", patched(128 + first.size() - 4, 4)},
        {"wrong page number", patched(128 + first.size(), 7)},
        {"cut in the last page", good.left(good.size() - 3)},
        {"bytes after the last page", good + "x"},
        {"compressed length beyond its bits", z.encode() + record(1, 128, claim + "\x80")},
        {"page body one byte short", one.encode() + record(1, 128, endsInANumber.encode().chopped(1)), true},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name) + ".brp");
        writeFile(path, c.bytes);
        TBRPageList list;
        list.AddPage(samplePage(9));
        if (c.inPage) {
            list.LoadFromFile(path);
            EXPECT_THROW(list.ReadPage(1), EBRError) << c.name;
            continue;
        }
        EXPECT_THROW(list.LoadFromFile(path), EBRError) << c.name;
        EXPECT_EQ(list.ReadPage(1), samplePage(9)) << c.name << ": the list stays as it was";
    }
    writeFile(dir.filePath("good.brp"), good);
    TBRPageList ok;
    EXPECT_NO_THROW(ok.LoadFromFile(dir.filePath("good.brp")));
}

TEST(BROutline, FindAndTreeOrder)
{
    TBROutline o;
    o.Add({QStringLiteral("Comuna"), 0, QRect(1, 2, 3, 4), 1, 10});
    o.Add({QStringLiteral("Sat A"), 1, QRect(), 1, 11});
    o.Add({QStringLiteral("Strada 1"), 2, QRect(), 2, 12});
    o.Add({QStringLiteral("Sat B"), 1, QRect(), 3, 13});
    o.Add({QString(60, QLatin1Char('x')), 0, QRect(), 4, 14});
    EXPECT_EQ(o.Parents(), (std::vector<int>{-1, 0, 1, 0, -1}));
    EXPECT_EQ(o.Find(10), std::make_pair(QRect(1, 2, 3, 4), 1));
    EXPECT_EQ(o.Find(99), std::make_pair(QRect(), 0));
    EXPECT_EQ(o.Entries().back().caption.size(), 51);
}

TEST(BRPageList, PreviewReadsWhileTheRunAddsPages)
{
    TBRPageList list;
    list.SetStream(std::make_unique<TBRStream>(4096)); // spills early: both sides share the file
    list.SetCompression(true);
    std::atomic<bool> done{false};
    std::atomic<int> wrong{0}, read{0};
    std::thread preview([&] {
        while (!done) {
            const int count = list.PageCount();
            for (int n = count; n >= 1 && n > count - 3; --n) {
                const std::optional<TBRPageBody> page = list.ReadPage(n);
                if (!page || !(*page == samplePage(n)))
                    ++wrong;
                ++read;
            }
        }
    });
    for (int n = 1; n <= 200; ++n) {
        list.AddPage(samplePage(n));
        while (n == 100 && read == 0) // the run goes on once the preview reads
            std::this_thread::yield();
    }
    done = true;
    preview.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(read, 0);
    EXPECT_EQ(list.ReadPage(200), samplePage(200));
}
