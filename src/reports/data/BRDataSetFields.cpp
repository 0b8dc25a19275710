#include "reports/data/BRDataSetFields.h"

#include "platform/sql/TDataSet.h"

#include <cmath>
#include <limits>

int TBRDataSetFields::FindField(const QString &name) const
{
    const TField *f = m_dataSet->FindField(name);
    return f ? f->Index() : -1;
}

int TBRDataSetFields::FieldCount() const
{
    return int(m_dataSet->Fields().size());
}

QString TBRDataSetFields::FieldName(int index) const
{
    return m_dataSet->Fields().at(index)->FieldName();
}

TBRFieldKind TBRDataSetFields::FieldKind(int index) const
{
    const TField *f = m_dataSet->Fields().at(index);
    switch (f->DataType()) {
    case TFieldType::ftString: return TBRFieldKind::String;
    case TFieldType::ftInteger: {
        const double v = f->AsFloat();
        const bool fits = v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
        return fits ? TBRFieldKind::Integer : TBRFieldKind::Float;
    }
    case TFieldType::ftFloat: return TBRFieldKind::Float;
    case TFieldType::ftDate: return TBRFieldKind::Date;
    case TFieldType::ftBoolean: return TBRFieldKind::Boolean;
    case TFieldType::ftUnknown: break;
    }
    return TBRFieldKind::Other;
}

QVariant TBRDataSetFields::FieldValue(int index) const
{
    const TField *f = m_dataSet->Fields().at(index);
    switch (FieldKind(index)) {
    case TBRFieldKind::Integer: return qint32(std::llround(f->AsFloat()));
    case TBRFieldKind::Float: return f->AsFloat();
    case TBRFieldKind::Boolean: return f->AsBoolean();
    default: return f->AsString();
    }
}
