#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <stdexcept>

// Raised when the sample cannot be written; what() holds the message as UTF-8.
class SampleError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Writes a realistic data folder for tests, benchmarks and demonstrations: a
// commune's settings (Tolvard.set), the working-month list (Luni.lst) and the
// tables Cereri, Oameni and Log, with requests over five heating seasons
// (November to March), the last of them the current one up to today, so the
// newest month agrees with the dates the program proposes. The same seed, size
// and day give the same bytes (the tables' last-update date aside).
class SampleGenerator
{
public:
    struct Options
    {
        QString folder;
        quint64 seed = 1;
        qint64 size = 400; // rows of Cereri
        QDate today{};     // null: the day it runs
    };

    struct Summary
    {
        qint64 requests = 0;
        qint64 members = 0;
        qint64 logRows = 0;
        QStringList months; // "MM.YYYY", oldest first
    };

    static constexpr qint64 MaxSize = 2000000;

    // Refuses a folder that already holds request tables, so real data is
    // never overwritten. Tables are written under temporary names and renamed
    // once all three, the month list and the settings are complete; a failure
    // removes them and names the file and the cause.
    static Summary generate(const Options &options);
};
