#pragma once

#include "documents/DocumentsWorld.h"
#include "sample-data/SampleGenerator.h"

// A generated season (from `seed`) ending in March 2023 becomes the world's
// data, with the given working month; returns its folder.
inline QString useSampleSeason(const DocumentsWorld &w, quint64 seed, int requests, const QString &workingMonth)
{
    const QString data = w.root + QStringLiteral("/sample");
    SampleGenerator::generate({data, seed, requests, QDate(2023, 3, 31)});
    Form1().setDataDir(data);
    Form3().LunaLucru->setText(workingMonth);
    return data;
}
