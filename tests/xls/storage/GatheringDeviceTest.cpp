// The buffer a save writes through: bytes reach the device below in order
// whichever way they come in, and a device that refuses them stops the save.
#include "xls/storage/ExcelException.h"
#include "xls/storage/GatheringDevice.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

// Refuses every write once Limit bytes are in, as a full disk does.
class TFullDevice : public QBuffer
{
public:
    static constexpr qint64 Limit = 100000;
    TFullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 writeData(const char *data, qint64 size) override
    {
        return pos() + size > Limit ? -1 : QBuffer::writeData(data, size);
    }
};

}  // namespace

TEST(GatheringDevice, BytesArriveInOrderAcrossTheBufferAndARefusalStopsTheSave)
{
    QByteArray expected;
    for (int i = 0; i < 300000; ++i)
        expected.append(char(i * 7 % 251));
    QByteArray written;
    QBuffer below(&written);
    below.open(QIODevice::WriteOnly);
    TGatheringDevice out(below);
    qint64 at = 0;
    // Small puts, places reserved at the buffer's end, a piece larger than
    // the buffer and writes through the QIODevice interface, in turns.
    for (int step = 0; at < expected.size(); ++step) {
        const qint64 size = std::min<qint64>(expected.size() - at, step % 4 == 2 ? 70000 : step % 37 + 1);
        if (step % 4 == 1 && size <= TGatheringDevice::Room) {
            std::memcpy(out.Reserve(size), expected.constData() + at, size_t(size));
            out.Commit(size);
        } else if (step % 4 == 3) {
            ASSERT_EQ(out.write(expected.constData() + at, size), size);
        } else {
            out.Put(expected.constData() + at, size);
        }
        at += size;
        ASSERT_EQ(out.pos(), at);
    }
    ASSERT_TRUE(out.PassOn());
    EXPECT_EQ(written, expected);

    TFullDevice full;
    TGatheringDevice refused(full);
    QString error;
    try {
        for (int i = 0; i < 10000; ++i)
            refused.Put(expected.constData(), 30);
    } catch (const EExcelException &e) {
        error = QString::fromUtf8(e.what());
    }
    EXPECT_EQ(error, QStringLiteral("Error writing output file"));
}
