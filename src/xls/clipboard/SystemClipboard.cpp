#include "xls/clipboard/SystemClipboard.h"

#include "xls/workbook/XlsWorkbookMessages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

// Without a GUI application there is no clipboard to reach.
QClipboard &Clipboard()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        XlsRaise(XlsMsg::ClipboardNotAvailable);
    return *QGuiApplication::clipboard();
}

}  // namespace

void TSystemClipboard::SetMimeData(std::unique_ptr<QMimeData> data)
{
    Clipboard().setMimeData(data.release());  // the clipboard takes it
}

const QMimeData *TSystemClipboard::MimeData() const
{
    return Clipboard().mimeData();
}

void TSystemClipboard::Install()
{
    static TSystemClipboard clipboard;
    TXlsClipboardAccess::Install(&clipboard);
}
