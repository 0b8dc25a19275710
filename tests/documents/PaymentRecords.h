#pragma once

#include "MemoryDataSet.h"

#include <QDate>

#include <memory>

// Requests shaped like the payment list's query, plus the columns of the test
// register (CODCL, NUME, DATA, SUMA, MEMBRI), so one dataset fills both
// templates. Record i is made from i alone; every kind of value shows up:
// zeros in each amount, missing dates, codes with leading zeros.
struct PaymentRecords
{
    static QList<MemoryDataSet::Column> columns()
    {
        return {{QStringLiteral("NR_CERE"), SqlType::Integer}, {QStringLiteral("TITULAR"), SqlType::Text},
                {QStringLiteral("CNP"), SqlType::Text},        {QStringLiteral("NRDISP"), SqlType::Text},
                {QStringLiteral("DATADISP"), SqlType::Date},   {QStringLiteral("ADRESA"), SqlType::Text},
                {QStringLiteral("LOCALIT"), SqlType::Text},    {QStringLiteral("CUANTUM"), SqlType::Float},
                {QStringLiteral("NR_LUNI"), SqlType::Integer}, {QStringLiteral("TOTAL"), SqlType::Float},
                {QStringLiteral("SUMAL"), SqlType::Float},     {QStringLiteral("SUMAG"), SqlType::Float},
                {QStringLiteral("SUMAT"), SqlType::Float},     {QStringLiteral("SUMAE"), SqlType::Float},
                {QStringLiteral("CODCL"), SqlType::Text},      {QStringLiteral("NUME"), SqlType::Text},
                {QStringLiteral("DATA"), SqlType::Date},       {QStringLiteral("SUMA"), SqlType::Float},
                {QStringLiteral("MEMBRI"), SqlType::Integer}};
    }

    static QString name(int i) { return QStringLiteral("POPESCU ION %1").arg(i); }
    static QString cnp(int i) { return QStringLiteral("1850101%1").arg(i % 1000000, 6, 10, QLatin1Char('0')); }
    static QString code(int i) { return QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0')); }
    // Every seventh date is missing.
    static QDate date(int i) { return i % 7 == 6 ? QDate() : QDate(2024, 1, 1).addDays(i % 300); }
    static double cuantum(int i) { return 100 + (i % 7) * 10.25; }
    static int months(int i) { return 1 + i % 5; }
    // Every fourth total is zero.
    static double total(int i) { return i % 4 == 3 ? 0 : cuantum(i) * months(i); }
    static double sumal(int i) { return i % 3 == 0 ? 0 : 50 + i % 11; }
    static double sumag(int i) { return i % 2 ? 0 : 12.5; }
    static double sumae(int i) { return i % 5 == 0 ? 0 : 30.75; }

    static QVariantList record(int i)
    {
        const QVariant day = date(i).isValid() ? QVariant(date(i)) : QVariant();
        return {100 + i, name(i), cnp(i), QStringLiteral("%1/").arg(500 + i), day,
                QStringLiteral("TURENI Str. Principala nr. %1").arg(i), QStringLiteral("TURENI"), cuantum(i),
                months(i), total(i), sumal(i), sumag(i), 0.0, sumae(i), code(i), name(i), day, total(i),
                1 + i % 6};
    }

    static std::unique_ptr<MemoryDataSet> dataSet(int count)
    {
        QList<int> all;
        for (int i = 0; i < count; ++i)
            all.append(i);
        return dataSet(all);
    }
    // The records of the given numbers, in that order.
    static std::unique_ptr<MemoryDataSet> dataSet(const QList<int> &numbers)
    {
        QList<QVariantList> rows;
        rows.reserve(numbers.size());
        for (int i : numbers)
            rows.append(record(i));
        auto set = std::make_unique<MemoryDataSet>(columns(), rows);
        set->Open();
        return set;
    }

    template <typename Fn>
    static double sum(int count, Fn fn)
    {
        double s = 0;
        for (int i = 0; i < count; ++i)
            s += fn(i);
        return s;
    }
};
