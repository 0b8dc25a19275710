// Dialect text from outside: the translator and the filter parser either give
// SQL that SQLite accepts or raise SqlError; they never crash or hang.
#include "platform/sql/FilterExpression.h"
#include "platform/sql/SqlEngine.h"
#include "platform/sql/SqlError.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Two tables of every column type, under any path; plain SQLite tables stand
// in for the virtual tables so the generated SQL can be prepared.
class FakeCatalog : public SqlCatalog
{
public:
    explicit FakeCatalog(sqlite3 *db)
    {
        const QList<SqlColumn> cols = {{QStringLiteral("NRCRT"), SqlType::Integer, 12, 0},
                                       {QStringLiteral("TITULAR"), SqlType::Text, 32, 0},
                                       {QStringLiteral("TOTAL"), SqlType::Float, 10, 2},
                                       {QStringLiteral("DATAD"), SqlType::Date, 8, 0},
                                       {QStringLiteral("L416"), SqlType::Logical, 1, 0}};
        for (int i = 0; i < 2; ++i) {
            SqlTable t;
            t.path = QStringLiteral("/data/t%1.dbf").arg(i);
            t.sqlName = QStringLiteral("temp.\"fz%1\"").arg(i);
            t.columns = cols;
            if (i == 1)
                t.columns.append({QStringLiteral("NR_DISP"), SqlType::Text, 27, 0});
            QStringList decl;
            for (const SqlColumn &c : t.columns)
                decl << c.name + u' ' + DbfVirtualTable::declaredType(c);
            sqlite3_exec(db, QStringLiteral("CREATE TABLE %1 (%2)").arg(t.sqlName, decl.join(u',')).toUtf8().constData(),
                         nullptr, nullptr, nullptr);
            m_tables << t;
        }
    }
    bool table(const QString &path, SqlTable *out) override
    {
        if (path.contains(u"missing"))
            return false;
        *out = m_tables[int(qHash(path) % 2)];
        return true;
    }

private:
    QList<SqlTable> m_tables;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SqlEngine &engine = SqlEngine::instance();
    static FakeCatalog catalog(engine.handle());
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        SqlTranslator t(catalog);
        const SqlTranslation tr = t.translate(text);
        if (!tr.sql.isEmpty()) {
            sqlite3_stmt *st = nullptr;
            const QByteArray sql = tr.sql.toUtf8();
            if (sqlite3_prepare_v2(engine.handle(), sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK
                && !SqlEngine::tooDeep(engine.handle())) { // too deep: the engine reports it as such
                std::fprintf(stderr, "translated SQL refused: %s\n%s\n", sqlite3_errmsg(engine.handle()),
                             tr.sql.toUtf8().constData());
                std::abort();
            }
            sqlite3_finalize(st);
        }
    } catch (const SqlError &) {
    }
    try {
        const QList<SqlResultColumn> fields = {{QStringLiteral("FURNE"), SqlType::Text, 60, 0},
                                               {QStringLiteral("SUMAE"), SqlType::Float, 10, 2},
                                               {QStringLiteral("DATAD"), SqlType::Date, 8, 0}};
        FilterExpression f(text, fields);
        f.matches({QVariant(QStringLiteral("ENEL")), QVariant(2.5), QVariant(QDate(2024, 1, 1))});
        f.matches({QVariant(), QVariant(), QVariant()});
    } catch (const SqlError &) {
    }
    return 0;
}
