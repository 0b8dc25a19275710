#pragma once

#include "xls/records/BaseRecord.h"

#include <QString>

// FONT (0x0031):
//   0  u16  height in twips      2  u16  options (0x02 italic, 0x08 strikeout)
//   4  u16  colour index         6  u16  weight (400 normal, 700 bold)
//   8  u16  escapement          10  u8   underline
//  11  u8   family              12  u8   character set
//  13  u8   reserved            14  ...  name, BIFF8 string with a 1-byte length
class TFontRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0031;
    TFontRecord(quint16 id, QByteArray data);
    int Height() const;
    int Options() const;
    int ColorIndex() const;
    int Weight() const;
    int Escapement() const;
    int Underline() const;
    int Family() const;
    int CharSet() const;
    QString Name() const;
};

// XF (0x00E0): a cell or style format; stored as read.
//   0  u16  font index    2  u16  number format index
//   4  u16  type and protection (0x0004: style XF), parent XF in bits 4-15
class TXFRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x00E0;
    TXFRecord(quint16 id, QByteArray data);
    int FontIndex() const;
    int FormatIndex() const;
    bool IsStyle() const;
    int ParentXF() const;
};

// FORMAT (0x041E): a number format.
//   0  u16  format index
//   2  ...  format text, BIFF8 string with a 2-byte length (cut to the
//           record when it claims more characters than the record holds)
class TFormatRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x041E;
    TFormatRecord(quint16 id, QByteArray data);
    static std::unique_ptr<TFormatRecord> NewFormat(int formatIndex, const QString &text);
    int FormatIndex() const;
    QString FormatString() const;
};

// STYLE (0x0293): a cell style; stored as read.
//   0  u16  XF index (0x8000: built-in style)
class TStyleRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0293;
    TStyleRecord(quint16 id, QByteArray data);
    int XF() const;
    bool IsBuiltIn() const;
};

// PALETTE (0x0092): the custom colours from index 8 on.
//   0  u16  count
//   2  u32  per colour: red, green, blue, 0
class TPaletteRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0092;
    TPaletteRecord(quint16 id, QByteArray data);
    int Count() const;
    // 0x00BBGGRR as stored.
    quint32 Color(int index) const;
    void SetColor(int index, quint32 color);
};

// COLINFO (0x007D): format and width of a column range.
//   0  u16  first column    2  u16  last column
//   4  u16  width (1/256 character)
//   6  u16  XF              8  u16  options (0x01 hidden, bits 8-10 outline level)
class TColInfoRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x007D;
    TColInfoRecord(quint16 id, QByteArray data);
    int FirstColumn() const;
    int LastColumn() const;
    void SetColumns(int first, int last);
    int Width() const;
    void SetWidth(int width);
    int XF() const;
    void SetXF(int xf);
    int Options() const;
    void SetOptions(int options);
};
