#include "xls/workbook/XlsTextWriter.h"

#include "platform/codepage/Cp1250.h"
#include "xls/workbook/XlsCellAccess.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QIODevice>
#include <QLocale>

#include <algorithm>

namespace {

QString FieldText(const QVariant &value, QChar delimiter)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QLocale::c().toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    default:
        break;
    }
    QString text = value.toString();
    if (text.contains(delimiter) || text.contains(u'"') || text.contains(u'\r')
        || text.contains(u'\n')) {
        text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        text = u'"' + text + u'"';
    }
    return text;
}

}  // namespace

QByteArray TXlsTextWriter::ToBytes(const TXlsCellAccess &cells, const TXlsCellRange &range,
                                   QChar delimiter)
{
    QString text;
    const int bottom = std::min(range.Bottom, 65535);
    const int right = std::min(range.Right, 255);
    for (int row = std::max(range.Top, 0); row <= bottom; ++row) {
        for (int col = std::max(range.Left, 0); col <= right; ++col) {
            if (col > range.Left)
                text += delimiter;
            text += FieldText(cells.CellValue(row, col), delimiter);
        }
        text += QStringLiteral("\r\n");
    }
    return Cp1250::encode(text);
}

void TXlsTextWriter::Write(QIODevice &out, const TXlsCellAccess &cells, QChar delimiter)
{
    Write(out, cells, TXlsCellRange{0, 0, cells.ColCount() - 1, cells.RowCount() - 1}, delimiter);
}

void TXlsTextWriter::Write(QIODevice &out, const TXlsCellAccess &cells,
                           const TXlsCellRange &range, QChar delimiter)
{
    const QByteArray bytes = ToBytes(cells, range, delimiter);
    if (out.write(bytes) != bytes.size())
        XlsRaise(QStringLiteral("Error writing output file"));
}
