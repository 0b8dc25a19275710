#pragma once

#include <QtGlobal>

// The formula tokens of BIFF8, by name. Operand tokens are named in their
// reference-class form (0x20-0x3F); their value (0x40-0x5F) and array
// (0x60-0x7F) forms fold to it with BaseToken. The one table below gives
// each token its name and size; the decoder, the walker, the size function
// and the encoder all read it.
namespace Ptg {
enum : quint8 {
    Exp = 0x01, Tbl = 0x02,
    Add = 0x03, Sub = 0x04, Mul = 0x05, Div = 0x06, Power = 0x07, Concat = 0x08,
    LT = 0x09, LE = 0x0A, EQ = 0x0B, GE = 0x0C, GT = 0x0D, NE = 0x0E,
    Isect = 0x0F, Union = 0x10, Range = 0x11,
    UPlus = 0x12, UMinus = 0x13, Percent = 0x14, Paren = 0x15, MissArg = 0x16,
    Str = 0x17, Attr = 0x19, Sheet = 0x1A, EndSheet = 0x1B,
    Err = 0x1C, Bool = 0x1D, Int = 0x1E, Num = 0x1F,
    Array = 0x20, Func = 0x21, FuncVar = 0x22, Name = 0x23, Ref = 0x24, Area = 0x25,
    MemArea = 0x26, MemErr = 0x27, MemNoMem = 0x28, MemFunc = 0x29,
    RefErr = 0x2A, AreaErr = 0x2B, RefN = 0x2C, AreaN = 0x2D, MemAreaN = 0x2E, MemNoMemN = 0x2F,
    NameX = 0x39, Ref3d = 0x3A, Area3d = 0x3B, RefErr3d = 0x3C, AreaErr3d = 0x3D,
};

// The class bits of an operand token, and the three classes.
constexpr quint8 ClassMask = 0x60;
constexpr quint8 ClassReference = 0x20, ClassValue = 0x40, ClassArray = 0x60;
}  // namespace Ptg

// Option bits of the Attr token.
namespace PtgAttr {
enum : quint8 { Choose = 0x04, Sum = 0x10, Space = 0x40 };
}

struct TTokenInfo
{
    const char *Name;
    // Bytes with the id; 0 for a size the token's own bytes give (Str, Attr).
    int Size;
};

// The token id without its class bits: operand tokens in their reference form.
constexpr quint8 BaseToken(quint8 stored)
{
    return (stored >= 0x20 && stored <= 0x7F) ? quint8((stored & 0x1F) | Ptg::ClassReference) : stored;
}

// An operand token's id with the class bits given.
constexpr quint8 WithClass(quint8 id, quint8 classBits)
{
    return quint8((id & ~Ptg::ClassMask) | classBits);
}

// The entry of a stored token (class bits folded); null for an id the engine
// does not know (the older sheet tokens among them: their size is not fixed).
const TTokenInfo *TokenInfo(quint8 stored);
