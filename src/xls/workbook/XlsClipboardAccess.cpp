#include "xls/workbook/XlsClipboardAccess.h"

#include "xls/workbook/XlsWorkbookMessages.h"

namespace {
TXlsClipboardAccess *InstalledAccess = nullptr;
}

TXlsClipboardAccess &TXlsClipboardAccess::Installed()
{
    if (!InstalledAccess)
        XlsRaise(XlsMsg::ClipboardNotAvailable);
    return *InstalledAccess;
}

void TXlsClipboardAccess::Install(TXlsClipboardAccess *access)
{
    InstalledAccess = access;
}
