#include "documents/XlsFillBackEnd.h"

#include "platform/automation/XlsxWorkbook.h"

#include <QDateTime>
#include <QLocale>

namespace {

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

QDate dateOf(const QVariant &v)
{
    return v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
}

bool isDate(const QVariant &v)
{
    return v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime;
}

} // namespace

void TXlsFillBackEnd::InsertRowCopiesToFill(int row, int count, const std::vector<int> &)
{
    InsertRowCopies(row, count);
}

void TXlsFillBackEnd::SetRowValues(int row, const TRowValues &values)
{
    for (const TColumnValue &v : values)
        SetValue(row, v.Col, v.Value);
}

QString TXlsFillBackEnd::Text(int row, int col) const
{
    return ValueText(Value(row, col));
}

QString TXlsFillBackEnd::ValueText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (isNumber(value))
        return XlsxWorkbook::numberText(value.toDouble());
    if (isDate(value))
        return QLocale::c().toString(dateOf(value), QStringLiteral("dd.MM.yyyy"));
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    return value.toString();
}

double TXlsFillBackEnd::DayNumber(const QDate &date)
{
    return double(QDate(1899, 12, 30).daysTo(date));
}

QVariant TXlsFillBackEnd::CellValue(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double)  // most filled cells, already as a cell holds them
        return value;
    if (value.typeId() == QMetaType::QString)  // the others
        return static_cast<const QString *>(value.constData())->isEmpty() ? QVariant() : value;
    if (!value.isValid() || value.isNull())
        return {};
    if (isNumber(value))
        return value.toDouble();
    if (isDate(value))
        return dateOf(value).isValid() ? QVariant(DayNumber(dateOf(value))) : QVariant();
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString();
    return text.isEmpty() ? QVariant() : QVariant(text);
}
