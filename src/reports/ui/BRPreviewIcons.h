#pragma once
#include <QIcon>

// The preview's tool-button pictures, drawn here so that they show on any
// desktop, whatever icon theme it has (or none).
namespace BRPreviewIcons {

enum class Kind {
    ZoomFit, ZoomWidth, Zoom100, First, Previous, Next, Last, GotoPage, Find, PrintSetup, Print, SavePdf, Save, Load, Close
};

QIcon Icon(Kind kind);

} // namespace BRPreviewIcons
