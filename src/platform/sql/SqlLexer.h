#pragma once

#include <QString>
#include <QList>

struct SqlToken
{
    enum class Kind { End, Ident, Number, DString, SString, Symbol };
    Kind kind = Kind::End;
    QString text;  // identifier/symbol as written, number text, or string content unquoted
    int pos = 0;   // offset in the SQL text

    bool isKeyword(const char *word) const;
    bool isSymbol(const char *sym) const;
};

// Splits dialect SQL into tokens. Blanks, tabs and line breaks separate;
// "..." and '...' hold text where a doubled quote stands for one.
class SqlLexer
{
public:
    // Raises SqlError (with the position) on an unterminated string or a
    // character the dialect does not use.
    static QList<SqlToken> tokenize(const QString &sql);
};
