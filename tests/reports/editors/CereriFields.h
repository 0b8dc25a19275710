#pragma once

#include "reports/eval/BRDataSet.h"

#include <QStringList>

// One dataset of the editors' tests: a text field and a number field.
class CereriFields : public TBRDataSet
{
public:
    QString Name() const override { return QStringLiteral("Cereri"); }
    int FindField(const QString &name) const override { return int(names().indexOf(name.toUpper())); }
    int FieldCount() const override { return 2; }
    QString FieldName(int i) const override { return names().at(i); }
    TBRFieldKind FieldKind(int i) const override { return i == 0 ? TBRFieldKind::String : TBRFieldKind::Integer; }
    QVariant FieldValue(int i) const override { return i == 0 ? QVariant(QStringLiteral("Pop")) : QVariant(3); }

private:
    static QStringList names() { return {QStringLiteral("TITULAR"), QStringLiteral("NR_MEMBRI")}; }
};
