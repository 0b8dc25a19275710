#include "RecordTestSupport.h"
#include "StandInFormulaRecord.h"

#include "xls/storage/Ole2Storage.h"

#include <QDir>

#include <optional>
#include <set>

using namespace recordtest;

// The workbook streams of the fixture corpus (files other programs wrote),
// read into records and written back.
namespace {

struct Fixture
{
    QString name;
    QByteArray stream;
};

std::vector<Fixture> LoadFixtures()
{
    std::vector<Fixture> fixtures;
    const QDir dir(QStringLiteral(KESTRUN_FIXTURES "/xls"));
    for (const QString &name : dir.entryList({QStringLiteral("*.xls")}, QDir::Files, QDir::Name)) {
        auto document = TOle2Storage::OpenFile(dir.filePath(name));
        fixtures.push_back({name, document->OpenStream(u"Workbook").Data()});
    }
    return fixtures;
}

const std::vector<Fixture> &Fixtures()
{
    static const std::vector<Fixture> fixtures = LoadFixtures();
    return fixtures;
}

// What a save must give, worked out by walking the headers alone: the stream
// up to its end (or an all-zero header) without the records that are never
// written (index and cache records and STRING) and their CONTINUE records.
// Empty when the stream is cut inside a record.
std::optional<QByteArray> ExpectedSave(QByteArrayView stream)
{
    static const std::set<int> dropped = {0x0059, 0x005A, 0x00D7, 0x00ED, 0x00FF, 0x01C1, 0x020B, 0x0207};
    QByteArray out;
    qsizetype pos = 0;
    bool dropping = false;
    while (stream.size() - pos >= 4) {
        const int id = quint8(stream[pos]) | (quint8(stream[pos + 1]) << 8);
        const int size = quint8(stream[pos + 2]) | (quint8(stream[pos + 3]) << 8);
        if (id == 0 && size == 0)
            break;
        if (stream.size() - pos - 4 < size)
            return std::nullopt;
        if (id != 0x003C)
            dropping = dropped.count(id) > 0;
        if (!dropping)
            out.append(stream.sliced(pos, 4 + size));
        pos += 4 + size;
    }
    return out;
}

QByteArray SaveAll(std::vector<std::unique_ptr<TBaseRecord>> records, qint64 *totalSize = nullptr)
{
    TBaseRecordList list;
    for (auto &record : records)
        list.Add(std::move(record));
    if (totalSize)
        *totalSize = list.TotalSize();
    return Saved(list);
}

class FixtureStreamTest : public ::testing::Test
{
protected:
    void SetUp() override { RegisterStandInFormulaClasses(); }
};

TEST_F(FixtureStreamTest, CorpusIsThere)
{
    EXPECT_GE(Fixtures().size(), 5u);
}

TEST_F(FixtureStreamTest, EveryRecordStreamIsWrittenBackByteForByte)
{
    for (const Fixture &fixture : Fixtures()) {
        SCOPED_TRACE(fixture.name.toStdString());
        qint64 total = 0;
        const QByteArray saved = SaveAll(ReadAll(fixture.stream), &total);
        const auto expected = ExpectedSave(fixture.stream);
        ASSERT_TRUE(expected.has_value());
        EXPECT_TRUE(SameBytes(*expected, saved));
        EXPECT_EQ(total, saved.size());

        // read -> write -> read -> write is stable
        EXPECT_TRUE(SameBytes(saved, SaveAll(ReadAll(saved))));
    }
}

TEST_F(FixtureStreamTest, CorpusExercisesTheRecordsThatNeedCare)
{
    // The fixtures are only worth as much as what they hold.
    std::set<int> seen;
    int continued = 0;
    for (const Fixture &fixture : Fixtures())
        for (const auto &record : ReadAll(fixture.stream)) {
            seen.insert(record->RecordId());
            continued += record->Continue() ? 1 : 0;
        }
    EXPECT_GT(continued, 0);
    for (int id : {0x0809, 0x0085, 0x00FC, 0x00FD, 0x0006, 0x00E5, 0x0031, 0x00E0, 0x041E, 0x027E})
        EXPECT_TRUE(seen.count(id)) << "record 0x" << std::hex << id;
}

// Bytes at the very end of their own allocation, so a read past them is an
// out-of-bounds read the sanitizer sees.
class ExactBuffer
{
public:
    explicit ExactBuffer(QByteArrayView bytes) : FData(new char[size_t(qMax<qsizetype>(bytes.size(), 1))]), FSize(bytes.size())
    {
        std::copy(bytes.begin(), bytes.end(), FData.get());
    }
    QByteArrayView View() const { return QByteArrayView(FData.get(), FSize); }
    char *Data() { return FData.get(); }

private:
    std::unique_ptr<char[]> FData;
    qsizetype FSize;
};

// Offsets to try: every one near the start, then spread over the rest.
std::vector<qsizetype> SweepOffsets(qsizetype size)
{
    const qsizetype budget = qMax<qsizetype>(300, 40'000'000 / qMax<qsizetype>(size, 1));
    std::vector<qsizetype> offsets;
    const qsizetype dense = qMin<qsizetype>(size, qMin<qsizetype>(budget / 2, 4096));
    for (qsizetype i = 0; i < dense; ++i)
        offsets.push_back(i);
    const qsizetype stride = qMax<qsizetype>(1, (size - dense) / qMax<qsizetype>(1, budget - dense));
    for (qsizetype i = dense; i < size; i += stride)
        offsets.push_back(i);
    return offsets;
}

TEST_F(FixtureStreamTest, CutStreamsGiveAnErrorOrTheRecordsBeforeTheCut)
{
    for (const Fixture &fixture : Fixtures()) {
        SCOPED_TRACE(fixture.name.toStdString());
        for (qsizetype cut : SweepOffsets(fixture.stream.size())) {
            const ExactBuffer buffer(QByteArrayView(fixture.stream).first(cut));
            std::vector<std::unique_ptr<TBaseRecord>> records;
            const QString error = ErrorOf([&] { records = ReadAll(buffer.View()); });
            const auto expected = ExpectedSave(buffer.View());
            if (!error.isEmpty()) {
                // A stream cut on a record boundary reads; one cut inside a record does not.
                EXPECT_FALSE(expected.has_value()) << "cut at " << cut << ": " << error.toStdString();
                continue;
            }
            ASSERT_TRUE(expected.has_value()) << "cut at " << cut << " read without an error";
            EXPECT_TRUE(SameBytes(*expected, SaveAll(std::move(records)))) << "cut at " << cut;
        }
    }
}

TEST_F(FixtureStreamTest, CorruptedBytesGiveAnErrorOrAStableRead)
{
    for (const Fixture &fixture : Fixtures()) {
        SCOPED_TRACE(fixture.name.toStdString());
        for (qsizetype at : SweepOffsets(fixture.stream.size())) {
            ExactBuffer buffer(fixture.stream);
            buffer.Data()[at] = static_cast<char>(buffer.Data()[at] ^ 0xA5);
            std::vector<std::unique_ptr<TBaseRecord>> records;
            const QString error = ErrorOf([&] { records = ReadAll(buffer.View()); });
            if (!error.isEmpty())
                continue;
            const QByteArray saved = SaveAll(std::move(records));
            EXPECT_TRUE(SameBytes(saved, SaveAll(ReadAll(saved)))) << "byte " << at;
        }
    }
}

} // namespace
