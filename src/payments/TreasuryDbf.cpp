#include "payments/TreasuryDbf.h"

#include "documents/DocumentValues.h"
#include "payments/PaymentValues.h"
#include "payments/TipStatF.h"
#include "platform/db/Dbf.h"
#include "platform/db/DbfCodec.h"
#include "tables/RequestTables.h"
#include "platform/sql/Money.h"
#include "platform/sql/RomanianCollation.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/SqlEngine.h"
#include "tables/RequestRules.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <string>
#include <unordered_map>
#include <vector>

using namespace DocumentValues;

namespace {

// Widths of the model's fields that a payment could overrun: checked, and
// named to the clerk, before anything is written.
constexpr int kCodJud = 2, kCodFisc = 10, kCnp = 13, kName = 60, kSum = 10;

bool digitsOnly(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Sums below a million (or above minus a hundred thousand) plainly have room
// for their ten characters; only the others need formatting to tell.
bool sumFits(double amount)
{
    return (amount > -1e5 && amount < 1e6) || !DbfCodec::formatNumber(amount, kSum, 2).isEmpty();
}

// Whether each CNP is paid by bank order ("OP"), as the first request with
// it says. A month holds tens of thousands of CNPs: they stand one after
// another in one buffer, found through a table of slots, with no allocation
// a CNP.
class FirstModes
{
public:
    // The CNP's mode; mode() gives it when this request is the CNP's first.
    template <class Mode>
    bool byBankOrder(std::string_view cnp, Mode mode)
    {
        if ((m_entries.size() + 1) * 2 > m_slots.size())
            grow();
        int &at = m_slots[slot(cnp)];
        if (at < 0) {
            at = int(m_entries.size());
            m_entries.push_back({quint32(m_keys.size()), quint32(cnp.size()), mode()});
            m_keys.append(cnp);
        }
        return m_entries[size_t(at)].bankOrder;
    }

private:
    struct Entry
    {
        quint32 offset, length;
        bool bankOrder;
    };

    std::string_view key(const Entry &e) const { return std::string_view(m_keys).substr(e.offset, e.length); }

    size_t slot(std::string_view cnp) const
    {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = std::hash<std::string_view>()(cnp) & mask;; i = (i + 1) & mask)
            if (m_slots[i] < 0 || key(m_entries[size_t(m_slots[i])]) == cnp)
                return i;
    }

    void grow()
    {
        m_slots.assign(std::max<size_t>(m_slots.size() * 2, 1024), -1);
        for (size_t e = 0; e < m_entries.size(); ++e)
            m_slots[slot(key(m_entries[e]))] = int(e);
    }

    std::vector<int> m_slots;
    std::vector<Entry> m_entries;
    std::string m_keys;
};

// The payees' names, each made text once: a month's payees share a few
// thousand names among tens of thousands of requests.
class Names
{
public:
    // The number of the row's name; -1 for none.
    int add(sqlite3_stmt *row, int column)
    {
        if (sqlite3_column_type(row, column) == SQLITE_NULL)
            return -1;
        const std::string_view utf8 = SqlEngine::cellText(row, column, m_scratch);
        if (const auto known = m_ids.find(utf8); known != m_ids.end())
            return known->second;
        m_texts.push_back(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
        return m_ids.emplace(utf8, int(m_texts.size() - 1)).first->second;
    }
    QString text(int name) const { return name < 0 ? QString() : m_texts[size_t(name)]; }

    // Each name's rank in Romanian order, from 1; names the collation holds
    // equal (trailing blanks, ş and ș) share one.
    std::vector<int> ranks() const
    {
        std::vector<std::string> keys;
        keys.reserve(m_texts.size());
        for (const QString &name : m_texts)
            keys.push_back(RomanianCollation::sortKey(name));
        std::vector<int> byKey(keys.size());
        std::iota(byKey.begin(), byKey.end(), 0);
        std::sort(byKey.begin(), byKey.end(), [&keys](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
        std::vector<int> rank(keys.size());
        for (size_t i = 0, r = 1; i < byKey.size(); ++i) {
            if (i > 0 && keys[size_t(byKey[i])] != keys[size_t(byKey[i - 1])])
                ++r;
            rank[size_t(byKey[i])] = int(r);
        }
        return rank;
    }

private:
    // Looked up by the engine's bytes, without a string made for each row.
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    std::unordered_map<std::string, int, Hash, std::equal_to<>> m_ids;
    std::vector<QString> m_texts;
    std::string m_scratch;
};

// A request kept for the file, in the table's order.
struct Kept
{
    int name; // in Names
    QString cnp;
    int members;
    bool byBankOrder;
};

// A cell of the requests' scan as its field reads: text (null empty), a
// number (null 0), a whole number.
QString text(sqlite3_stmt *row, int column)
{
    std::string scratch;
    const std::string_view utf8 = SqlEngine::cellText(row, column, scratch);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

double number(sqlite3_stmt *row, int column)
{
    return sqlite3_column_type(row, column) == SQLITE_NULL ? 0 : sqlite3_column_double(row, column);
}

int wholeNumber(sqlite3_stmt *row, int column)
{
    const double d = std::round(number(row, column));
    if (d > std::numeric_limits<int>::max() || d < std::numeric_limits<int>::min())
        PaymentValues::refuse(QStringLiteral("Numarul de membri %1 este prea mare.").arg(d));
    return int(d);
}

// The rows' positions by name, as ORDER BY gives them: no name first, then in
// Romanian order, namesakes in the table's order. Each name is keyed once and
// the rows are counted out by the rank of their name, never collating two
// names again.
std::vector<int> nameOrder(const std::vector<Kept> &rows, const Names &names)
{
    const std::vector<int> rank = names.ranks();
    const auto rankOf = [&](const Kept &k) { return k.name < 0 ? 0 : rank[size_t(k.name)]; };
    std::vector<int> start(rank.size() + 2, 0);
    for (const Kept &k : rows)
        ++start[size_t(rankOf(k)) + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<int> order(rows.size());
    for (size_t r = 0; r < rows.size(); ++r)
        order[size_t(start[size_t(rankOf(rows[r]))]++)] = int(r);
    return order;
}

// The model's fields a payment fills.
struct Fields
{
    int codJud, codFisc, cnp, code, name, members, sum, paid, taken;

    static Fields of(const Dbf &table)
    {
        const auto field = [&table](QStringView name) { return table.fieldIndex(name); };
        return {field(u"CODJUD"), field(u"CODFISC"), field(u"CNP"),       field(u"CODAJUT"),  field(u"NUMEPREN"),
                field(u"NRPERS"), field(u"SUMA"),    field(u"DTPLATCRT"), field(u"DATA_PREL")};
    }
    bool complete() const { return std::min({codJud, codFisc, cnp, code, name, members, sum, paid, taken}) >= 0; }
};

// The file made through the table engine a record at a time.
QByteArray bytesRowByRow(const QByteArray &model, const TreasuryDbf::Payer &payer,
                         const QList<TreasuryPayment> &payments, const QDate &today)
{
    Dbf table = Dbf::inMemory(model, QStringLiteral("MODELTRZ"));
    const Fields f = Fields::of(table);
    for (const TreasuryPayment &p : payments)
        table.setValues(table.appendBlank(), {{f.codJud, payer.codJud}, {f.codFisc, payer.codFiscal}, {f.cnp, p.cnp},
                                              {f.code, p.code}, {f.name, p.name}, {f.members, p.members},
                                              {f.sum, p.amount}, {f.paid, payer.paymentDate}, {f.taken, payer.paymentDate}});
    return table.bytes(today);
}

QString describe(const TreasuryPayment &p)
{
    return QStringLiteral("%1 (CNP %2, cod %3)").arg(p.name, p.cnp, p.code);
}

} // namespace

QList<TreasuryPayment> TreasuryDbf::select(const QStringList &codes, const TTipStatF &selection)
{
    const bool byLocality = !selection.allLocalities();
    const QString locality = selection.locality();
    // Whether a request pays: granted or modified, with something to pay,
    // its name within the letters chosen. LIKE would read "%" and "_" of a
    // locality as wildcards: it only narrows the rows, the exact test is made
    // below.
    QStringList pays{RequestRules::approved(), QStringLiteral("AND (TOTAL>0 OR SUMAL>0)")};
    if (byLocality)
        pays << QStringLiteral("AND (LOCALIT=%1 OR ADRESA LIKE %2)")
                    .arg(SqlQuote::literal(locality), SqlQuote::literal(locality + u'%'));
    pays << selection.nameConditions();
    // Every request of the month, in the table's order: the payment mode of a
    // CNP is its first request's, whatever its status, so one scan serves the
    // payees and their modes. The place is read only to test a chosen locality.
    const QString sql = QStringList{
        QStringLiteral("SELECT TITULAR AS SUBSEMN, CNP, NR_MEMBRI AS NRPERS, TOTAL, SUMAL, MODPLATA, (")
            + pays.join(u' ') + QStringLiteral(") AS PAYS") + (byLocality ? QStringLiteral(", LOCALIT, ADRESA") : QString()),
        QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri)),
        QStringLiteral("WHERE LUNACRT=") + SqlQuote::number(workingMonth()),
    }.join(u'\n');
    enum Column { Name, Cnp, Members, Total, Suma, Mode, Pays, Localit, Adresa };
    // 073 pays the aid total, 074 the solid-fuel supplement.
    std::vector<int> amountColumns;
    for (const QString &code : codes)
        amountColumns.push_back(code == u"073" ? Total : Suma);

    Names names;
    std::vector<Kept> kept;
    std::vector<double> amountsOf; // the codes' amounts of each row kept, one after another
    FirstModes modes;
    std::string scratch, modeScratch;
    SqlEngine::instance().forEachRow(sql, [&](sqlite3_stmt *row) {
        const bool bankOrder = modes.byBankOrder(SqlEngine::cellText(row, Cnp, scratch), [&] {
            return SqlEngine::cellText(row, Mode, modeScratch) == "OP";
        });
        if (sqlite3_column_type(row, Pays) == SQLITE_NULL || sqlite3_column_int(row, Pays) == 0)
            return;
        if (byLocality && text(row, Localit) != locality && !text(row, Adresa).startsWith(locality))
            return;
        kept.push_back({names.add(row, Name), text(row, Cnp), wholeNumber(row, Members), bankOrder});
        for (const int column : amountColumns)
            amountsOf.push_back(number(row, column));
    });
    const std::vector<int> order = nameOrder(kept, names);
    QList<TreasuryPayment> payments;
    payments.reserve(qsizetype(amountsOf.size()));
    for (size_t i = 0; i < amountColumns.size(); ++i) {
        for (const int row : order) {
            const Kept &k = kept[size_t(row)];
            if (const double amount = amountsOf[size_t(row) * amountColumns.size() + i]; amount > 0)
                payments.append({codes[qsizetype(i)], names.text(k.name), k.cnp, k.members, amount, k.byBankOrder});
        }
    }
    return payments;
}

void TreasuryDbf::check(const Payer &payer, const QList<TreasuryPayment> &payments)
{
    // The codes make the file name: anything but digits could lead it elsewhere.
    if (!digitsOnly(payer.codJud) || payer.codJud.size() > kCodJud)
        PaymentValues::refuse(QStringLiteral("Codul judetului din Administrare trebuie sa aiba 1 sau 2 cifre (acum \"%1\").")
                                  .arg(payer.codJud));
    if (!digitsOnly(payer.codFiscal) || payer.codFiscal.size() > kCodFisc)
        PaymentValues::refuse(QStringLiteral("Codul fiscal din Administrare trebuie sa aiba cel mult 10 cifre, fara "
                                             "litere (acum \"%1\").")
                                  .arg(payer.codFiscal));
    const QString prefix = QStringLiteral("Cererea lui ");
    for (const TreasuryPayment &p : payments) {
        QString why;
        if (p.name.size() > kName)
            why = QStringLiteral("numele are %1 caractere, fisierul trezoreriei primeste cel mult 60").arg(p.name.size());
        else if (p.cnp.size() > kCnp)
            why = QStringLiteral("CNP-ul are %1 caractere, fisierul trezoreriei primeste cel mult 13").arg(p.cnp.size());
        else if (p.members < 0 || p.members > 99)
            why = QStringLiteral("numarul de membri %1 nu incape in 2 cifre").arg(p.members);
        else if (!sumFits(p.amount))
            why = QStringLiteral("suma %1 nu incape in 10 caractere").arg(Money::twoDecimals(p.amount));
        if (!why.isEmpty())
            PaymentValues::refuse(prefix + describe(p) + QStringLiteral(" nu poate intra in raport: ") + why
                                  + QStringLiteral(". Corectati cererea si reincercati."));
    }
}

QString TreasuryDbf::fileName(const Payer &payer)
{
    return payer.codJud.rightJustified(2, u'0') + payer.codFiscal + u'_'
           + payer.paymentDate.toString(QStringLiteral("dd-MM-yyyy")) + QStringLiteral(".dbf");
}

QByteArray TreasuryDbf::bytes(const QByteArray &model, const Payer &payer, const QList<TreasuryPayment> &payments,
                              const QDate &today)
{
    // A table nothing was appended to keeps its header as it came.
    if (payments.isEmpty())
        return model;
    Dbf table = Dbf::inMemory(model, QStringLiteral("MODELTRZ"));
    const Fields f = Fields::of(table);
    if (!f.complete())
        return bytesRowByRow(model, payer, payments, today); // which refuses the model
    // The payer and the dates are alike in every record: set once, in the
    // first, through the table engine, and copied; each payment's own fields
    // are then encoded in place.
    table.setValues(table.appendBlank(),
                    {{f.codJud, payer.codJud}, {f.codFisc, payer.codFiscal}, {f.paid, payer.paymentDate},
                     {f.taken, payer.paymentDate}});
    const qsizetype length = table.recordLength();
    char *const records = table.appendBlank(payments.size() - 1) - length;
    const QList<DbfField> &fields = table.fields();
    // A field that holds what it held in the record before (the code, a
    // namesake, a household size) is copied from there, not encoded again.
    const auto put = [&fields, length](char *record, int field, bool asBefore, const auto &value) {
        const DbfField &at = fields[field];
        if (asBefore)
            memcpy(record + at.offset, record - length + at.offset, size_t(at.length));
        else
            DbfCodec::encode(at, QVariant(value), record + at.offset);
    };
    try {
        for (qsizetype i = 0; i < payments.size(); ++i) {
            const TreasuryPayment &p = payments[i];
            const TreasuryPayment *before = i > 0 ? &payments[i - 1] : nullptr;
            char *record = records + i * length;
            if (before)
                memcpy(record, records, size_t(length));
            put(record, f.cnp, before && before->cnp == p.cnp, p.cnp);
            put(record, f.code, before && before->code == p.code, p.code);
            put(record, f.name, before && before->name == p.name, p.name);
            put(record, f.members, before && before->members == p.members, p.members);
            put(record, f.sum, before && std::bit_cast<quint64>(before->amount) == std::bit_cast<quint64>(p.amount),
                p.amount);
        }
    } catch (const DbfError &) {
        return bytesRowByRow(model, payer, payments, today); // which names the record and the field
    }
    return table.bytes(today);
}
