#include "core/Counties.h"

const QStringList &Counties::names()
{
    static const QStringList list = {
        "ALBA", "ARAD", "ARGES", "BACAU", "BIHOR", "BISTRITA-NASAUD", "BOTOSANI", "BRASOV", "BRAILA",
        "BUCURESTI", "BUZAU", "CARAS-SEVERIN", "CALARASI", "CLUJ", "CONSTANTA", "COVASNA", "DAMBOVITA",
        "DOLJ", "GALATI", "GIURGIU", "GORJ", "HARGHITA", "HUNEDOARA", "IALOMITA", "IASI", "ILFOV",
        "MARAMURES", "MEHEDINTI", "MURES", "NEAMT", "OLT", "PRAHOVA", "SATU MARE", "SALAJ", "SIBIU",
        "SUCEAVA", "TELEORMAN", "TIMIS", "TULCEA", "VASLUI", "VALCEA", "VRANCEA"};
    return list;
}

const QStringList &Counties::abbreviations()
{
    static const QStringList list = {
        "AB", "AR", "AG", "BC", "BH", "BN", "BT", "BV", "BR",
        "B", "BZ", "CS", "CL", "CJ", "CT", "CV", "DB",
        "DJ", "GL", "GR", "GJ", "HR", "HD", "IL", "IS", "IF",
        "MM", "MH", "MS", "NT", "OT", "PH", "SM", "SJ", "SB",
        "SV", "TR", "TM", "TL", "VS", "VL", "VN"};
    return list;
}
