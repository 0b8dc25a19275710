#pragma once

#include <QString>
#include <QVariant>

// What the evaluator needs of a dataset: its name, its fields by name and the
// current record's values. The report adapts its datasets to this.
enum class TBRFieldKind { String, Integer, Float, Boolean, Date, Other };

class TBRDataSet
{
public:
    virtual ~TBRDataSet() = default;
    virtual QString Name() const = 0;
    // The index of the field of that name (without regard to case), or -1.
    virtual int FindField(const QString &name) const = 0;
    virtual int FieldCount() const = 0;
    virtual QString FieldName(int index) const = 0;
    virtual TBRFieldKind FieldKind(int index) const = 0;
    // The current record's value: text, int, double or bool; a date as its text.
    virtual QVariant FieldValue(int index) const = 0;
};
