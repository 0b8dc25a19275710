#include "platform/sql/SqlEngine.h"

#include "platform/io/DurableFile.h"
#include "platform/io/FileWriteError.h"
#include "platform/sql/RomanianCollation.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlValue.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace {

QString utf8Arg(sqlite3_value *v)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

int collate(void *, int n1, const void *s1, int n2, const void *s2)
{
    return RomanianCollation::compareUtf8(std::string_view(static_cast<const char *>(s1), size_t(n1)),
                                          std::string_view(static_cast<const char *>(s2), size_t(n2)));
}

// Text that is not a number gives null.
void fnNum(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: sqlite3_result_value(ctx, argv[0]); return;
    case SQLITE_TEXT: {
        double v = 0;
        if (SqlValue::parseNumber(utf8Arg(argv[0]), &v))
            sqlite3_result_double(ctx, v);
        else
            sqlite3_result_null(ctx);
        return;
    }
    default: sqlite3_result_null(ctx); return;
    }
}

void fnStr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER: resultText(ctx, QString::number(sqlite3_value_int64(argv[0]))); return;
    case SQLITE_FLOAT: resultText(ctx, SqlValue::formatNumber(sqlite3_value_double(argv[0]))); return;
    case SQLITE_NULL: sqlite3_result_null(ctx); return;
    default: sqlite3_result_value(ctx, argv[0]); return;
    }
}

void fnDateText(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
        sqlite3_result_null(ctx);
        return;
    }
    const QDate d = SqlValue::fromIsoDate(utf8Arg(argv[0]));
    if (d.isValid())
        resultText(ctx, SqlValue::formatDate(d));
    else
        sqlite3_result_null(ctx);
}

void fnDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = utf8Arg(argv[0]);
    QDate d = SqlValue::parseDate(s);
    if (!d.isValid())
        d = SqlValue::fromIsoDate(s.trimmed());
    if (d.isValid())
        resultText(ctx, SqlValue::isoDate(d));
    else
        sqlite3_result_null(ctx);
}

void fnLike(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, SqlValue::likeMatches(utf8Arg(argv[0]), utf8Arg(argv[1])) ? 1 : 0);
}

// Whether changing the case leaves every character of the UTF-8 text as it
// is. The letters of the office's code page (Latin-1, Latin Extended-A and B)
// are looked up in a table QString itself fills once; any other character,
// and broken UTF-8, answer no.
template <bool Upper>
bool keepsCase(std::string_view utf8)
{
    static const std::array<bool, 0x250> kept = [] {
        std::array<bool, 0x250> t{};
        for (char16_t cp = 0; cp < t.size(); ++cp) {
            const QString c(QChar{cp});
            t[cp] = (Upper ? c.toUpper() : c.toLower()) == c;
        }
        return t;
    }();
    for (size_t i = 0; i < utf8.size();) {
        const uchar lead = uchar(utf8[i]);
        char32_t cp = lead;
        if (lead >= 0x80) {
            if ((lead & 0xE0) != 0xC0 || i + 1 >= utf8.size() || (uchar(utf8[i + 1]) & 0xC0) != 0x80)
                return false;
            cp = char32_t(lead & 0x1F) << 6 | (uchar(utf8[i + 1]) & 0x3F);
            if (cp < 0x80)
                return false; // overlong
            ++i;
        }
        ++i;
        if (cp >= kept.size() || !kept[cp])
            return false;
    }
    return true;
}

template <bool Upper>
void fnCase(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const std::string_view bytes = text ? std::string_view(text, size_t(sqlite3_value_bytes(argv[0]))) : std::string_view();
    // Names are mostly written in capitals already: those go back as they came.
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && keepsCase<Upper>(bytes)) {
        sqlite3_result_text(ctx, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
        return;
    }
    // Plain ASCII, as most names and codes are, changes case byte by byte.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; })) {
        std::string ascii(bytes);
        for (char &c : ascii)
            if (Upper ? (c >= 'a' && c <= 'z') : (c >= 'A' && c <= 'Z'))
                c = char(c ^ 0x20);
        sqlite3_result_text(ctx, ascii.data(), int(ascii.size()), SQLITE_TRANSIENT);
        return;
    }
    const QString s = utf8Arg(argv[0]);
    resultText(ctx, Upper ? s.toUpper() : s.toLower());
}

// A date as the engine gives it, "yyyy-mm-dd", read in place; anything else
// read as any text is.
QDate isoDate(const char *p, int n)
{
    const auto digits = [p](int at, int count) {
        int v = 0;
        for (int k = at; k < at + count; ++k) {
            const unsigned d = unsigned(p[k] - '0');
            if (d > 9)
                return -1;
            v = v * 10 + int(d);
        }
        return v;
    };
    if (n == 10 && p[4] == '-' && p[7] == '-') {
        const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
        if (y >= 0 && m >= 0 && d >= 0)
            return QDate(y, m, d);
    }
    return SqlValue::fromIsoDate(QString::fromUtf8(p, n));
}

QVariant cell(sqlite3_stmt *st, int i, SqlType type)
{
    const int t = sqlite3_column_type(st, i);
    if (t == SQLITE_NULL)
        return {};
    switch (type) {
    case SqlType::Integer:
        if (t == SQLITE_INTEGER)
            return QVariant(qint64(sqlite3_column_int64(st, i)));
        return QVariant(sqlite3_column_double(st, i));
    case SqlType::Float: return QVariant(sqlite3_column_double(st, i));
    case SqlType::Date:
        return QVariant(isoDate(reinterpret_cast<const char *>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i)));
    case SqlType::Logical: return QVariant(sqlite3_column_int(st, i) != 0);
    default:
        if (t == SQLITE_INTEGER)
            return QVariant(QString::number(sqlite3_column_int64(st, i)));
        if (t == SQLITE_FLOAT)
            return QVariant(SqlValue::formatNumber(sqlite3_column_double(st, i)));
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                          sqlite3_column_bytes(st, i)));
    }
}

// A value from a query in the form a field of the given type stores.
QVariant forField(const QVariant &v, const DbfField &f, SqlType from, const QString &sql, qint64 row)
{
    if (!v.isValid() || v.isNull())
        return {};
    auto refuse = [&]() -> QVariant {
        throw SqlError(QStringLiteral("Row %1: the value \"%2\" does not suit field %3")
                           .arg(row + 1)
                           .arg(v.toString(), f.name),
                       sql, -1);
    };
    switch (f.type) {
    case 'N':
    case 'F': {
        if (from == SqlType::Text) {
            double d = 0;
            if (!SqlValue::parseNumber(v.toString(), &d))
                return refuse();
            return d;
        }
        if (from == SqlType::Date || from == SqlType::Logical)
            return refuse();
        return v.toDouble();
    }
    case 'D': {
        if (from == SqlType::Date)
            return v;
        if (from == SqlType::Text) {
            const QDate d = SqlValue::parseDate(v.toString());
            return d.isValid() ? QVariant(d) : refuse();
        }
        return refuse();
    }
    case 'L':
        if (from == SqlType::Logical)
            return v;
        if (isNumeric(from))
            return v.toDouble() != 0;
        return refuse();
    default:
        if (from == SqlType::Date)
            return SqlValue::formatDate(v.toDate());
        if (from == SqlType::Float)
            return SqlValue::formatNumber(v.toDouble());
        if (from == SqlType::Logical)
            return QString(v.toBool() ? QStringLiteral("T") : QStringLiteral("F"));
        return v.toString();
    }
}

// Applies a change to a copy of the table beside it and puts the copy in its
// place only when the whole change is on disk: a failure leaves the file whole.
void rewrite(const QString &path, const std::function<void(Dbf &)> &change)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        throw DbfError(QStringLiteral("Nu pot citi tabela %1: %2").arg(QDir::toNativeSeparators(path), in.errorString()));
    const QByteArray bytes = in.readAll();
    if (bytes.size() != in.size())
        throw DbfError(QStringLiteral("Nu pot citi tabela %1: %2").arg(QDir::toNativeSeparators(path), in.errorString()));
    in.close();
    FileWriteError::as<DbfError>([&] {
        DurableFile copy(path);
        copy.write(bytes);
        copy.finish();
        try {
            Dbf dbf = Dbf::open(copy.temporaryPath(), Dbf::Mode::ReadWrite);
            change(dbf);
            dbf.close();
        } catch (const DbfError &e) {
            // The clerk knows the table, not its working copy.
            throw DbfError(QString::fromUtf8(e.what()).replace(copy.temporaryPath(), path));
        }
        copy.commit();
    });
}

} // namespace

// SQLite refuses expressions nested deeper than its parser stack or tree limit.
bool SqlEngine::tooDeep(sqlite3 *db)
{
    const QByteArray m = sqlite3_errmsg(db);
    return m.contains("parser stack overflow") || m.contains("Expression tree is too large");
}

SqlEngine &SqlEngine::instance()
{
    thread_local SqlEngine engine;
    return engine;
}

SqlEngine::SqlEngine()
{
    if (sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK)
        throw SqlError(QStringLiteral("Cannot start the SQL engine"));
    sqlite3_create_collation_v2(m_db, RomanianCollation::Name, SQLITE_UTF8, nullptr, collate, nullptr);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(m_db, "kx_num", 1, flags, nullptr, fnNum, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "kx_str", 1, flags, nullptr, fnStr, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "kx_dstr", 1, flags, nullptr, fnDateText, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "kx_date", 1, flags, nullptr, fnDate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "kx_like", 2, flags, nullptr, fnLike, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "kx_upper", 1, flags, nullptr, fnCase<true>, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "kx_lower", 1, flags, nullptr, fnCase<false>, nullptr, nullptr, nullptr);
    DbfVirtualTable::registerModule(m_db, this);
}

SqlEngine::~SqlEngine()
{
    sqlite3_close_v2(m_db);
}

std::shared_ptr<DbfTableState> SqlEngine::tableState(int id)
{
    return m_states.value(id);
}

void SqlEngine::exec(const QString &sql)
{
    char *err = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "SQL error");
        sqlite3_free(err);
        throw SqlError(msg);
    }
}

bool SqlEngine::table(const QString &path, SqlTable *out)
{
    const QString resolved = Dbf::resolve(path);
    const QFileInfo fi(resolved);
    if (!fi.isFile())
        return false;
    const QString key = fi.absoluteFilePath();
    auto it = m_tables.find(key);
    std::shared_ptr<const DbfSnapshot> snap;
    try {
        if (it != m_tables.end()) {
            snap = it->state->snapshot();
            if (snap->columns().size() != it->columns.size()
                || !std::equal(snap->columns().begin(), snap->columns().end(), it->columns.begin(),
                               [](const SqlColumn &a, const SqlColumn &b) {
                                   return a.name == b.name && a.type == b.type && a.size == b.size
                                          && a.decimals == b.decimals;
                               })) {
                // The file was replaced by one of another structure: declare it anew.
                exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(it->sqlName));
                m_states.remove(it->id);
                m_tables.erase(it);
                it = m_tables.end();
            }
        }
        if (it == m_tables.end()) {
            Entry e;
            e.id = m_nextId++;
            e.sqlName = QStringLiteral("temp.\"kx%1\"").arg(e.id);
            e.state = std::make_shared<DbfTableState>(key);
            snap = e.state->snapshot();
            e.columns = snap->columns();
            m_states.insert(e.id, e.state);
            try {
                exec(QStringLiteral("CREATE VIRTUAL TABLE %1 USING %2(%3)")
                         .arg(e.sqlName, QLatin1StringView(DbfVirtualTable::ModuleName))
                         .arg(e.id));
            } catch (...) {
                m_states.remove(e.id);
                throw;
            }
            it = m_tables.insert(key, e);
        }
    } catch (const DbfError &e) {
        throw SqlError(QString::fromUtf8(e.what()));
    }
    out->path = key;
    out->sqlName = it->sqlName;
    out->columns = it->columns;
    return true;
}

void SqlEngine::invalidate(const QString &path)
{
    const QString key = QFileInfo(Dbf::resolve(path)).absoluteFilePath();
    auto it = m_tables.find(key);
    if (it != m_tables.end())
        it->state->invalidate();
}

SqlTranslation SqlEngine::translate(const QString &sql)
{
    SqlTranslator t(*this);
    return t.translate(sql);
}

void SqlEngine::fail(const QString &dialectSql) const
{
    throw SqlError(QString::fromUtf8(sqlite3_errmsg(m_db)), dialectSql, -1);
}

sqlite3_stmt *SqlEngine::prepare(const QString &sqliteSql, const QString &dialectSql)
{
    sqlite3_stmt *st = nullptr;
    const QByteArray u = sqliteSql.toUtf8();
    if (sqlite3_prepare_v2(m_db, u.constData(), int(u.size()), &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        if (tooDeep(m_db))
            throw SqlError(QStringLiteral("Expression nested too deeply"), dialectSql, -1);
        fail(dialectSql);
    }
    return st;
}

void SqlEngine::step(const QString &sqliteSql, const QString &dialectSql,
                     const std::function<void(sqlite3_stmt *)> &row)
{
    sqlite3_stmt *st = prepare(sqliteSql, dialectSql);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> guard(st, sqlite3_finalize);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        row(st);
    if (rc != SQLITE_DONE)
        fail(dialectSql);
}

SqlTranslation SqlEngine::translateSelect(const QString &sql)
{
    SqlTranslation t = translate(sql);
    if (t.kind != SqlStatement::Kind::Select)
        throw SqlError(QStringLiteral("Not a SELECT statement"), sql, 0);
    return t;
}

void SqlEngine::forEachRow(const QString &sql, const std::function<void(sqlite3_stmt *)> &row)
{
    step(translateSelect(sql).sql, sql, row);
}

std::string_view SqlEngine::cellText(sqlite3_stmt *row, int column, std::string &scratch)
{
    switch (sqlite3_column_type(row, column)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: scratch = std::to_string(sqlite3_column_int64(row, column)); return scratch;
    case SQLITE_FLOAT: scratch = SqlValue::formatNumber(sqlite3_column_double(row, column)).toStdString(); return scratch;
    default:
        return {reinterpret_cast<const char *>(sqlite3_column_text(row, column)), size_t(sqlite3_column_bytes(row, column))};
    }
}

SqlResult SqlEngine::query(const QString &sql)
{
    return run(translateSelect(sql), sql);
}

SqlResult SqlEngine::run(const SqlTranslation &t, const QString &sql)
{
    SqlResult r;
    r.columns = t.columns;
    cells(t, sql, [&r](QVector<QVariant> &values) { r.rows.append(std::move(values)); });
    return r;
}

void SqlEngine::cells(const SqlTranslation &t, const QString &sql, const std::function<void(QVector<QVariant> &)> &row)
{
    const int n = int(t.columns.size());
    step(t.sql, sql, [&](sqlite3_stmt *st) {
        QVector<QVariant> values(n);
        for (int i = 0; i < n; ++i)
            values[i] = cell(st, i, t.columns[i].type);
        row(values);
    });
}

QString SqlEngine::queryPlan(const QString &sql)
{
    QStringList lines;
    step(QStringLiteral("EXPLAIN QUERY PLAN ") + translate(sql).sql, sql, [&](sqlite3_stmt *st) {
        lines << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 3)));
    });
    return lines.join(u'\n');
}

qint64 SqlEngine::execute(const QString &sql)
{
    const SqlTranslation t = translate(sql);
    try {
        switch (t.kind) {
        case SqlStatement::Kind::Select: return run(t, sql).rows.size();
        case SqlStatement::Kind::CreateTable: return createTable(t, sql);
        case SqlStatement::Kind::Insert: return insert(t, sql);
        case SqlStatement::Kind::Delete: return remove(t, sql);
        }
    } catch (const DbfError &e) {
        throw SqlError(QString::fromUtf8(e.what()), sql, -1);
    }
    return 0;
}

qint64 SqlEngine::createTable(const SqlTranslation &t, const QString &sql)
{
    const QString target = Dbf::resolve(t.targetPath);
    if (QFileInfo::exists(target))
        throw SqlError(QStringLiteral("Table already exists: %1").arg(target), sql, -1);
    if (!QFileInfo(target).absoluteDir().exists())
        throw SqlError(QStringLiteral("Folder does not exist: %1").arg(QFileInfo(target).absolutePath()), sql, -1);
    Dbf dbf = Dbf::create(target, t.createFields);
    dbf.close();
    invalidate(target);
    return 0;
}

qint64 SqlEngine::insert(const SqlTranslation &t, const QString &sql)
{
    // Every row is computed before the table is touched.
    const SqlResult rows = run(t, sql);
    SqlTable target;
    if (!table(t.targetPath, &target))
        throw SqlError(QStringLiteral("Table does not exist: %1").arg(t.targetPath), sql, -1);
    if (rows.rows.isEmpty())
        return 0;
    rewrite(target.path, [&](Dbf &dbf) {
        const QList<DbfField> &fields = dbf.fields();
        for (qint64 r = 0; r < rows.rows.size(); ++r) {
            const qint64 rec = dbf.appendBlank();
            for (int i = 0; i < t.insertTargets.size(); ++i) {
                const DbfField &f = fields[t.insertTargets[i]];
                try {
                    dbf.setValue(rec, t.insertTargets[i], forField(rows.rows[r][i], f, rows.columns[i].type, sql, r));
                } catch (const DbfError &e) {
                    throw SqlError(QStringLiteral("Row %1: %2").arg(r + 1).arg(QString::fromUtf8(e.what())), sql, -1);
                }
            }
        }
    });
    invalidate(target.path);
    return rows.rows.size();
}

qint64 SqlEngine::remove(const SqlTranslation &t, const QString &sql)
{
    QList<qint64> records;
    step(t.sql, sql, [&](sqlite3_stmt *st) { records << sqlite3_column_int64(st, 0); });
    if (records.isEmpty())
        return 0;
    SqlTable target;
    table(t.targetPath, &target);
    rewrite(target.path, [&](Dbf &dbf) {
        for (qint64 rec : records)
            dbf.setDeleted(rec, true);
    });
    invalidate(target.path);
    return records.size();
}
