#include "platform/sql/SqlLexer.h"

#include "platform/sql/SqlError.h"

bool SqlToken::isKeyword(const char *word) const
{
    return kind == Kind::Ident && text.compare(QLatin1StringView(word), Qt::CaseInsensitive) == 0;
}

bool SqlToken::isSymbol(const char *sym) const
{
    return kind == Kind::Symbol && text == QLatin1StringView(sym);
}

namespace {

bool identStart(QChar c) { return c.isLetter() || c == u'_'; }
bool identPart(QChar c) { return c.isLetterOrNumber() || c == u'_'; }
bool asciiDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

} // namespace

QList<SqlToken> SqlLexer::tokenize(const QString &sql)
{
    QList<SqlToken> out;
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c.isNull()) // no text holds it, and SQLite would end the statement there
            throw SqlError(QStringLiteral("Invalid character (code 0)"), sql, i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        SqlToken t;
        t.pos = i;
        if (c == u'"' || c == u'\'') {
            t.kind = c == u'"' ? SqlToken::Kind::DString : SqlToken::Kind::SString;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        t.text += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                if (sql.at(j).isNull())
                    throw SqlError(QStringLiteral("Invalid character (code 0)"), sql, j);
                t.text += sql.at(j++);
            }
            if (!closed)
                throw SqlError(QStringLiteral("Unterminated text literal"), sql, i);
            i = j;
        } else if (asciiDigit(c) || (c == u'.' && i + 1 < n && asciiDigit(sql.at(i + 1)))) {
            t.kind = SqlToken::Kind::Number;
            int j = i;
            while (j < n && asciiDigit(sql.at(j)))
                ++j;
            if (j < n && sql.at(j) == u'.') {
                ++j;
                while (j < n && asciiDigit(sql.at(j)))
                    ++j;
            }
            if (j < n && (sql.at(j) == u'e' || sql.at(j) == u'E')) {
                int k = j + 1;
                if (k < n && (sql.at(k) == u'+' || sql.at(k) == u'-'))
                    ++k;
                if (k < n && asciiDigit(sql.at(k))) {
                    while (k < n && asciiDigit(sql.at(k)))
                        ++k;
                    j = k;
                }
            }
            if (j < n && identStart(sql.at(j)))
                throw SqlError(QStringLiteral("Invalid number"), sql, i);
            t.text = sql.mid(i, j - i);
            i = j;
        } else if (identStart(c)) {
            t.kind = SqlToken::Kind::Ident;
            int j = i + 1;
            while (j < n && identPart(sql.at(j)))
                ++j;
            t.text = sql.mid(i, j - i);
            i = j;
        } else {
            t.kind = SqlToken::Kind::Symbol;
            static const char *twoChar[] = {"<=", ">=", "<>", "!="};
            bool matched = false;
            for (const char *s : twoChar) {
                if (i + 1 < n && sql.at(i) == QLatin1Char(s[0]) && sql.at(i + 1) == QLatin1Char(s[1])) {
                    t.text = QString::fromLatin1(s, 2);
                    i += 2;
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                if (!QStringLiteral("(),.*+-/=<>;").contains(c))
                    throw SqlError(QStringLiteral("Invalid character '%1'").arg(c), sql, i);
                t.text = c;
                ++i;
            }
        }
        out.append(t);
    }
    SqlToken end;
    end.pos = n;
    out.append(end);
    return out;
}
