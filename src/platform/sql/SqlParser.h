#pragma once

#include "platform/sql/SqlAst.h"
#include "platform/sql/SqlLexer.h"

// Recursive-descent parser of the dialect. Errors raise SqlError naming the
// SQL text and the position of the offending token.
class SqlParser
{
public:
    explicit SqlParser(const QString &sql);

    SqlStatement parseStatement();
    // A filter condition: one expression and nothing after it.
    SqlExprPtr parseCondition();

private:
    const SqlToken &peek(int ahead = 0) const;
    const SqlToken &next();
    bool acceptKeyword(const char *word);
    bool acceptSymbol(const char *sym);
    void expectKeyword(const char *word);
    void expectSymbol(const char *sym);
    [[noreturn]] void fail(const QString &message, int pos) const;
    [[noreturn]] void unexpected(const char *wanted) const;
    void expectEnd();

    std::unique_ptr<SqlSelect> parseSelect();
    SqlTableRef parseTableRef();
    void parseCreate(SqlStatement &st);
    void parseInsert(SqlStatement &st);
    void parseDelete(SqlStatement &st);
    QString parseName(const char *what);

    SqlExprPtr parseExpr();
    SqlExprPtr parseOr();
    SqlExprPtr parseAnd();
    SqlExprPtr parseNot();
    SqlExprPtr parseComparison();
    SqlExprPtr parseAdditive();
    SqlExprPtr parseMultiplicative();
    SqlExprPtr parseUnary();
    SqlExprPtr parsePrimary();
    SqlExprPtr parseFunction(const SqlToken &name);
    SqlExprPtr parseCast(int pos);
    SqlExprPtr parseTrim(int pos);
    SqlExprPtr makeExpr(SqlExpr::Kind kind, int pos, const QString &text = QString());
    SqlExprPtr binary(const QString &op, int pos, SqlExprPtr a, SqlExprPtr b);

    QString m_sql;
    QList<SqlToken> m_tokens;
    int m_at = 0;
    int m_depth = 0;
    int m_nodes = 0;
};
