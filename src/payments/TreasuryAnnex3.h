#pragma once

class TRTFReplace;
struct TreasuryPackage;

// The annex 3 documents ("Anexa3_Ajutor_Lemne.rtf", "Anexa3_Supliment_Lemne.rtf"):
// how many payees of each ticked code are paid by "OP" and how many otherwise,
// and their sums in whole lei, over the treasury file's rows.
namespace TreasuryAnnex3 {
void write(const TreasuryPackage &package, TRTFReplace &rtf);
}
