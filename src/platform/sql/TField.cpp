#include "platform/sql/TField.h"

#include "platform/sql/SqlError.h"
#include "platform/sql/SqlValue.h"
#include "platform/sql/TDataSet.h"
#include "platform/sql/VariantCell.h"

#include <cmath>
#include <limits>

TField::TField(TDataSet *dataSet, int index, const QString &name, TFieldType type, int size, int decimals)
    : m_dataSet(dataSet), m_index(index), m_name(name), m_type(type), m_size(size), m_decimals(decimals)
{
}

void TField::refuse(const QString &value, const char *kind) const
{
    throw SqlError(QStringLiteral("'%1' is not a valid %2 value for field %3")
                       .arg(value, QLatin1StringView(kind), m_name));
}

// Inlined into every reader: a scan reads each field through one of them.
Q_ALWAYS_INLINE const QVariant &TField::stored() const { return m_dataSet->fieldValue(m_index); }

// The value straight from the current row's record, when the row is read from
// one and the value is null or of the kind the reader wants: a table's scan
// reads every field this way. Else null, and the reader goes through the
// cell, out of line (cell...()), so that this path keeps its registers.
Q_ALWAYS_INLINE const DbfValue *TField::direct(DbfValue::Kind kind) const
{
    const DbfValue *v = m_dataSet->recordValue(m_index);
    return v && (v->kind == kind || v->kind == DbfValue::Null) ? v : nullptr;
}

QVariant TField::Value() const { return stored(); }

bool TField::IsNull() const
{
    if (const DbfValue *v = m_dataSet->recordValue(m_index)) [[likely]]
        return v->kind == DbfValue::Null;
    return cellIsNull();
}

bool TField::cellIsNull() const { return VariantCell::isNull(stored()); }

QString TField::AsString() const
{
    if (const DbfValue *d = direct(DbfValue::Text)) [[likely]]
        return d->kind == DbfValue::Text ? d->text : QString();
    return cellString();
}

QString TField::cellString() const
{
    const QVariant &v = stored();
    if (VariantCell::isNull(v))
        return QString();
    if (VariantCell::holds<QString>(v))
        return VariantCell::get<QString>(v);
    switch (v.typeId()) {
    case QMetaType::Double: return SqlValue::formatNumber(v.toDouble());
    case QMetaType::LongLong:
    case QMetaType::Int: return QString::number(v.toLongLong());
    case QMetaType::QDate: return SqlValue::formatDate(v.toDate());
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return v.toString();
    }
}

double TField::AsFloat() const
{
    if (const DbfValue *d = direct(DbfValue::Number)) [[likely]]
        return d->kind == DbfValue::Number ? d->number : 0;
    return cellFloat();
}

double TField::cellFloat() const
{
    const QVariant &v = stored();
    if (VariantCell::isNull(v))
        return 0;
    if (VariantCell::holds<double>(v))
        return VariantCell::get<double>(v);
    switch (v.typeId()) {
    // What toDouble() gives, without its conversion lookup: sums read these per row.
    case QMetaType::Double: return *static_cast<const double *>(v.constData());
    case QMetaType::LongLong: return double(*static_cast<const qlonglong *>(v.constData()));
    case QMetaType::Int: return v.toDouble();
    case QMetaType::Bool: return v.toBool() ? 1 : 0;
    case QMetaType::QString: {
        double d = 0;
        if (v.toString().trimmed().isEmpty())
            return 0;
        if (!SqlValue::parseNumber(v.toString(), &d))
            refuse(v.toString(), "number");
        return d;
    }
    default: refuse(AsString(), "number");
    }
}

int TField::AsInteger() const
{
    const double d = std::round(AsFloat());
    if (d > std::numeric_limits<int>::max() || d < std::numeric_limits<int>::min())
        refuse(AsString(), "integer");
    return int(d);
}

double TField::AsCurrency() const { return SqlValue::roundHalfAway(AsFloat(), 4); }

QDate TField::dateValue() const
{
    if (const DbfValue *d = direct(DbfValue::Date)) [[likely]]
        return d->kind == DbfValue::Date ? d->date : QDate();
    return cellDate();
}

QDate TField::cellDate() const
{
    const QVariant &v = stored();
    if (VariantCell::isNull(v))
        return QDate();
    if (VariantCell::holds<QDate>(v))
        return VariantCell::get<QDate>(v);
    if (v.typeId() == QMetaType::QString) {
        const QDate d = SqlValue::parseDate(v.toString());
        if (!d.isValid())
            refuse(v.toString(), "date");
        return d;
    }
    refuse(AsString(), "date");
}

// Midnight of the stored day without a time zone: a day stored in a table has
// none, and a local time would cost a look at the zone for every cell.
QDateTime TField::AsDateTime() const
{
    const QDate d = dateValue();
    return d.isValid() ? QDateTime(d, QTime(0, 0), Qt::UTC) : QDateTime();
}

bool TField::AsBoolean() const
{
    if (const DbfValue *d = direct(DbfValue::Logical)) [[likely]]
        return d->kind == DbfValue::Logical && d->logical;
    return cellBoolean();
}

bool TField::cellBoolean() const
{
    const QVariant &v = stored();
    if (VariantCell::isNull(v))
        return false;
    if (VariantCell::holds<bool>(v))
        return VariantCell::get<bool>(v);
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toUpper();
        return s == u"T" || s == u"Y" || s == u"TRUE";
    }
    return v.toBool();
}

QVariant TField::converted(const QVariant &v) const
{
    if (!v.isValid() || v.isNull())
        return {};
    const bool isText = v.typeId() == QMetaType::QString;
    switch (m_type) {
    case TFieldType::ftInteger:
    case TFieldType::ftFloat: {
        if (isText) {
            const QString s = v.toString();
            if (s.trimmed().isEmpty())
                return {};
            double d = 0;
            if (!SqlValue::parseNumber(s, &d))
                refuse(s, "number");
            return d;
        }
        if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime)
            refuse(v.toString(), "number");
        return v.toDouble();
    }
    case TFieldType::ftDate: {
        if (v.typeId() == QMetaType::QDate)
            return v;
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().date();
        const QString s = v.toString();
        if (s.trimmed().isEmpty())
            return {};
        const QDate d = SqlValue::parseDate(s);
        if (!d.isValid())
            refuse(s, "date");
        return d;
    }
    case TFieldType::ftBoolean:
        if (isText) {
            const QString s = v.toString().trimmed().toUpper();
            return s == u"T" || s == u"Y" || s == u"TRUE";
        }
        return v.toBool();
    default:
        switch (v.typeId()) {
        case QMetaType::Double: return SqlValue::formatNumber(v.toDouble());
        case QMetaType::QDate: return SqlValue::formatDate(v.toDate());
        case QMetaType::QDateTime: return SqlValue::formatDate(v.toDateTime().date());
        default: return v.toString();
        }
    }
}

void TField::SetValue(const QVariant &v) { m_dataSet->setFieldValue(m_index, converted(v)); }

void TField::SetAsCurrency(double v) { SetValue(SqlValue::roundHalfAway(v, 4)); }
