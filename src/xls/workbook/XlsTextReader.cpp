#include "xls/workbook/XlsTextReader.h"

#include "platform/codepage/Cp1250.h"
#include "xls/workbook/XlsCellAccess.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QLocale>

namespace {

QVariant FieldValue(const QString &field, bool quoted)
{
    if (!quoted) {
        bool ok = false;
        const double number = QLocale::c().toDouble(field.trimmed(), &ok);
        if (ok)
            return number;
    }
    return field;
}

class TFieldScanner
{
public:
    TFieldScanner(const QString &text, QChar delimiter) : FText(text), FDelimiter(delimiter) {}

    bool AtEnd() const { return FPos >= FText.size(); }

    // Reads one field; tells whether it was quoted and whether a line ends after it.
    QString Next(bool &quoted, bool &endOfLine)
    {
        QString field;
        quoted = FPos < FText.size() && FText[FPos] == u'"';
        if (quoted) {
            ++FPos;
            while (FPos < FText.size()) {
                const QChar c = FText[FPos++];
                if (c != u'"') {
                    field += c;
                } else if (FPos < FText.size() && FText[FPos] == u'"') {
                    field += c;
                    ++FPos;
                } else {
                    break;
                }
            }
        }
        // Unquoted text, or whatever stands after the closing quote.
        while (FPos < FText.size() && FText[FPos] != FDelimiter && FText[FPos] != u'\r'
               && FText[FPos] != u'\n')
            field += FText[FPos++];
        endOfLine = true;
        if (FPos < FText.size() && FText[FPos] == FDelimiter) {
            endOfLine = false;
            ++FPos;
        } else if (FPos < FText.size()) {
            if (FText[FPos] == u'\r' && FPos + 1 < FText.size() && FText[FPos + 1] == u'\n')
                ++FPos;
            ++FPos;
        }
        return field;
    }

private:
    const QString &FText;
    QChar FDelimiter;
    qsizetype FPos = 0;
};

}  // namespace

void TXlsTextReader::Read(const QByteArray &bytes, TXlsCellAccess &cells, int row, int col,
                          QChar delimiter)
{
    const QString text = Cp1250::decode(bytes);
    TFieldScanner scanner(text, delimiter);
    int r = row, c = col;
    while (!scanner.AtEnd()) {
        bool quoted = false, endOfLine = false;
        const QString field = scanner.Next(quoted, endOfLine);
        if (!field.isEmpty()) {
            if (r < 0 || r > 65535)
                XlsRaise(XlsMsg::InvalidRow(r));
            if (c < 0 || c > 255)
                XlsRaise(XlsMsg::InvalidColumn(c));
            cells.SetCellValue(r, c, FieldValue(field, quoted));
        }
        if (endOfLine) {
            ++r;
            c = col;
        } else {
            ++c;
        }
    }
}
