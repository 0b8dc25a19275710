#pragma once

#include <QString>

#include <array>

// Names the sample draws from: Romanian, with the letters the office's
// code page must carry (Ş Ţ Ă Â Î).
namespace SampleNames {

struct Commune
{
    const char16_t *name;
    const char *county;  // upper case, as the county list shows it
    int countyCode;      // also the county digits of its people's CNPs
    std::array<const char16_t *, 5> villages;
};

inline constexpr std::array<Commune, 4> communes = {{
    {u"Răchitoasa", "BACAU", 4, {u"Răchitoasa", u"Dănăila", u"Bucşa", u"Hăineala", u"Tochilea"}},
    {u"Ştefan cel Mare", "BACAU", 4, {u"Ştefan cel Mare", u"Bogdana", u"Gutinaş", u"Rădeana", u"Viişoara"}},
    {u"Fântânele", "SUCEAVA", 33, {u"Fântânele", u"Cotu Băii", u"Slobozia", u"Stânca", u"Româneşti"}},
    {u"Ţibăneşti", "IASI", 22, {u"Ţibăneşti", u"Glodenii Gândului", u"Jigoreni", u"Răsboieni", u"Tungujei"}},
}};

inline constexpr std::array<const char16_t *, 36> surnames = {
    u"POPESCU", u"IONESCU", u"ŞTEFĂNESCU", u"ŢURCANU", u"BĂLAN", u"CÂMPEANU", u"ÎNCEU", u"RUSU",
    u"MUNTEANU", u"CIOBANU", u"ŢÂRLEA", u"OLARU", u"LUNGU", u"BUTNARU", u"APOSTOL", u"AGAPE",
    u"HUŢANU", u"MĂRGINEANU", u"BÂRSAN", u"DRĂGAN", u"PĂDURARU", u"ŞERBAN", u"GÂRBEA", u"MOCANU",
    u"ANDRIEŞ", u"COJOCARU", u"ROTARU", u"ŢĂRANU", u"VÂLCU", u"ZĂVOIANU", u"CHIRIŢĂ", u"ÎNDRIEŞ",
    u"NISTOR", u"TIMOFTE", u"SAVA", u"DOBRE",
};

inline constexpr std::array<const char16_t *, 24> menNames = {
    u"ION", u"GHEORGHE", u"VASILE", u"CONSTANTIN", u"ŞTEFAN", u"MIHĂIŢĂ", u"COSTEL", u"NICOLAE",
    u"DUMITRU", u"PETRU", u"TOADER", u"IONUŢ", u"FLORIN", u"MARIUS", u"COSMIN", u"ANDREI",
    u"ALEXANDRU", u"GELU", u"TĂNASE", u"VIOREL", u"ADRIAN", u"CĂTĂLIN", u"DĂNUŢ", u"ILIE",
};

inline constexpr std::array<const char16_t *, 24> womenNames = {
    u"MARIA", u"ELENA", u"IOANA", u"ANA", u"GEORGETA", u"FLOAREA", u"ŞTEFANIA", u"VIORICA",
    u"MĂRIOARA", u"ILEANA", u"DOINA", u"LUMINIŢA", u"ANDREEA", u"ROXANA", u"CRISTINA", u"MIHAELA",
    u"TINCUŢA", u"RĂDIŢA", u"GABRIELA", u"ALINA", u"VASILICA", u"CĂTĂLINA", u"DOMNIŢA", u"ILINCA",
};

inline constexpr std::array<const char16_t *, 12> streets = {
    u"Str. Principală", u"Str. Şcolii", u"Str. Bisericii", u"Str. Morii", u"Str. Ţarinei", u"Str. Fântânii",
    u"Str. Livezii", u"Str. Câmpului", u"Str. Pădurii", u"Str. Învăţătorului", u"Str. Unirii", u"Str. Viilor",
};

// Suppliers as clerks type them: the same company in several spellings.
inline constexpr std::array<const char16_t *, 5> gasSuppliers = {
    u"E-On Gaz", u"E-ON GAZ", u"e-on gaz", u"Engie Romania", u"ENGIE ROMANIA",
};
inline constexpr std::array<const char16_t *, 6> electricitySuppliers = {
    u"CEZ Vanzare", u"cez vanzare", u"Electrica Furnizare", u"ELECTRICA FURNIZARE", u"Premier Energy",
    u"PREMIER energy",
};
inline constexpr std::array<const char16_t *, 2> heatSuppliers = {u"Termoficare", u"TERMOFICARE"};

struct Bank
{
    const char16_t *name;
    const char *code; // the four letters of its IBANs
};
inline constexpr std::array<Bank, 6> banks = {{
    {u"BCR", "RNCB"}, {u"BRD", "BRDE"}, {u"Banca Transilvania", "BTRL"}, {u"CEC Bank", "CECE"},
    {u"Raiffeisen Bank", "RZBR"}, {u"ING Bank", "INGB"},
}};

inline constexpr std::array<const char16_t *, 4> rejectReasons = {
    u"Venitul net mediu lunar pe membru de familie depăşeşte plafonul legal",
    u"Dosar incomplet: lipsesc actele doveditoare ale veniturilor",
    u"Deţine bunuri care conduc la excluderea de la dreptul de ajutor",
    u"Nu a prezentat documentele solicitate în termen",
};
inline constexpr std::array<const char16_t *, 3> endReasons = {
    u"Schimbarea domiciliului în altă localitate",
    u"Decesul titularului",
    u"Renunţare la dreptul de ajutor",
};

inline constexpr std::array<const char *, 10> occupations = {
    "salariat", "pensionar", "somer", "student", "independent", "lucrator agricol", "lucrator ocazional",
    "elev", "indemnizatie handicap", "fara venituri",
};

} // namespace SampleNames
