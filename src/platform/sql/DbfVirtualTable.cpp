#include "platform/sql/DbfVirtualTable.h"

#include "platform/db/DbfCodec.h"
#include "platform/sql/RomanianCollation.h"
#include "platform/sql/SqlTranslator.h"

#include <sqlite3.h>

#include <QDate>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace detail {

struct DbfColumnIndex
{
    bool text = false;
    // Keys and records apart: a lookup's binary search touches the keys only.
    std::vector<double> keys;
    std::vector<quint32> records;
    struct TextEntry
    {
        quint32 offset, length, record;
    };
    std::string arena;
    std::vector<TextEntry> texts;

    std::string_view key(const TextEntry &e) const { return std::string_view(arena).substr(e.offset, e.length); }
    size_t size() const { return text ? texts.size() : keys.size(); }
    quint32 record(size_t i) const { return text ? texts[i].record : records[i]; }
};

} // namespace detail

using detail::DbfColumnIndex;
namespace Codec = DbfCodec;

// ---------------------------------------------------------------- snapshot

SqlColumn DbfSnapshot::columnOf(const DbfField &f)
{
    SqlColumn c;
    c.name = f.name;
    c.size = f.length;
    c.decimals = f.decimals;
    switch (f.type) {
    case 'N':
    case 'F':
        c.type = f.decimals == 0 && f.length <= 18 ? SqlType::Integer : SqlType::Float;
        break;
    case 'D': c.type = SqlType::Date; break;
    case 'L': c.type = SqlType::Logical; break;
    default: c.type = SqlType::Text; break;
    }
    return c;
}

DbfSnapshot::DbfSnapshot(const QString &path)
    : m_dbf(Dbf::open(path, Dbf::Mode::ReadOnly)), m_stamp(Dbf::stamp(path))
{
    for (const DbfField &f : m_dbf.fields()) {
        m_columns << columnOf(f);
        m_fieldSlots.push_back(Slot{f.offset, f.length, m_columns.back().type, f.type});
    }
    m_indexes.resize(size_t(m_columns.size()));
}

DbfSnapshot::~DbfSnapshot() = default;

bool DbfSnapshot::hasIndex(int column) const
{
    std::lock_guard lock(m_mutex);
    return m_indexes[size_t(column)] != nullptr;
}

const DbfColumnIndex &DbfSnapshot::index(int column) const
{
    std::lock_guard lock(m_mutex);
    auto &slot = m_indexes[size_t(column)];
    if (slot)
        return *slot;
    auto idx = std::make_unique<DbfColumnIndex>();
    const qint64 n = m_dbf.recordCount();
    const char type = m_dbf.fields()[column].type;
    const SqlType st = m_columns[column].type;
    if (st == SqlType::Text) {
        idx->text = true;
        std::string scratch;
        std::string_view utf8;
        for (qint64 r = 0; r < n; ++r) {
            if (m_dbf.isDeleted(r) || !Codec::utf8(m_dbf.rawField(r, column), scratch, &utf8))
                continue;
            const std::string k = RomanianCollation::sortKeyUtf8(utf8);
            idx->texts.push_back({quint32(idx->arena.size()), quint32(k.size()), quint32(r)});
            idx->arena += k;
        }
        const std::string &arena = idx->arena;
        std::sort(idx->texts.begin(), idx->texts.end(), [&arena](const auto &a, const auto &b) {
            const int c = std::string_view(arena).substr(a.offset, a.length).compare(
                std::string_view(arena).substr(b.offset, b.length));
            return c != 0 ? c < 0 : a.record < b.record;
        });
    } else if (st == SqlType::Integer || st == SqlType::Float || st == SqlType::Date) {
        std::vector<std::pair<double, quint32>> numbers;
        numbers.reserve(size_t(n));
        for (qint64 r = 0; r < n; ++r) {
            if (m_dbf.isDeleted(r))
                continue;
            const QByteArrayView raw = m_dbf.rawField(r, column);
            double v = 0;
            if (type == 'D') {
                const int d = Codec::dateNumber(raw);
                if (d <= 0)
                    continue;
                v = d;
            } else {
                const Codec::Number k = Codec::number(raw);
                if (k.kind != Codec::Number::Int && k.kind != Codec::Number::Real)
                    continue;
                v = k.value();
            }
            numbers.emplace_back(v, quint32(r));
        }
        // Tables grow month by month: their month column most often comes in order.
        if (!std::is_sorted(numbers.begin(), numbers.end()))
            std::sort(numbers.begin(), numbers.end());
        idx->keys.reserve(numbers.size());
        idx->records.reserve(numbers.size());
        for (const auto &[key, rec] : numbers) {
            idx->keys.push_back(key);
            idx->records.push_back(rec);
        }
    }
    slot = std::move(idx);
    return *slot;
}

std::shared_ptr<const DbfSnapshot> DbfTableState::snapshot()
{
    if (m_snapshot && Dbf::stamp(m_path) == m_snapshot->stamp())
        return m_snapshot;
    m_snapshot = std::make_shared<const DbfSnapshot>(m_path);
    return m_snapshot;
}

void DbfTableState::invalidate() { m_snapshot.reset(); }

// ---------------------------------------------------------------- module

namespace {

struct VTab : sqlite3_vtab
{
    std::shared_ptr<DbfTableState> state;
    QList<SqlColumn> declared;
};

enum Op : int { Eq = SQLITE_INDEX_CONSTRAINT_EQ, Gt = SQLITE_INDEX_CONSTRAINT_GT, Le = SQLITE_INDEX_CONSTRAINT_LE,
                Lt = SQLITE_INDEX_CONSTRAINT_LT, Ge = SQLITE_INDEX_CONSTRAINT_GE };

// One constant condition applied inside the scan.
struct Check
{
    int column;
    int op;
    SqlType type;
    double number = 0;
    std::string text;
};

struct Cursor : sqlite3_vtab_cursor
{
    std::shared_ptr<const DbfSnapshot> snap;
    const DbfColumnIndex *index = nullptr;
    std::vector<quint32> records; // index scans over a range, in file order
    bool useRecords = false;
    size_t pos = 0, end = 0;     // index positions, or the position in records
    qint64 rec = 0, recordCount = 0;
    bool eof = true;
    const char *row = nullptr;   // the current record's bytes (deletion flag first)
    std::vector<Check> checks;
    std::vector<Check> bounds; // kept between lookups: a join calls xFilter once per outer row
    std::string scratch;
    std::string terminated;
    // The plan of the last xFilter: SQLite passes the same idxStr for every
    // lookup of a join, so it is read once.
    const char *planText = nullptr;
    std::vector<std::pair<int, int>> plan;
    int indexColumn = -1;
    const DbfColumnIndex *cachedIndex = nullptr;
};

void setError(sqlite3_vtab *vt, const QString &message)
{
    sqlite3_free(vt->zErrMsg);
    vt->zErrMsg = sqlite3_mprintf("%s", message.toUtf8().constData());
}

QString declareSql(const QList<SqlColumn> &cols)
{
    QStringList parts;
    for (const SqlColumn &c : cols)
        parts << sqliteName(c.name) + u' ' + DbfVirtualTable::declaredType(c);
    return QStringLiteral("CREATE TABLE x(%1)").arg(parts.join(QStringLiteral(", ")));
}

int xConnect(sqlite3 *db, void *aux, int argc, const char *const *argv, sqlite3_vtab **out, char **err)
{
    auto *registry = static_cast<DbfTableRegistry *>(aux);
    if (argc < 4) {
        *err = sqlite3_mprintf("kestrun_dbf needs a table number");
        return SQLITE_ERROR;
    }
    auto state = registry->tableState(atoi(argv[3]));
    if (!state) {
        *err = sqlite3_mprintf("unknown table number %s", argv[3]);
        return SQLITE_ERROR;
    }
    auto vt = std::make_unique<VTab>();
    try {
        vt->declared = state->snapshot()->columns();
    } catch (const std::exception &e) {
        *err = sqlite3_mprintf("%s", e.what());
        return SQLITE_ERROR;
    }
    if (vt->declared.isEmpty()) {
        *err = sqlite3_mprintf("%s: the table has no fields", state->path().toUtf8().constData());
        return SQLITE_ERROR;
    }
    vt->state = std::move(state);
    const int rc = sqlite3_declare_vtab(db, declareSql(vt->declared).toUtf8().constData());
    if (rc != SQLITE_OK)
        return rc;
    *out = vt.release();
    return SQLITE_OK;
}

int xDisconnect(sqlite3_vtab *vt)
{
    sqlite3_free(vt->zErrMsg);
    delete static_cast<VTab *>(vt);
    return SQLITE_OK;
}

bool indexable(const SqlColumn &c)
{
    return c.type == SqlType::Text || isNumeric(c.type) || c.type == SqlType::Date;
}

int xBestIndex(sqlite3_vtab *tab, sqlite3_index_info *info)
{
    auto *vt = static_cast<VTab *>(tab);
    std::shared_ptr<const DbfSnapshot> snap;
    try {
        snap = vt->state->snapshot();
    } catch (const std::exception &) {
        // Planning goes on without the file; opening the cursor reports the error.
    }
    const double records = snap ? std::max<double>(1, double(snap->dbf().recordCount())) : 1000;
    // Candidate constraints: usable, on an indexable column, with our collation for text.
    std::vector<int> usable;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto &c = info->aConstraint[i];
        if (!c.usable || c.iColumn < 0 || c.iColumn >= vt->declared.size())
            continue;
        if (c.op != Eq && c.op != Gt && c.op != Le && c.op != Lt && c.op != Ge)
            continue;
        // X IN (...) arrives as an equality; taken, it would cost one scan per
        // listed value, so SQLite checks it on the rows instead.
        if (c.op == Eq && sqlite3_vtab_in(info, i, -1))
            continue;
        const SqlColumn &col = vt->declared[c.iColumn];
        if (!indexable(col))
            continue;
        if (col.type == SqlType::Text && qstrcmp(sqlite3_vtab_collation(info, i), RomanianCollation::Name) != 0)
            continue;
        usable.push_back(i);
    }
    // The index column: an equality before a range closed on both sides (a
    // month period), that before a range open on one (an amount above 0, which
    // most rows pass); among those a number column (the keys: NRCRT, LUNACRT)
    // before text, then one already indexed.
    const auto onColumn = [&](int col, bool eq) {
        return int(std::count_if(usable.begin(), usable.end(), [&](int i) {
            return info->aConstraint[i].iColumn == col && (info->aConstraint[i].op == Eq) == eq;
        }));
    };
    int indexColumn = -1;
    bool equality = false;
    int best = -1;
    for (int i : usable) {
        const int col = info->aConstraint[i].iColumn;
        const bool eq = onColumn(col, true) > 0;
        const int score = (eq ? 8 : onColumn(col, false) > 1 ? 4 : 0) + (vt->declared[col].type != SqlType::Text ? 2 : 0)
                          + (snap && snap->hasIndex(col) ? 1 : 0);
        if (score > best) {
            best = score;
            indexColumn = col;
            equality = eq;
        }
    }
    // The index column's constraints first, then the ones checked in the scan.
    std::stable_partition(usable.begin(), usable.end(),
                          [&](int i) { return info->aConstraint[i].iColumn == indexColumn; });
    QByteArray plan;
    int argv = 0;
    int bounds = 0;
    for (int i : usable) {
        info->aConstraintUsage[i].argvIndex = ++argv;
        info->aConstraintUsage[i].omit = 0; // SQLite checks again: exact whatever the value's type
        plan += QByteArray::number(info->aConstraint[i].iColumn) + ':' + QByteArray::number(info->aConstraint[i].op)
                + ',';
        if (info->aConstraint[i].iColumn == indexColumn)
            ++bounds;
    }
    info->idxNum = indexColumn + 1;
    info->idxStr = sqlite3_mprintf("%s", plan.constData());
    info->needToFreeIdxStr = 1;
    double rows = records;
    if (indexColumn >= 0)
        rows = equality ? std::min(records, 10.0) : records / (bounds > 1 ? 8 : 3);
    info->estimatedRows = sqlite3_int64(rows);
    info->estimatedCost = indexColumn >= 0 ? rows + std::log2(records + 1) : records * 1.1;
    return SQLITE_OK;
}

int xOpen(sqlite3_vtab *tab, sqlite3_vtab_cursor **out)
{
    auto *vt = static_cast<VTab *>(tab);
    auto cur = std::make_unique<Cursor>();
    try {
        cur->snap = vt->state->snapshot();
    } catch (const std::exception &e) {
        setError(tab, QString::fromUtf8(e.what()));
        return SQLITE_ERROR;
    }
    const QList<SqlColumn> &now = cur->snap->columns();
    bool same = now.size() == vt->declared.size();
    for (int i = 0; same && i < now.size(); ++i)
        same = now[i].name == vt->declared[i].name && now[i].type == vt->declared[i].type;
    if (!same) {
        setError(tab, QStringLiteral("%1: the table's structure changed; run the statement again")
                          .arg(vt->state->path()));
        return SQLITE_ERROR;
    }
    *out = cur.release();
    return SQLITE_OK;
}

int xClose(sqlite3_vtab_cursor *c)
{
    delete static_cast<Cursor *>(c);
    return SQLITE_OK;
}

// The constraint's value in the column's terms; false when it cannot be
// compared here (SQLite then decides alone).
bool valueFor(const SqlColumn &col, sqlite3_value *v, Check *check)
{
    const int t = sqlite3_value_type(v);
    if (col.type == SqlType::Text) {
        if (t != SQLITE_TEXT)
            return false;
        check->text.assign(reinterpret_cast<const char *>(sqlite3_value_text(v)), size_t(sqlite3_value_bytes(v)));
        return true;
    }
    if (col.type == SqlType::Date) {
        if (t != SQLITE_TEXT)
            return false;
        const QDate d = QDate::fromString(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v))),
                                          QStringLiteral("yyyy-MM-dd"));
        if (!d.isValid())
            return false;
        check->number = d.year() * 10000 + d.month() * 100 + d.day();
        return true;
    }
    if (t != SQLITE_INTEGER && t != SQLITE_FLOAT)
        return false;
    check->number = sqlite3_value_double(v);
    return true;
}

bool holds(int op, int c)
{
    switch (op) {
    case Eq: return c == 0;
    case Gt: return c > 0;
    case Ge: return c >= 0;
    case Lt: return c < 0;
    default: return c <= 0;
    }
}

// Does the record pass the scan's constant conditions?
bool passes(Cursor *cur, const char *row)
{
    if (row[0] == '*')
        return false;
    const std::vector<DbfSnapshot::Slot> &layout = cur->snap->fieldSlots();
    for (const Check &ck : cur->checks) {
        const DbfSnapshot::Slot &slot = layout[size_t(ck.column)];
        const QByteArrayView raw(row + slot.offset, slot.length);
        int c = 0;
        if (ck.type == SqlType::Text) {
            std::string_view text;
            if (!Codec::utf8(raw, cur->scratch, &text))
                return false;
            c = RomanianCollation::compareUtf8(text, ck.text);
        } else {
            double v = 0;
            if (ck.type == SqlType::Date) {
                const int d = Codec::dateNumber(raw);
                if (d < 0)
                    return true; // let the column read report it
                if (d == 0)
                    return false;
                v = d;
            } else {
                const Codec::Number k = Codec::number(raw);
                if (k.kind == Codec::Number::Null)
                    return false;
                if (k.kind == Codec::Number::Bad)
                    return true;
                v = k.value();
            }
            c = v < ck.number ? -1 : v > ck.number ? 1 : 0;
        }
        if (!holds(ck.op, c))
            return false;
    }
    return true;
}

void seek(Cursor *cur)
{
    const DbfSnapshot &snap = *cur->snap;
    if (cur->index) {
        for (; cur->pos < cur->end; ++cur->pos) {
            const qint64 r = cur->useRecords ? cur->records[cur->pos] : cur->index->record(cur->pos);
            const char *row = snap.record(r);
            if (passes(cur, row)) {
                cur->rec = r;
                cur->row = row;
                cur->eof = false;
                return;
            }
        }
    } else {
        for (; cur->rec < cur->recordCount; ++cur->rec) {
            const char *row = snap.record(cur->rec);
            if (passes(cur, row)) {
                cur->row = row;
                cur->eof = false;
                return;
            }
        }
    }
    cur->eof = true;
}

// Index positions [first, last) satisfying the bound checks.
std::pair<size_t, size_t> indexRange(const DbfColumnIndex &idx, const std::vector<Check> &bounds)
{
    size_t first = 0, last = idx.size();
    for (const Check &b : bounds) {
        size_t lo = 0, hi = idx.size();
        if (idx.text) {
            const std::string key = RomanianCollation::sortKeyUtf8(b.text);
            auto less = [&](const DbfColumnIndex::TextEntry &e, const std::string &k) { return idx.key(e) < k; };
            auto greater = [&](const std::string &k, const DbfColumnIndex::TextEntry &e) { return k < idx.key(e); };
            lo = size_t(std::lower_bound(idx.texts.begin(), idx.texts.end(), key, less) - idx.texts.begin());
            hi = size_t(std::upper_bound(idx.texts.begin(), idx.texts.end(), key, greater) - idx.texts.begin());
        } else {
            lo = size_t(std::lower_bound(idx.keys.begin(), idx.keys.end(), b.number) - idx.keys.begin());
            hi = size_t(std::upper_bound(idx.keys.begin() + qsizetype(lo), idx.keys.end(), b.number) - idx.keys.begin());
        }
        // [lo, hi) holds the entries equal to the bound.
        switch (b.op) {
        case Eq: first = std::max(first, lo); last = std::min(last, hi); break;
        case Gt: first = std::max(first, hi); break;
        case Ge: first = std::max(first, lo); break;
        case Lt: last = std::min(last, lo); break;
        default: last = std::min(last, hi); break;
        }
    }
    if (first > last)
        first = last;
    return {first, last};
}

int xFilter(sqlite3_vtab_cursor *c, int idxNum, const char *idxStr, int argc, sqlite3_value **argv)
{
    auto *cur = static_cast<Cursor *>(c);
    auto *vt = static_cast<VTab *>(c->pVtab);
    cur->checks.clear();
    cur->index = nullptr;
    cur->useRecords = false;
    cur->records.clear();
    cur->rec = 0;
    cur->recordCount = cur->snap->dbf().recordCount();
    const int indexColumn = idxNum - 1;
    std::vector<Check> &bounds = cur->bounds;
    bounds.clear();
    bool empty = false;
    if (cur->planText != idxStr) {
        cur->plan.clear();
        for (const QByteArray &item : QByteArray(idxStr ? idxStr : "").split(',')) {
            const QList<QByteArray> parts = item.split(':');
            if (parts.size() == 2)
                cur->plan.emplace_back(parts[0].toInt(), parts[1].toInt());
        }
        cur->planText = idxStr;
    }
    for (int i = 0; i < argc && i < int(cur->plan.size()); ++i) {
        Check ck;
        ck.column = cur->plan[size_t(i)].first;
        ck.op = cur->plan[size_t(i)].second;
        if (ck.column < 0 || ck.column >= vt->declared.size())
            continue;
        ck.type = vt->declared[ck.column].type;
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            empty = true; // a comparison with null holds for no row
            continue;
        }
        if (!valueFor(vt->declared[ck.column], argv[i], &ck))
            continue;
        (ck.column == indexColumn ? bounds : cur->checks).push_back(std::move(ck));
    }
    if (empty) {
        cur->eof = true;
        return SQLITE_OK;
    }
    try {
        if (!bounds.empty()) {
            if (cur->indexColumn != indexColumn || !cur->cachedIndex) {
                cur->cachedIndex = &cur->snap->index(indexColumn);
                cur->indexColumn = indexColumn;
            }
            cur->index = cur->cachedIndex;
            const auto [first, last] = indexRange(*cur->index, bounds);
            const bool equality = std::any_of(bounds.begin(), bounds.end(), [](const Check &b) { return b.op == Eq; });
            if (!equality) {
                // A range comes out in file order, as a plain scan would give it.
                cur->records.reserve(last - first);
                for (size_t p = first; p < last; ++p)
                    cur->records.push_back(cur->index->record(p));
                std::sort(cur->records.begin(), cur->records.end());
                cur->useRecords = true;
                cur->pos = 0;
                cur->end = cur->records.size();
            } else {
                cur->pos = first;
                cur->end = last;
            }
        }
        seek(cur);
    } catch (const std::exception &e) {
        setError(c->pVtab, QString::fromUtf8(e.what()));
        return SQLITE_ERROR;
    }
    return SQLITE_OK;
}

int xNext(sqlite3_vtab_cursor *c)
{
    auto *cur = static_cast<Cursor *>(c);
    try {
        if (cur->index)
            ++cur->pos;
        else
            ++cur->rec;
        seek(cur);
    } catch (const std::exception &e) {
        setError(c->pVtab, QString::fromUtf8(e.what()));
        return SQLITE_ERROR;
    }
    return SQLITE_OK;
}

int xEof(sqlite3_vtab_cursor *c) { return static_cast<Cursor *>(c)->eof; }

// Reports a field that cannot be read, naming the file, record and field.
Q_NEVER_INLINE int badField(const Cursor *cur, sqlite3_context *ctx, int i, const char *what)
{
    const Dbf &dbf = cur->snap->dbf();
    const QString msg = QStringLiteral("%1: record %2, field %3: %4")
                            .arg(dbf.path())
                            .arg(cur->rec + 1)
                            .arg(dbf.fields()[i].name, QLatin1StringView(what));
    sqlite3_result_error(ctx, msg.toUtf8().constData(), -1);
    return SQLITE_OK;
}

int xColumn(sqlite3_vtab_cursor *c, sqlite3_context *ctx, int i)
{
    auto *cur = static_cast<Cursor *>(c);
    const std::vector<DbfSnapshot::Slot> &fieldSlots = cur->snap->fieldSlots();
    if (i < 0 || size_t(i) >= fieldSlots.size()) {
        sqlite3_result_null(ctx);
        return SQLITE_OK;
    }
    const DbfSnapshot::Slot &slot = fieldSlots[size_t(i)];
    const QByteArrayView raw(cur->row + slot.offset, slot.length);
    auto bad = [&](const char *what) { return badField(cur, ctx, i, what); };
    switch (slot.fieldType) {
    case 'C': {
        // Copied: SQLite may keep a text past this row (MIN, MAX, sorting).
        std::string_view text;
        if (!Codec::utf8(raw, cur->scratch, &text)) {
            sqlite3_result_null(ctx);
        } else if (std::memchr(text.data(), 0, text.size())) {
            sqlite3_result_text(ctx, text.data(), int(text.size()), SQLITE_TRANSIENT);
        } else {
            // Handed over NUL-terminated (length -1): SQLite then marks the value
            // terminated, and a reader asking for the text does not make it grow.
            cur->terminated.assign(text);
            sqlite3_result_text(ctx, cur->terminated.c_str(), -1, SQLITE_TRANSIENT);
        }
        return SQLITE_OK;
    }
    case 'N':
    case 'F': {
        const Codec::Number n = Codec::number(raw);
        switch (n.kind) {
        case Codec::Number::Null: sqlite3_result_null(ctx); break;
        case Codec::Number::Int:
            if (slot.type == SqlType::Float)
                sqlite3_result_double(ctx, double(n.whole));
            else
                sqlite3_result_int64(ctx, n.whole);
            break;
        case Codec::Number::Real: sqlite3_result_double(ctx, n.real); break;
        case Codec::Number::Bad: return bad("not a number");
        }
        return SQLITE_OK;
    }
    case 'D': {
        const int d = Codec::dateNumber(raw);
        if (d < 0)
            return bad("not a date");
        if (d == 0) {
            sqlite3_result_null(ctx);
            return SQLITE_OK;
        }
        // d is a checked yyyymmdd, so each part has its digits.
        const int y = d / 10000, m = d / 100 % 100, dd = d % 100;
        const char iso[10] = {char('0' + y / 1000), char('0' + y / 100 % 10), char('0' + y / 10 % 10),
                              char('0' + y % 10),   '-',  char('0' + m / 10), char('0' + m % 10), '-',
                              char('0' + dd / 10),  char('0' + dd % 10)};
        sqlite3_result_text(ctx, iso, 10, SQLITE_TRANSIENT);
        return SQLITE_OK;
    }
    case 'L': {
        const int v = Codec::logical(raw);
        if (v == -2)
            return bad("not a logical value");
        if (v < 0)
            sqlite3_result_null(ctx);
        else
            sqlite3_result_int(ctx, v);
        return SQLITE_OK;
    }
    default:
        return bad("this field type is not supported");
    }
}

int xRowid(sqlite3_vtab_cursor *c, sqlite3_int64 *rowid)
{
    *rowid = static_cast<Cursor *>(c)->rec;
    return SQLITE_OK;
}

sqlite3_module makeModule()
{
    sqlite3_module m{};
    m.iVersion = 1;
    m.xCreate = xConnect;
    m.xConnect = xConnect;
    m.xBestIndex = xBestIndex;
    m.xDisconnect = xDisconnect;
    m.xDestroy = xDisconnect;
    m.xOpen = xOpen;
    m.xClose = xClose;
    m.xFilter = xFilter;
    m.xNext = xNext;
    m.xEof = xEof;
    m.xColumn = xColumn;
    m.xRowid = xRowid;
    return m;
}

} // namespace

namespace DbfVirtualTable {

void registerModule(sqlite3 *db, DbfTableRegistry *registry)
{
    static const sqlite3_module module = makeModule();
    sqlite3_create_module_v2(db, ModuleName, &module, registry, nullptr);
}

QString declaredType(const SqlColumn &c)
{
    switch (c.type) {
    case SqlType::Text: return QStringLiteral("TEXT COLLATE RO");
    case SqlType::Integer:
    case SqlType::Logical: return QStringLiteral("INTEGER");
    case SqlType::Float: return QStringLiteral("REAL");
    default: return QStringLiteral("TEXT");
    }
}

} // namespace DbfVirtualTable
