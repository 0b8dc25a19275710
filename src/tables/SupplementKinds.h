#pragma once

#include <QString>

#include <array>

// The energy supplements a request can carry and the Cereri columns each is
// kept in. Solid fuel is paid to the holder of the request and has no
// supplier; thermal energy has no consumption point.
struct SupplementKind
{
    char letter;            // of the columns and of the documents' tags: "[SG]", "[SUPG]"
    const char *amount;     // SUMAL, SUMAG, ...
    const char *holder;     // who the supplier bills: TITG, ...; TITULAR for solid fuel
    const char *cnp;        // CNPG, ...; CNP for solid fuel
    const char *supplier;   // FURNG, ...; none for solid fuel
    const char *clientCode; // CODCLG, ...; none for solid fuel
    const char *point;      // PODG, PODE; none for solid fuel and thermal energy
};

namespace SupplementKinds {

// In the order of Cereri's columns.
inline constexpr SupplementKind SolidFuel{'L', "SUMAL", "TITULAR", "CNP", nullptr, nullptr, nullptr};
inline constexpr SupplementKind Gas{'G', "SUMAG", "TITG", "CNPG", "FURNG", "CODCLG", "PODG"};
inline constexpr SupplementKind Electricity{'E', "SUMAE", "TITE", "CNPE", "FURNE", "CODCLE", "PODE"};
inline constexpr SupplementKind Thermal{'T', "SUMAT", "TITT", "CNPT", "FURNT", "CODCLT", nullptr};
inline constexpr std::array<SupplementKind, 4> All{SolidFuel, Gas, Electricity, Thermal};

// The SQL sum of a request's supplements: "(SUMAL+SUMAG+SUMAE+SUMAT)".
QString totalSql();

} // namespace SupplementKinds
