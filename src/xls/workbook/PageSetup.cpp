#include "xls/workbook/PageSetup.h"

#include "xls/records/ExcelString.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/SheetRecords.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QtEndian>

#include <cmath>

namespace {

// The page-setting records in the order a sheet holds them.
constexpr quint16 Order[] = {0x002B /*PRINTGRIDLINES*/, 0x0081 /*WSBOOL*/, 0x001B /*HORIZONTALPAGEBREAKS*/,
                             0x001A /*VERTICALPAGEBREAKS*/, 0x0014 /*HEADER*/,
                             0x0015 /*FOOTER*/, 0x0083 /*HCENTER*/, 0x0084 /*VCENTER*/,
                             0x0026, 0x0027, 0x0028, 0x0029 /*margins*/, 0x004D /*PLS*/,
                             0x00A1 /*SETUP*/};
// Records that follow the page settings.
constexpr quint16 After[] = {0x0055 /*DEFCOLWIDTH*/, 0x007D /*COLINFO*/, 0x0200 /*DIMENSIONS*/};

constexpr int PortraitOption = 0x02, NoPrinterDataOption = 0x04, NoOrientationOption = 0x40;
constexpr int SetupSize = 34;

int RankOf(quint16 id)
{
    for (int i = 0; i < int(std::size(Order)); ++i)
        if (Order[i] == id)
            return i;
    return -1;
}

QString TextOf(const TBaseRecordList &records, quint16 id)
{
    const int at = XlsDetail::FindRecord(records, id);
    const auto *record = at >= 0 ? dynamic_cast<const TPageHeaderFooterRecord *>(records.Items(at)) : nullptr;
    return record ? record->Text() : QString();
}

void Put(TBaseRecordList &records, quint16 id, const QByteArray &data)
{
    const int at = XlsDetail::FindRecord(records, id);
    if (at >= 0)
        XlsDetail::ReplaceData(records, at, data);
    else
        records.Insert(TPageSetup::PlaceFor(records, id), CreateRecord(id, data));
}

QByteArray Word(int value)
{
    QByteArray data(2, '\0');
    WriteWord(data, 0, static_cast<quint16>(value));
    return data;
}

void CheckRange(double value, double low, double high, const char *what)
{
    if (!std::isfinite(value) || value < low || value > high)
        XlsRaise(QStringLiteral("Invalid %1 (%2)").arg(QLatin1String(what)).arg(value));
}

}  // namespace

int TPageSetup::PlaceFor(const TBaseRecordList &records, quint16 id)
{
    const int rank = RankOf(id);
    int after = -1, before = -1;
    for (int i = 0; i < records.Count(); ++i) {
        const TBaseRecord *r = records.Items(i);
        const int other = r ? RankOf(r->RecordId()) : -1;
        if (other < 0)
            continue;
        if (other < rank)
            after = i + 1;
        else if (other > rank && before < 0)
            before = i;
    }
    if (after >= 0)
        return after;
    if (before >= 0)
        return before;
    for (quint16 next : After)
        if (const int at = XlsDetail::FindRecord(records, next); at >= 0)
            return at;
    return std::max(records.Count() - 1, 0);
}

TXlsPageSetup TPageSetup::Read(const TBaseRecordList &records)
{
    TXlsPageSetup setup;
    setup.Header = TextOf(records, TPageHeaderRecord::Id);
    setup.Footer = TextOf(records, TPageFooterRecord::Id);
    if (const int at = XlsDetail::FindRecord(records, TPrintGridLinesRecord::Id); at >= 0)
        setup.PrintGridLines = records.Items(at)->DataSize() >= 2 && ReadWord(records.Items(at)->Data(), 0) == 1;
    if (const int at = XlsDetail::FindRecord(records, TWsBoolRecord::Id); at >= 0)
        setup.FitToPage = records.Items(at)->DataSize() >= 2 && (records.Items(at)->Data().at(1) & 0x01) != 0;
    const int at = XlsDetail::FindRecord(records, TSetupRecord::Id);
    if (at < 0 || records.Items(at)->DataSize() < SetupSize)
        return setup;
    const QByteArray &d = records.Items(at)->Data();
    const int options = ReadWord(d, 10);
    setup.FitWidth = ReadWord(d, 6);
    setup.FitHeight = ReadWord(d, 8);
    setup.HeaderMargin = qFromLittleEndian<double>(d.constData() + 16);
    setup.FooterMargin = qFromLittleEndian<double>(d.constData() + 24);
    if ((options & NoOrientationOption) == 0)
        setup.Landscape = (options & PortraitOption) == 0;
    // Paper, scale, resolutions and copies mean something only with printer data.
    if ((options & NoPrinterDataOption) == 0) {
        setup.PaperSize = ReadWord(d, 0);
        setup.Scale = ReadWord(d, 2);
        setup.HResolution = ReadWord(d, 12);
        setup.VResolution = ReadWord(d, 14);
        setup.Copies = ReadWord(d, 32);
    }
    return setup;
}

void TPageSetup::Write(TBaseRecordList &records, const TXlsPageSetup &setup)
{
    CheckRange(setup.Scale, 10, 400, "print scale");
    CheckRange(setup.PaperSize, 0, 0xFFFF, "paper size");
    CheckRange(setup.FitWidth, 0, 0xFFFF, "fit width");
    CheckRange(setup.FitHeight, 0, 0xFFFF, "fit height");
    CheckRange(setup.HResolution, 0, 0xFFFF, "print resolution");
    CheckRange(setup.VResolution, 0, 0xFFFF, "print resolution");
    CheckRange(setup.Copies, 1, 0xFFFF, "number of copies");
    CheckRange(setup.HeaderMargin, 0, 100, "header margin");
    CheckRange(setup.FooterMargin, 0, 100, "footer margin");
    if (setup.Header.size() > 255 || setup.Footer.size() > 255)
        XlsRaise(QStringLiteral("Page headers and footers hold at most 255 characters"));

    const int at = XlsDetail::FindRecord(records, TSetupRecord::Id);
    QByteArray d = at >= 0 && records.Items(at)->DataSize() >= SetupSize ? records.Items(at)->Data()
                                                                          : QByteArray(SetupSize, '\0');
    int options = ReadWord(d, 10) & ~(NoPrinterDataOption | NoOrientationOption | PortraitOption);
    if (!setup.Landscape)
        options |= PortraitOption;
    WriteWord(d, 0, static_cast<quint16>(setup.PaperSize));
    WriteWord(d, 2, static_cast<quint16>(setup.Scale));
    WriteWord(d, 4, std::max<quint16>(ReadWord(d, 4), 1));
    WriteWord(d, 6, static_cast<quint16>(setup.FitWidth));
    WriteWord(d, 8, static_cast<quint16>(setup.FitHeight));
    WriteWord(d, 10, static_cast<quint16>(options));
    WriteWord(d, 12, static_cast<quint16>(setup.HResolution));
    WriteWord(d, 14, static_cast<quint16>(setup.VResolution));
    qToLittleEndian(setup.HeaderMargin, d.data() + 16);
    qToLittleEndian(setup.FooterMargin, d.data() + 24);
    WriteWord(d, 32, static_cast<quint16>(setup.Copies));
    Put(records, TSetupRecord::Id, d);

    const int wsbool = XlsDetail::FindRecord(records, TWsBoolRecord::Id);
    // A sheet without WSBOOL gets the one the spreadsheet application writes.
    QByteArray flags = wsbool >= 0 && records.Items(wsbool)->DataSize() >= 2 ? records.Items(wsbool)->Data()
                                                                               : QByteArray::fromHex("c104");
    flags[1] = static_cast<char>(setup.FitToPage ? flags.at(1) | 0x01 : flags.at(1) & ~0x01);
    Put(records, TWsBoolRecord::Id, flags);
    Put(records, TPrintGridLinesRecord::Id, Word(setup.PrintGridLines ? 1 : 0));
    Put(records, TPageHeaderRecord::Id, setup.Header.isEmpty() ? QByteArray() : TExcelString(2, setup.Header).ToBytes());
    Put(records, TPageFooterRecord::Id, setup.Footer.isEmpty() ? QByteArray() : TExcelString(2, setup.Footer).ToBytes());
}
