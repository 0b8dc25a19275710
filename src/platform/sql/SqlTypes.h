#pragma once

#include <QList>
#include <QString>

// Value types of the dialect. Integer and Float are both numbers; Text is
// right-trimmed with blank meaning null; Date travels as "yyyy-MM-dd" inside SQLite.
enum class SqlType { Null, Text, Integer, Float, Date, Logical };

inline bool isNumeric(SqlType t) { return t == SqlType::Integer || t == SqlType::Float; }

struct SqlColumn
{
    QString name;
    SqlType type = SqlType::Text;
    int size = 0;     // characters for text, digits for numbers
    int decimals = 0;
};

struct SqlTable
{
    QString path;     // as found on disk
    QString sqlName;  // the virtual table's name inside SQLite
    QList<SqlColumn> columns;
};

// What the translator knows of the tables: a table path to its columns.
class SqlCatalog
{
public:
    virtual ~SqlCatalog() = default;
    // False when no table file exists at path.
    virtual bool table(const QString &path, SqlTable *out) = 0;
};
