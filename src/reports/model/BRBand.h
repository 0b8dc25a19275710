#pragma once
#include "reports/model/BRPrintable.h"
#include <functional>
#include <memory>
#include <vector>

enum class TBRBandType {
    rbTitle, rbPageHeader, rbDetail, rbPageFooter, rbSummary, rbGroupHeader, rbGroupFooter, rbSubDetail,
    rbColumnHeader, rbOverlay, rbChild
};

// A horizontal strip of a report holding its printables. Heights are in
// tenths of a millimetre; a child band prints right after its parent.
struct TBRBand
{
    TBRBandType BandType = TBRBandType::rbDetail;
    double Height = 100;
    bool Enabled = true;
    bool AlignToBottom = false;
    bool ForceNewPage = false;
    bool ForceNewColumn = false;
    bool KeepOnOnePage = false;
    bool TransparentBand = true;
    QColor Color = Qt::white;
    TBRFrame Frame;
    std::vector<TBRPrintable> Controls;
    std::shared_ptr<TBRBand> Child;
    // A band kept in the same column as this one: its height counts when this one makes room.
    TBRBand *LinkBand = nullptr;
    // Asked before the band prints; answering false leaves it out.
    std::function<bool()> BeforePrint;
    // Told after the band printed.
    std::function<void(bool printed)> AfterPrint;

    TBRBand() = default;
    TBRBand(TBRBandType type, double height) : BandType(type), Height(height) {}
    TBRPrintable &Add(TBRPrintable p) { return Controls.emplace_back(std::move(p)); }
    // Height of the band and its chain of children, when enabled.
    double ChainHeight() const;
    // Refuses (false, link unchanged) a band whose own link chain leads back here.
    bool SetLinkBand(TBRBand *band);
    // The height with the bands chained through LinkBand.
    double LinkedHeight() const;
};
