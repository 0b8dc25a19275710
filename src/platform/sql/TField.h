#pragma once

#include "platform/db/Dbf.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

class TDataSet;

enum class TFieldType { ftUnknown, ftString, ftInteger, ftFloat, ftDate, ftBoolean };

// One column of a dataset, read and written through the dataset's current row.
class TField
{
public:
    TField(TDataSet *dataSet, int index, const QString &name, TFieldType type, int size, int decimals);

    QString FieldName() const { return m_name; }
    TFieldType DataType() const { return m_type; }
    int Size() const { return m_size; }
    int Decimals() const { return m_decimals; }
    int Index() const { return m_index; }

    bool IsNull() const;
    QVariant Value() const;
    // Null reads as "" and 0; a date as "dd.MM.yyyy"; a number with "." (123.5, 80).
    QString AsString() const;
    // Numbers round to the nearest whole number; text must hold a number.
    int AsInteger() const;
    double AsFloat() const;
    // Four decimals, half away from zero.
    double AsCurrency() const;
    QDateTime AsDateTime() const;
    // The day alone, by calendar: what documents and workbooks write.
    QDate dateValue() const;
    bool AsBoolean() const;

    // Writing (a table in edit or append state). Values are converted to the
    // field's type; text that does not suit the type raises.
    void SetValue(const QVariant &v);
    void SetAsString(const QString &v) { SetValue(v); }
    void SetAsInteger(int v) { SetValue(double(v)); }
    void SetAsFloat(double v) { SetValue(v); }
    void SetAsCurrency(double v);
    void SetAsDateTime(const QDateTime &v) { SetValue(v.date()); }
    void Clear() { SetValue(QVariant()); }

    // The value in the field type's form: QString, double, QDate, bool or null.
    QVariant converted(const QVariant &v) const;

private:
    // The cell itself, not a copy: reads of a long scan copy nothing.
    const QVariant &stored() const;
    const DbfValue *direct(DbfValue::Kind kind) const;
    // The readers through the cell, the QVariant.
    Q_NEVER_INLINE bool cellIsNull() const;
    Q_NEVER_INLINE QString cellString() const;
    Q_NEVER_INLINE double cellFloat() const;
    Q_NEVER_INLINE QDate cellDate() const;
    Q_NEVER_INLINE bool cellBoolean() const;
    [[noreturn]] void refuse(const QString &value, const char *kind) const;

    TDataSet *m_dataSet;
    int m_index;
    QString m_name;
    TFieldType m_type;
    int m_size;
    int m_decimals;
};
