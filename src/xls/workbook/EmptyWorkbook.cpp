#include "xls/workbook/EmptyWorkbook.h"

#include "xls/storage/Ole2Storage.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QFile>

static void InitResources()
{
    Q_INIT_RESOURCE(XlsWorkbookResources);
}

namespace EmptyWorkbook {

QByteArray Document()
{
    InitResources();
    QFile file(QStringLiteral(":/xls/EMPTYWORKBOOK"));
    if (!file.open(QIODevice::ReadOnly))
        XlsRaise(XlsMsg::LogicalError);
    return file.readAll();
}

QByteArray WorkbookStream()
{
    static const QByteArray stream = [] {
        const QByteArray document = Document();
        return TOle2Storage::OpenBytes(document)->OpenStream(u"Workbook").Data();
    }();
    return stream;
}

}  // namespace EmptyWorkbook
