// Opening a document from devices of every kind: a file, a buffer read from
// part-way, and a pipe-like device that hands out a few bytes at a time.
#include "Ole2TestSupport.h"

#include "xls/storage/ByteCursor.h"
#include "xls/storage/ExcelException.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A sequential device over fixed bytes that gives at most Step bytes a read,
// as a pipe or socket does.
class TTrickleDevice : public QIODevice
{
public:
    static constexpr qint64 Step = 1000;

    explicit TTrickleDevice(QByteArray bytes) : m_bytes(std::move(bytes)) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_pos >= m_bytes.size())
            return -1;
        const qint64 n = std::min({maxSize, Step, qint64(m_bytes.size()) - m_pos});
        std::memcpy(data, m_bytes.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_pos = 0;
};

// A document of a big stream (well past one read chunk of a pipe) and a
// small one in the mini-stream.
QByteArray sampleDocument(QByteArray &big, QByteArray &small)
{
    big = QByteArray(300 * 1024 + 17, '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char((i * 7 + i / 513) & 0xFF);
    small = QByteArrayLiteral("short stream");
    TOle2Storage root;
    root.CreateStream(QStringLiteral("Big")).SetData(big);
    root.CreateStream(QStringLiteral("Small")).SetData(small);
    return root.ToBytes();
}

} // namespace

TEST(Ole2Device, EveryKindOfDeviceGivesTheWholeDocument)
{
    QByteArray big, small;
    const QByteArray document = sampleDocument(big, small);

    struct Case
    {
        const char *name;
        std::function<std::unique_ptr<TOle2Storage>()> open;
    };
    const QString path = IndependentReaders::scratchDir(QStringLiteral("ole2-device")) + QStringLiteral("/doc.ole");
    Ole2Test::writeFile(path, document);
    // Bytes before the document are not part of it: reading starts where the device stands.
    const QByteArray prefixed = QByteArrayLiteral("prefix") + document;

    const Case cases[] = {
        {"file", [&] { return TOle2Storage::OpenFile(path); }},
        {"file, the big stream left there", [&] { return TOle2Storage::OpenFile(path, nullptr, {}, {QStringLiteral("Big")}); }},
        {"buffer read from part-way",
         [&] {
             QBuffer buffer;
             buffer.setData(prefixed);
             buffer.open(QIODevice::ReadOnly);
             buffer.seek(6);
             return TOle2Storage::OpenDevice(buffer);
         }},
        {"pipe handing out a few bytes a read",
         [&] {
             TTrickleDevice pipe(document);
             return TOle2Storage::OpenDevice(pipe);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto root = c.open();
        ASSERT_NE(root->FindStream(u"Big"), nullptr);
        ASSERT_NE(root->FindStream(u"Small"), nullptr);
        EXPECT_EQ(root->FindStream(u"Big")->Data(), big);
        EXPECT_EQ(root->FindStream(u"Small")->Data(), small);
    }
}

// Reads a stream left in its file through a cursor, in steps of an odd size
// and with a step back, as a parser does; the bytes must be the stream's.
QByteArray readPieces(const TOle2Stream &stream)
{
    const auto source = stream.OpenSource();
    ByteCursor cursor(*source);
    QByteArray out;
    while (!cursor.atEnd()) {
        const qsizetype n = std::min<qsizetype>(cursor.remaining(), 8229);
        out.append(cursor.bytes(n));
        if (out.size() % 3 == 0 && !cursor.atEnd()) {  // a look ahead and back
            cursor.u32();
            cursor.seek(cursor.pos() - 4);
        }
    }
    return out;
}

TEST(Ole2Device, StreamLeftInItsFileIsReadAsTheOthersAreChecked)
{
    QByteArray big, small;
    Ole2Test::Layout l{sampleDocument(big, small)};
    // Two sectors of the big stream trade places, so its chain is in three runs.
    const quint32 start = l.startOf(l.indexOf(QStringLiteral("Big")));
    const quint32 p = start + 10, q = start + 200;
    const QByteArray atP = l.bytes.mid(l.sectorOffset(p), 512);
    l.bytes.replace(l.sectorOffset(p), 512, l.bytes.mid(l.sectorOffset(q), 512));
    l.bytes.replace(l.sectorOffset(q), 512, atP);
    WriteCardinal(l.bytes, l.fatLink(p - 1), q);
    WriteCardinal(l.bytes, l.fatLink(q), p + 1);
    WriteCardinal(l.bytes, l.fatLink(q - 1), p);
    WriteCardinal(l.bytes, l.fatLink(p), q + 1);
    QTemporaryDir dir(IndependentReaders::scratchDir(QStringLiteral("ole2-left")) + QStringLiteral("/XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("doc.ole"));
    Ole2Test::writeFile(path, l.bytes);
    const QStringList leave{QStringLiteral("Big")};

    const auto root = TOle2Storage::OpenFile(path, nullptr, {}, leave);
    EXPECT_EQ(root->FindStream(u"Big")->Size(), big.size());
    EXPECT_EQ(readPieces(*root->FindStream(u"Big")), big);
    EXPECT_EQ(root->FindStream(u"Big")->Data(), big);

    // A damaged chain is refused on opening, with the words the bytes give.
    const auto error = [](const std::function<void()> &open) {
        try {
            open();
        } catch (const EExcelException &e) {
            return QString::fromUtf8(e.what()).section(QStringLiteral(": "), 1);
        }
        return QString();
    };
    const quint32 last = start + quint32((big.size() - 1) / 512);
    for (const qsizetype size : {l.sectorOffset(q) + 100, l.sectorOffset(last) + 100}) {
        const QByteArray cut = l.bytes.left(size);
        Ole2Test::writeFile(path, cut);
        const QString expected = error([&] { TOle2Storage::OpenBytes(cut); });
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(error([&] { TOle2Storage::OpenFile(path, nullptr, {}, leave); }), expected);
    }

    // A file cut short by someone else while the stream is left there.
    Ole2Test::writeFile(path, l.bytes);
    const auto opened = TOle2Storage::OpenFile(path, nullptr, {}, leave);
    QFile(path).resize(l.sectorOffset(q));
    EXPECT_EQ(error([&] { readPieces(*opened->FindStream(u"Big")); }),
              QStringLiteral("stream \"Big\" (entry 1) runs past the end of the file"));
}

TEST(Ole2Device, FileLargerThanTheLimitIsRefusedBeforeItIsRead)
{
    // Removed at the end of the test: a gigabyte, even sparse, is not left behind.
    QTemporaryDir dir(IndependentReaders::scratchDir(QStringLiteral("ole2-huge")) + QStringLiteral("/XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("huge.xls"));
    {
        // A sparse file: a gigabyte and one byte that take no disk space.
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize((qint64(1) << 30) + 1));
    }
    try {
        TOle2Storage::OpenFile(path);
        FAIL() << "a file over the limit opened";
    } catch (const EExcelException &e) {
        const QString message = QString::fromUtf8(e.what());
        EXPECT_TRUE(message.contains(QStringLiteral("is larger than 1073741824 bytes"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("huge.xls"))) << message.toStdString();
    }
}
