// Opening a document from devices of every kind: a file, a buffer read from
// part-way, and a pipe-like device that hands out a few bytes at a time.
#include "Ole2TestSupport.h"

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
