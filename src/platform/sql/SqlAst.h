#pragma once

#include "platform/sql/SqlTypes.h"

#include <QString>

#include <memory>
#include <vector>

// The parsed form of a dialect statement, before names are resolved.
struct SqlExpr
{
    enum class Kind { String, Number, Null, Column, Unary, Binary, Function, Cast, Trim, IsNull, Like };
    Kind kind = Kind::Null;
    int pos = 0;
    QString text;       // String: content; Number: digits; Column: name; Function: upper-case name; Unary/Binary: operator
    QString qualifier;  // Column: table alias, empty when none
    bool distinct = false;  // Function: COUNT(DISTINCT x) ...
    bool star = false;      // Function: COUNT(*)
    bool negated = false;   // IS NOT NULL, NOT LIKE
    QString castType;       // Cast: FLOAT, INTEGER, CHAR, DATE ...; Trim: BOTH, LEADING, TRAILING
    int castSize = 0;
    std::vector<std::unique_ptr<SqlExpr>> args; // operands; Trim: [value, chars?]

    // Filled by name resolution.
    int table = -1;
    int column = -1;
    SqlType type = SqlType::Null;
    int size = 0;
    int decimals = 0;
    double number = 0; // Number: its value, read once (filters judge it per row)
};

using SqlExprPtr = std::unique_ptr<SqlExpr>;

// The comparison operators of a Binary expression: = <> < > <= >=.
inline bool isComparison(const QString &op)
{
    return op == u"=" || op == u"<>" || op == u"<" || op == u">" || op == u"<=" || op == u">=";
}

// Whether a comparison holds for operands in the given order (<0, 0, >0).
inline bool comparisonHolds(const QString &op, int order)
{
    if (op == u"=") return order == 0;
    if (op == u"<>") return order != 0;
    if (op == u"<") return order < 0;
    if (op == u">") return order > 0;
    if (op == u"<=") return order <= 0;
    return order >= 0; // ">="
}

struct SqlTableRef
{
    QString path;
    QString alias;
    int pos = 0;
};

struct SqlSelectItem
{
    SqlExprPtr expr;         // null for * and A.*
    QString starQualifier;   // A in A.*
    QString alias;
    int pos = 0;
};

struct SqlJoin
{
    enum class Type { Inner, Left, Right, Full };
    Type type = Type::Inner;
    SqlTableRef table;
    SqlExprPtr on;
};

struct SqlOrderItem
{
    SqlExprPtr expr;
    bool descending = false;
};

struct SqlSelect
{
    bool distinct = false;
    std::vector<SqlSelectItem> items;
    std::vector<SqlTableRef> tables; // FROM first, then the joined ones in order
    std::vector<SqlJoin> joins;      // joins[i] brings in tables[i + 1]
    SqlExprPtr where;
    std::vector<SqlExprPtr> groupBy;
    std::vector<SqlOrderItem> orderBy;
};

struct SqlColumnDef
{
    QString name;
    char type = 'C';
    int length = 0;
    int decimals = 0;
    int pos = 0;
};

struct SqlStatement
{
    enum class Kind { Select, CreateTable, Insert, Delete };
    Kind kind = Kind::Select;
    SqlTableRef target;                       // CreateTable, Insert, Delete
    std::vector<SqlColumnDef> columnDefs;     // CreateTable
    std::vector<std::pair<QString, int>> insertColumns; // Insert: names and positions
    std::unique_ptr<SqlSelect> select;        // Select, Insert ... SELECT
    std::vector<std::vector<SqlExprPtr>> values; // Insert ... VALUES
    SqlExprPtr where;                         // Delete
};
