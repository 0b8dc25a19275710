#pragma once

#include "xls/records/RowColRecord.h"

#include <QString>

// ROW (0x0208):
//   0  u16  row
//   2  u16  first column
//   4  u16  last column + 1
//   6  u16  height in twips
//   8  u16  reserved (0 after loading)
//  10  u16  reserved
//  12  u16  options: bits 0-2 outline level, 0x20 hidden, 0x40 custom height,
//           0x80 has a row format; byte 13 is 1 by default
//  14  u16  XF in the low 12 bits (15 when 0x80 is clear)
class TRowRecord : public TBaseRowColRecord
{
public:
    static constexpr quint16 Id = 0x0208;
    static constexpr int OptionHidden = 0x20;
    static constexpr int OptionCustomHeight = 0x40;
    static constexpr int OptionHasFormat = 0x80;

    static constexpr int MinSize = 16;
    TRowRecord(quint16 id, QByteArray data);
    // From bytes in place (the stream being read), copied in.
    TRowRecord(quint16 id, QByteArrayView data);
    static std::unique_ptr<TRowRecord> NewRow(int row);

    int FirstColumn() const { return Column(); }
    int LastColumnPlus1() const;
    void SetColumns(int first, int lastPlus1);
    int Height() const;
    void SetHeight(int height);
    int Options() const;
    void SetOptions(int options);
    int OutlineLevel() const { return Options() & 0x07; }
    bool IsHidden() const { return (Options() & OptionHidden) != 0; }
    bool HasCustomHeight() const { return (Options() & OptionCustomHeight) != 0; }
    int XF() const;
    void SetXF(int xf);
    // Options other than the default ones.
    bool IsFormatted() const;

    // Writes the row with first/last column narrowed to left..right.
    void SaveRangeToStream(QIODevice &stream, int left, int right) const;
};

// DIMENSIONS (0x0200): the used range as the writer saw it.
//   0  u32  first row     4  u32  last row + 1
//   8  u16  first column 10  u16  last column + 1
class TDimensionsRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0200;
    TDimensionsRecord(quint16 id, QByteArray data);
    quint32 FirstRow() const;
    quint32 LastRowPlus1() const;
    int FirstColumn() const;
    int LastColumnPlus1() const;
};

// WINDOW1 (0x003D):
//  10  u16  active sheet
//  12  u16  first visible tab
//  14  u16  selected tabs
class TWindow1Record : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x003D;
    TWindow1Record(quint16 id, QByteArray data);
    int ActiveSheet() const;
    // Makes sheet n active, the first tab visible and one tab selected.
    void SetActiveSheet(int sheet);
    int FirstVisibleTab() const;
    void SetFirstVisibleTab(int tab);
};

// WINDOW2 (0x023E):
//   0  u16  options: 0x0002 grid lines, 0x0004 headers, 0x0008 frozen panes,
//           0x0100 frozen without split, 0x0200 selected, 0x0400 shown
//   2  u16  first visible row
class TWindow2Record : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x023E;
    static constexpr int OptionShowGridLines = 0x0002;
    static constexpr int OptionShowHeaders = 0x0004;
    static constexpr int OptionFrozen = 0x0008;
    static constexpr int OptionFrozenNoSplit = 0x0100;
    static constexpr int OptionSelected = 0x0200;
    static constexpr int OptionShown = 0x0400;

    TWindow2Record(quint16 id, QByteArray data);
    // A copied sheet is never selected.
    std::unique_ptr<TBaseRecord> Clone() const override;

    int Options() const;
    void SetOptions(int options);
    bool Selected() const { return (Options() & OptionSelected) != 0; }
    // Sets or clears "selected" together with "shown".
    void SetSelected(bool selected);
    bool ShowGridLines() const { return (Options() & OptionShowGridLines) != 0; }
    void SetShowGridLines(bool show);
    bool ShowHeaders() const { return (Options() & OptionShowHeaders) != 0; }
    void SetShowHeaders(bool show);
    int FirstVisibleRow() const;
    void SetFirstVisibleRow(int row);
};

// SCL (0x00A0), the zoom:
//   0  u16  numerator    2  u16  denominator
class TSCLRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x00A0;
    TSCLRecord(quint16 id, QByteArray data);
    static std::unique_ptr<TSCLRecord> NewSCL(int zoom);
    // Percent, halves to even; 100 when the denominator is 0.
    int Zoom() const;
    // Clamped to 10..400, written over 100.
    void SetZoom(int zoom);
};

// HEADER (0x0014), FOOTER (0x0015):
//   0  ...  the text as a BIFF8 string with a 2-byte length (no data: empty;
//            a length of 0 may come without the option byte)
class TPageHeaderFooterRecord : public TBaseRecord
{
public:
    TPageHeaderFooterRecord(quint16 id, QByteArray data);
    QString Text() const;
    // Rebuilds the data; the size changes, so a list holding it must adjust.
    void SetText(const QString &text);

private:
    bool IsEmptyText() const;
};

class TPageHeaderRecord : public TPageHeaderFooterRecord
{
public:
    static constexpr quint16 Id = 0x0014;
    using TPageHeaderFooterRecord::TPageHeaderFooterRecord;
};

class TPageFooterRecord : public TPageHeaderFooterRecord
{
public:
    static constexpr quint16 Id = 0x0015;
    using TPageHeaderFooterRecord::TPageHeaderFooterRecord;
};

// A record of one u16 at 0 holding a flag or a value.
class TWordRecord : public TBaseRecord
{
public:
    TWordRecord(quint16 id, QByteArray data);
    int Value() const;
    void SetValue(int value);
};

// PRINTGRIDLINES (0x002B): 1 = print grid lines.
class TPrintGridLinesRecord : public TWordRecord
{
public:
    static constexpr quint16 Id = 0x002B;
    using TWordRecord::TWordRecord;
    bool PrintGridLines() const { return Value() == 1; }
    void SetPrintGridLines(bool on) { SetValue(on ? 1 : 0); }
};

// LEFTMARGIN .. BOTTOMMARGIN (0x0026 .. 0x0029):
//   0  f64  the margin in inches
class TMarginRecord : public TBaseRecord
{
public:
    static constexpr quint16 LeftId = 0x0026;
    static constexpr quint16 RightId = 0x0027;
    static constexpr quint16 TopId = 0x0028;
    static constexpr quint16 BottomId = 0x0029;
    TMarginRecord(quint16 id, QByteArray data);
    double Value() const;
    void SetValue(double inches);
};

// SETUP (0x00A1):
//   0  u16  paper size      2  u16  scale          4  u16  first page number
//   6  u16  fit width       8  u16  fit height    10  u16  options (0x04: no printer data)
//  12  u16  resolution     14  u16  vertical res. 16  f64  header margin
//  24  f64  footer margin  32  u16  copies
class TSetupRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x00A1;
    static constexpr int OptionNoPrinterData = 0x04;
    TSetupRecord(quint16 id, QByteArray data);

    int PaperSize() const;
    void SetPaperSize(int value);
    int Scale() const;
    void SetScale(int value);
    int FitWidth() const;
    void SetFitWidth(int value);
    int FitHeight() const;
    void SetFitHeight(int value);
    int Options() const;
    void SetOptions(int value);
    int Resolution() const;
    void SetResolution(int value);
    int VResolution() const;
    void SetVResolution(int value);
    double HeaderMargin() const;
    void SetHeaderMargin(double inches);
    double FooterMargin() const;
    void SetFooterMargin(double inches);
    int Copies() const;
    void SetCopies(int value);

private:
    bool NoPrinterData() const { return (Options() & OptionNoPrinterData) != 0; }
    // Printer-dependent fields read as defaults while there is no printer data.
    int PrinterField(int offset, int whenInvalid) const;
    // Writing one of them makes the printer data valid; the other option bits stay.
    void SetPrinterField(int offset, int value);
};

// PLS (0x004D): printer settings, a u16 and the rest as bytes.
class TPlsRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x004D;
    TPlsRecord(quint16 id, QByteArray data);
    int Word() const;
    QByteArray Bytes() const;
    void Rebuild(int word, const QByteArray &bytes);
};

// WSBOOL (0x0081):
//   byte 0: 0x80 column sums right, 0x40 row sums below, 0x20 apply styles
//   byte 1: 0x01 fit to page
class TWsBoolRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0081;
    TWsBoolRecord(quint16 id, QByteArray data);
    bool ColSumsRight() const { return Bit(0, 0x80); }
    void SetColSumsRight(bool on) { SetBit(0, 0x80, on); }
    bool RowSumsBelow() const { return Bit(0, 0x40); }
    void SetRowSumsBelow(bool on) { SetBit(0, 0x40, on); }
    bool ApplyStyles() const { return Bit(0, 0x20); }
    void SetApplyStyles(bool on) { SetBit(0, 0x20, on); }
    bool FitToPage() const { return Bit(1, 0x01); }
    void SetFitToPage(bool on) { SetBit(1, 0x01, on); }

private:
    bool Bit(int byte, int mask) const;
    void SetBit(int byte, int mask, bool on);
};

// DATEMODE (0x0022): 1 = dates counted from 1904.
class T1904Record : public TWordRecord
{
public:
    static constexpr quint16 Id = 0x0022;
    using TWordRecord::TWordRecord;
    bool Is1904() const { return Value() == 1; }
};

// REFMODE (0x000F): 1 = A1 references, anything else R1C1.
class TRefModeRecord : public TWordRecord
{
public:
    static constexpr quint16 Id = 0x000F;
    using TWordRecord::TWordRecord;
    bool IsR1C1() const { return Value() != 1; }
    void SetR1C1(bool on) { SetValue(on ? 0 : 1); }
};

// PRECISION (0x000E): 0 = precision as displayed.
class TPrecisionRecord : public TWordRecord
{
public:
    static constexpr quint16 Id = 0x000E;
    using TWordRecord::TWordRecord;
    bool PrecisionAsDisplayed() const { return Value() == 0; }
};

// BOOKBOOL (0x00DA): 1 = external link values are not saved.
class TBookBoolRecord : public TWordRecord
{
public:
    static constexpr quint16 Id = 0x00DA;
    using TWordRecord::TWordRecord;
    bool NoExternalValues() const { return Value() == 1; }
};

// DEFCOLWIDTH (0x0055): default column width in characters, u16 at 0.
class TDefColWidthRecord : public TWordRecord
{
public:
    static constexpr quint16 Id = 0x0055;
    using TWordRecord::TWordRecord;
};

// STANDARDWIDTH (0x0099): standard column width in 1/256 characters, u16 at 0.
class TStandardWidthRecord : public TWordRecord
{
public:
    static constexpr quint16 Id = 0x0099;
    using TWordRecord::TWordRecord;
};

// DEFAULTROWHEIGHT (0x0225):
//   0  u16  options    2  u16  height in twips
class TDefRowHeightRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0225;
    TDefRowHeightRecord(quint16 id, QByteArray data);
    int Options() const;
    int Height() const;
};
