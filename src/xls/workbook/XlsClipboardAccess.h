#pragma once

#include <memory>

class QMimeData;

// Where the file object's copy and paste go. The engine knows no window
// system: the layer above it that does installs its clipboard here.
class TXlsClipboardAccess
{
public:
    virtual ~TXlsClipboardAccess() = default;
    virtual void SetMimeData(std::unique_ptr<QMimeData> data) = 0;
    // What the clipboard holds now; null when nothing.
    virtual const QMimeData *MimeData() const = 0;

    // The one installed; raises "The clipboard is not available" when none is.
    static TXlsClipboardAccess &Installed();
    // Not owned; it must live as long as the engine is used.
    static void Install(TXlsClipboardAccess *access);
};
