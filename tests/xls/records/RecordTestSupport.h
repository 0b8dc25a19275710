#pragma once

#include "xls/support/ErrorOf.h"
#include "xls/records/BaseRecord.h"
#include "xls/records/BaseRecordList.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ExcelException.h"

#include <QBuffer>
#include <QByteArray>
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace recordtest {

// Bytes written out as an annotated list in the tests.
inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v & 0xFF));
    return out;
}

// A record with its 4-byte header in front of the data.
inline QByteArray WithHeader(quint16 id, const QByteArray &data)
{
    return Bytes({id & 0xFF, id >> 8, int(data.size() & 0xFF), int(data.size() >> 8)}) + data;
}

template <class Saveable>
QByteArray Saved(const Saveable &what)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    what.SaveToStream(buffer);
    return out;
}

// Equal bytes, or the first offset where they differ.
inline ::testing::AssertionResult SameBytes(const QByteArray &expected, const QByteArray &actual)
{
    const qsizetype common = qMin(expected.size(), actual.size());
    for (qsizetype i = 0; i < common; ++i)
        if (expected[i] != actual[i])
            return ::testing::AssertionFailure()
                << QStringLiteral("first difference at offset %1: expected 0x%2, got 0x%3 (sizes %4 and %5)")
                       .arg(i)
                       .arg(quint8(expected[i]), 2, 16, QLatin1Char('0'))
                       .arg(quint8(actual[i]), 2, 16, QLatin1Char('0'))
                       .arg(expected.size())
                       .arg(actual.size())
                       .toStdString();
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure()
            << "sizes differ: expected " << expected.size() << ", got " << actual.size();
    return ::testing::AssertionSuccess();
}

// Every record of a stream, read the way the sections read them: stops at
// the end or at an all-zero header.
inline std::vector<std::unique_ptr<TBaseRecord>> ReadAll(QByteArrayView stream)
{
    ByteCursor cursor(stream, QStringLiteral("test stream"));
    std::vector<std::unique_ptr<TBaseRecord>> records;
    quint32 header = 0;
    while (ReadRecordHeader(cursor, header) && header != 0)
        records.push_back(ReadBiffRecord(cursor, header));
    return records;
}

inline std::unique_ptr<TBaseRecord> ReadOne(QByteArrayView stream)
{
    auto records = ReadAll(stream);
    EXPECT_EQ(records.size(), 1u);
    return records.empty() ? nullptr : std::move(records.front());
}

template <class T>
T *As(const std::unique_ptr<TBaseRecord> &record)
{
    return dynamic_cast<T *>(record.get());
}


} // namespace recordtest
