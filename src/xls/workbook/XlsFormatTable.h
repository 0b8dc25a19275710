#pragma once

#include "xls/workbook/ExcelFile.h"

class TBaseRecordList;

// The fonts (FONT), cell formats (XF), number formats (FORMAT) and palette
// (PALETTE) among the records of the workbook globals.
class TXlsFormatTable
{
public:
    explicit TXlsFormatTable(TBaseRecordList &globals) : FRecords(globals) {}

    // Font indexes as XF records use them: there is no font 4, so 5 is the
    // fifth FONT record. An index that names no font means font 0.
    int FontCount() const;
    TXlsFont GetFont(int index) const;
    // Setting font 4 or a font that does not exist does nothing.
    void SetFont(int index, const TXlsFont &font);

    // An index that names no XF record means format 0.
    int FormatCount() const;
    TXlsFormat GetFormat(int index) const;
    // Replaces an existing XF record; others are left alone.
    void SetFormat(int index, const TXlsFormat &format);
    // The XF of an equal cell format, added when there is none.
    int AddFormat(const TXlsFormat &format);
    QString FormatString(int index) const;

    // Colours 1..56 (palette entries 8..63) as 0xRRGGBB.
    quint32 GetColorPalette(int index) const;
    void SetColorPalette(int index, quint32 rgb);

private:
    QList<int> Positions(quint16 id) const;
    int FontRecord(int index) const;
    QString NumberFormatText(int formatIndex) const;
    int NumberFormatIndex(const QString &text);
    QByteArray XFData(const TXlsFormat &format);
    static void CheckColor(int index);

    TBaseRecordList &FRecords;
};
