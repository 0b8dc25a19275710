#include "requests/RequestCodes.h"

const QStringList &RequestCodes::SitScolCod()
{
    static const QStringList list = {"FS", "G", "M", "S"};
    return list;
}

const QStringList &RequestCodes::StCivCod()
{
    static const QStringList list = {"C", "N", "UC", "DF", "V", "D"};
    return list;
}

const QStringList &RequestCodes::SitProf()
{
    static const QStringList list = {"salariat", "pensionar", "somer", "student", "independent",
                                     "lucrator agricol", "lucrator ocazional", "elev",
                                     "indemnizatie handicap", "fara venituri"};
    return list;
}

int RequestCodes::position(const QStringList &list, const QString &code)
{
    return int(list.indexOf(code.trimmed()));
}
