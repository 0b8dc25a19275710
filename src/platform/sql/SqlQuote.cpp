#include "platform/sql/SqlQuote.h"

#include "platform/sql/SqlValue.h"

namespace {

QString quoted(const QString &text, QChar q)
{
    QString out;
    out.reserve(text.size() + 2);
    out += q;
    for (QChar c : text) {
        out += c;
        if (c == q)
            out += q;
    }
    out += q;
    return out;
}

} // namespace

QString SqlQuote::literal(const QString &text) { return quoted(text, u'"'); }
QString SqlQuote::filterLiteral(const QString &text) { return quoted(text, u'\''); }
QString SqlQuote::number(double value) { return SqlValue::formatNumber(value); }
QString SqlQuote::date(const QDate &date) { return literal(SqlValue::formatDate(date)); }
QString SqlQuote::table(const QString &path) { return quoted(path, u'"'); }
