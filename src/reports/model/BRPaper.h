#pragma once

#include <QSizeF>

// Paper sizes in the order of their paper codes: value i stands for code i
// for 0 to 68, Custom for code 256 (a size the report sets itself); Default
// takes the printer's current paper.
enum class TBRPaperSize : int {
    Default, Letter, LetterSmall, Tabloid, Ledger, Legal, Statement, Executive, A3, A4, A4Small, A5, B4, B5,
    Folio, Quarto, qr10X14, qr11X17, Note, Env9, Env10, Env11, Env12, Env14, CSheet, DSheet, ESheet, EnvDL,
    EnvC5, EnvC3, EnvC4, EnvC6, EnvC65, EnvB4, EnvB5, EnvB6, EnvItaly, EnvMonarch, EnvPersonal, FanfoldUSStd,
    FanfoldGerStd, FanfoldGerLegal, B4ISO, PostcardJap, qr9X11, qr10X11, qr15X11, EnvInvite, Reserved1,
    Reserved2, LetterExtra, LegalExtra, TabloidExtra, A4Extra, LetterTrans, A4Trans, LetterExtraTrans,
    SuperASuperAA4, SuperBSuperBA3, LetterPlus, A4Plus, A5Trans, B5Trans, A3Extra, A5Extra, B5Extra, A2,
    A3Trans, A3ExtraTrans, Custom
};

constexpr int CustomPaperCode = 256;

// The paper code of a size (256 for Custom, 0 for Default).
int paperCode(TBRPaperSize size);
// The size of a code (Custom for 256, Default for codes not listed).
TBRPaperSize paperSizeOfCode(int code);
// Width and length of the portrait sheet in millimetres for the listed sizes
// (an empty size for Default and Custom).
QSizeF paperMillimetres(TBRPaperSize size);
