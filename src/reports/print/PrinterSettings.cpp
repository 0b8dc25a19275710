#include "reports/print/PrinterSettings.h"

#include <QPrinterInfo>

namespace {

struct SourceCode
{
    int code;
    QPrinter::PaperSource source;
};

const SourceCode Sources[] = {
    {1, QPrinter::Upper}, {2, QPrinter::Lower}, {3, QPrinter::Middle}, {4, QPrinter::Manual},
    {5, QPrinter::Envelope}, {6, QPrinter::EnvelopeManual}, {7, QPrinter::Auto}, {8, QPrinter::Tractor},
    {9, QPrinter::SmallFormat}, {10, QPrinter::LargeFormat}, {11, QPrinter::LargeCapacity}, {14, QPrinter::Cassette},
};

} // namespace

int binCodeOfSource(QPrinter::PaperSource source)
{
    for (const SourceCode &s : Sources)
        if (s.source == source)
            return s.code;
    return 0;
}

void TPrinterSettings::SetPaperSize(TBRPaperSize size)
{
    PaperSize = size;
    const QSizeF mm = paperMillimetres(size);
    if (!mm.isEmpty()) {
        PaperWidth = mm.width() * 10;
        PaperLength = mm.height() * 10;
    }
}

QPageSize TPrinterSettings::pageSize() const
{
    const int code = UseCustomPaperCode ? CustomPaperCode : paperCode(PaperSize);
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (code != CustomPaperCode && id != QPageSize::Custom && PaperSize != TBRPaperSize::Custom)
        return QPageSize(id);
    return QPageSize(QSizeF(PaperWidth / 10, PaperLength / 10), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

QPrinter::DuplexMode TPrinterSettings::duplexMode() const
{
    switch (ExtendedDuplex ? ExtendedDuplex : (Duplex ? 3 : 1)) {
    case 2: return QPrinter::DuplexLongSide;
    case 3: return QPrinter::DuplexShortSide;
    default: return QPrinter::DuplexNone;
    }
}

bool TPrinterSettings::paperSource(QPrinter::PaperSource *out) const
{
    const int code = UseCustomBinCode ? CustomBinCode : binCode(OutputBin);
    for (const SourceCode &s : Sources)
        if (s.code == code) {
            *out = s.source;
            return true;
        }
    return false;
}

bool TPrinterSettings::takenOverBy(const Hook &hook)
{
    bool handled = false;
    if (hook)
        hook(*this, *m_printer, handled);
    return handled;
}

void TPrinterSettings::ReadSettings()
{
    if (takenOverBy(OnGetPrinterSettings))
        return;
    XResolution = YResolution = m_printer->resolution();
    Copies = m_printer->copyCount();
    OutputBin = binOfCode(binCodeOfSource(m_printer->paperSource()));
    ExtendedDuplex = m_printer->duplex() == QPrinter::DuplexLongSide ? 2 : m_printer->duplex() == QPrinter::DuplexShortSide ? 3 : 1;
    Duplex = ExtendedDuplex != 1;
    ReadOffsets();
    const QPageSize ps = m_printer->pageLayout().pageSize();
    PaperSize = paperSizeOfCode(ps.windowsId());
    if (PaperSize == TBRPaperSize::Custom)
        PaperSize = TBRPaperSize::Default;
    const QSizeF mm = ps.size(QPageSize::Millimeter);
    PaperWidth = mm.width() * 10;
    PaperLength = mm.height() * 10;
    Orientation = m_printer->pageLayout().orientation();
    Supported.fill(false);
    for (const QPageSize &s : QPrinterInfo(*m_printer).supportedPageSizes())
        if (TBRPaperSize p = paperSizeOfCode(s.windowsId()); p != TBRPaperSize::Default)
            Supported[size_t(p)] = true;
    Collate = m_printer->collateCopies() ? 1 : 0;
    ColorOption = m_printer->colorMode() == QPrinter::Color ? 2 : 1;
}

void TPrinterSettings::ReadOffsets()
{
    const QRectF paper = m_printer->paperRect(QPrinter::Millimeter);
    const QRectF page = m_printer->pageRect(QPrinter::Millimeter);
    LeftOffset = (page.left() - paper.left()) * 10;
    TopOffset = (page.top() - paper.top()) * 10;
}

void TPrinterSettings::ApplySettings()
{
    if (takenOverBy(OnApplyPrinterSettings))
        return;
    if (PaperSize != TBRPaperSize::Default || UseCustomPaperCode)
        m_printer->setPageSize(pageSize());
    m_printer->setCopyCount(qMax(Copies, 1));
    m_printer->setDuplex(duplexMode());
    QPrinter::PaperSource source;
    if (paperSource(&source))
        m_printer->setPaperSource(source);
    m_printer->setPageOrientation(Orientation);
    m_printer->setCollateCopies(Collate == 1);
    if (PrintQuality > 0) // driver quality codes (below 0) have no meaning here
        m_printer->setResolution(PrintQuality);
    if (ColorOption == 1 || ColorOption == 2)
        m_printer->setColorMode(ColorOption == 1 ? QPrinter::GrayScale : QPrinter::Color);
}
