#pragma once

#include "xls/workbook/XlsClipboardAccess.h"

// The desktop's clipboard behind the engine's copy and paste. The engine
// links Qt Core only; a program with a GUI installs this at start-up.
class TSystemClipboard : public TXlsClipboardAccess
{
public:
    // Raises "The clipboard is not available" without a GUI application.
    void SetMimeData(std::unique_ptr<QMimeData> data) override;
    const QMimeData *MimeData() const override;

    // Makes the engine's file objects use the system clipboard.
    static void Install();
};
