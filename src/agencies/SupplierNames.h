#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Supplier and bank names as the office types them: "E-ON Energie" and
// " E-On energie" are one supplier. Names compare trimmed and without regard
// to case; a group shows the first spelling met.
class SupplierNames
{
public:
    // The name a group compares by.
    static QString Key(const QString &name);

    // The distinct names in order of first appearance of their key, each
    // shown as first spelt (trimmed).
    static QStringList Distinct(const QStringList &names);

    // A name that can stand as one folder or file name: path separators,
    // control and reserved characters become "_", ".." and names made only
    // of dots or blanks lose them, trailing dots and blanks go. Empty stays
    // empty.
    static QString SafeFileName(const QString &name);

    // Safe names for distinct suppliers, distinct among themselves without
    // regard to case: a second name that ends up equal gets " (2)", " (3)"...
    static QStringList DistinctFileNames(const QStringList &names);
};
