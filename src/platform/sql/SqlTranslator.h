#pragma once

#include "platform/db/Dbf.h"
#include "platform/sql/SqlAst.h"
#include "platform/sql/SqlTypes.h"

#include <QList>
#include <QString>

struct SqlResultColumn
{
    QString name;
    SqlType type = SqlType::Null;
    int size = 0;
    int decimals = 0;
};

// A dialect statement turned into SQLite SQL over the tables' virtual tables.
struct SqlTranslation
{
    SqlStatement::Kind kind = SqlStatement::Kind::Select;
    // Select: the query. Insert: the query giving the rows to append.
    // Delete: a query giving the record numbers to delete. CreateTable: empty.
    QString sql;
    QList<SqlResultColumn> columns;
    QString targetPath;            // CreateTable, Insert, Delete: the table path as written
    QList<DbfField> createFields;  // CreateTable
    QList<int> insertTargets;      // Insert: the target field of each result column
    QStringList tablePaths;        // every table read, as found on disk
};

// Translates the desktop dialect into SQLite SQL. Text compares in Romanian
// order, case-sensitively, trailing blanks ignored, a blank (null) text equal
// to ""; a quoted number or date compared with a number or date column is taken
// as a number or date; "+" joins text and adds numbers by the operand types.
class SqlTranslator
{
public:
    explicit SqlTranslator(SqlCatalog &catalog);

    // Raises SqlError naming the SQL and the position on a syntax error, an
    // unknown table, column or function, or operands of the wrong type.
    SqlTranslation translate(const QString &sql);

private:
    SqlCatalog &m_catalog;
};

// SQLite's form of a text literal: '...' with embedded quotes doubled.
QString sqliteText(const QString &text);
// SQLite's form of an identifier: "..." with embedded quotes doubled.
QString sqliteName(const QString &name);
