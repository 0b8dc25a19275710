#pragma once

struct TreasuryPackage;

// The annex 2 workbooks ("Anexa2_Ajutor_Lemne.xls", "Anexa2_Supliment_Lemne.xls"):
// the payees of each ticked code, read back from the treasury file.
namespace TreasuryAnnex2 {
void write(const TreasuryPackage &package);
}
