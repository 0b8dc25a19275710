#pragma once

#include "reports/eval/BRDataSet.h"

class TDataSet;

// A dataset of the local SQL layer as report expressions see it, under the
// name the report gives it: text fields give strings, whole-number fields
// integers (a value beyond 32 bits a float), other numbers floats, logical
// fields booleans, dates their "dd.MM.yyyy" text. Null reads as "" or 0.
class TBRDataSetFields : public TBRDataSet
{
public:
    TBRDataSetFields(TDataSet *dataSet, const QString &name) : m_dataSet(dataSet), m_name(name) {}

    QString Name() const override { return m_name; }
    int FindField(const QString &name) const override;
    int FieldCount() const override;
    QString FieldName(int index) const override;
    TBRFieldKind FieldKind(int index) const override;
    QVariant FieldValue(int index) const override;

private:
    TDataSet *m_dataSet;
    QString m_name;
};
