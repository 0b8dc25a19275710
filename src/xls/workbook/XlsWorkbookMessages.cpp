#include "xls/workbook/XlsWorkbookMessages.h"

#include "xls/storage/ExcelException.h"

namespace XlsMsg {

QString InvalidSheetNumber(int sheet, int low, int high)
{
    return QStringLiteral("Sheet number \"%1\" invalid. Must be between %2 and %3")
        .arg(sheet).arg(low).arg(high);
}

QString CantFindFile(const QString &fileName)
{
    return QStringLiteral("Can't find the file \"%1\"").arg(fileName);
}

QString CantWriteFile(const QString &fileName)
{
    return QStringLiteral("Nu pot scrie fisierul \"%1\": exista deja. Verificati sa nu fie folosit de alt utilizator.")
        .arg(fileName);
}

QString SheetNameExists(const QString &name)
{
    return QStringLiteral("Sheet name already exists: %1").arg(name);
}

QString InvalidSheetCount(int count)
{
    return QStringLiteral("Invalid number of sheets (%1)").arg(count);
}

QString InvalidRow(int row)
{
    return QStringLiteral("Invalid Row (%1)").arg(row);
}

QString InvalidColumn(int col)
{
    return QStringLiteral("Invalid Column (%1)").arg(col);
}

QString IndexOutOfRange(int index, const QString &property, int low, int high)
{
    return QStringLiteral("The index \"%1\" of the property \"%2\" is not in the range %3-%4")
        .arg(index).arg(property).arg(low).arg(high);
}


}  // namespace XlsMsg

void XlsRaise(const QString &message)
{
    throw EExcelException(message.toStdString());
}

namespace XlsMsg {

QString OlderExcelVersion(const QString &stream, int bofVersion)
{
    return QStringLiteral("Fișierul este salvat în formatul Excel 5.0/95, pe care programul nu îl citește; "
                          "salvați-l ca Excel 97-2003 (.xls) și încercați din nou. "
                          "(fluxul \"%1\", versiunea BOF 0x%2)")
        .arg(stream)
        .arg(bofVersion, 4, 16, QLatin1Char('0'));
}

QString StreamSharesSectors(const QString &stream)
{
    return QStringLiteral("Fișierul este deteriorat: fluxul cu foile de calcul se suprapune cu alt flux al "
                          "documentului. (fluxul \"%1\" trece prin sectoare ale altui flux)")
        .arg(stream);
}

QString AtLoadPlace(const QString &message, const QString &part, int recordId, qint64 offset)
{
    return QStringLiteral("%1 (%2, înregistrarea 0x%3, la octetul %4 al fluxului)")
        .arg(message, part)
        .arg(recordId, 4, 16, QLatin1Char('0'))
        .arg(offset);
}

}  // namespace XlsMsg
