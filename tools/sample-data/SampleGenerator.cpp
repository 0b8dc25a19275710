#include "sample-data/SampleGenerator.h"

#include "platform/db/Dbf.h"
#include "platform/io/DurableFile.h"
#include "platform/io/FileWriteError.h"
#include "platform/profile/AppFolders.h"
#include "platform/profile/ProfileFile.h"
#include "sample-data/AidBrackets.h"
#include "sample-data/PersonalCodes.h"
#include "sample-data/SampleNames.h"
#include "sample-data/SampleRandom.h"
#include "tables/RequestTables.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

using namespace SampleNames;

const QDate kDateOrigin(1899, 12, 30);
constexpr int kSeasons = 5;
constexpr int kSeasonWeights[kSeasons] = {1, 1, 2, 2, 4};
const QString kPaymentCec = QStringLiteral("CEC");
const QString kPaymentOp = QStringLiteral("OP");
const QString kPaymentPost = QStringLiteral("MANDAT POSTAL");

// Supplement amounts in whole lei: solid fuel, gas, heat, electricity, electricity (second rate).
constexpr int kIndL = 20, kIndG = 20, kIndT = 20, kIndE = 30, kIndE2 = 10;

QString str(const char16_t *s) { return QString::fromUtf16(s); }

[[noreturn]] void fail(const QString &message) { throw SampleError(message.toStdString()); }

struct Person
{
    QString name;
    QString cnp;
    qint64 incomeBani = 0;
    const char *role = "beneficiar";
    int age = 0; // on the age date
    QDate born;
};

struct Supplement
{
    bool on = false;
    int holder = 0; // index in the household's people
    QString supplier, client, pod;
};

// What the last month's first rows are made to show, so that even a small
// sample holds every status, payment kind and border value.
enum class Edge { None, AllSupplements, Modified, Ended, Rejected, NoLocality, OneWordName, LongAddress,
                  ZeroAmounts, BlankAmounts };
constexpr Edge kEdges[] = {Edge::AllSupplements, Edge::Modified, Edge::Ended, Edge::Rejected, Edge::NoLocality,
                           Edge::OneWordName, Edge::LongAddress, Edge::ZeroAmounts, Edge::BlankAmounts};

struct Household
{
    QList<Person> people;
    QString village, address, civil, school, occupation, payment, iban, bank;
    int rooms = 1;
    bool insured = false, l416 = false, asf = false, highIncome = false, solid = false;
    Supplement gas, power, heat;

    qint64 incomeBani() const
    {
        qint64 sum = 0;
        for (const Person &p : people)
            sum += p.incomeBani;
        return sum;
    }
};

struct Month
{
    int year, month, season, indexInSeason;
    int lastDay; // the month's last day, or today in the current month
    int rows = 0;
    int code() const { return year * 12 + month - 1; }
    // The day of the month, kept within the days the month has had.
    QDate day(int d) const { return QDate(year, month, std::min(d, lastDay)); }
    QString text() const { return QStringLiteral("%1.%2").arg(month, 2, 10, QChar(u'0')).arg(year); }
};

struct Row
{
    int household;
    QDate requested;
    QString status;
    Edge edge;
};

// The November that starts the season under way on the day, or the one
// that ended last March when the day falls between seasons.
int currentSeason(const QDate &today)
{
    return today.month() >= 11 ? today.year() : today.year() - 1;
}

// The months of the seasons up to the current one, which ends with today's month.
QList<Month> seasonMonths(const QDate &today)
{
    QList<Month> out;
    const int first = currentSeason(today) - kSeasons + 1;
    for (int s = 0; s < kSeasons; ++s) {
        const int y = first + s;
        const int ym[5][2] = {{y, 11}, {y, 12}, {y + 1, 1}, {y + 1, 2}, {y + 1, 3}};
        for (int k = 0; k < 5; ++k) {
            const QDate start(ym[k][0], ym[k][1], 1);
            if (start > today)
                return out;
            const bool current = start.year() == today.year() && start.month() == today.month();
            out.append(Month{ym[k][0], ym[k][1], s, k, current ? today.day() : start.daysInMonth()});
        }
    }
    return out;
}

// Shares the rows out by the season weights, largest remainder first and later
// months first on ties, so that a small sample fills the newest months.
void shareRows(QList<Month> &months, qint64 size)
{
    qint64 total = 0;
    for (const Month &m : months)
        total += kSeasonWeights[m.season];
    QList<std::pair<qint64, int>> remainders;
    qint64 given = 0;
    for (int i = 0; i < months.size(); ++i) {
        const qint64 share = size * kSeasonWeights[months[i].season];
        months[i].rows = int(share / total);
        given += months[i].rows;
        remainders.append({share % total, i});
    }
    std::sort(remainders.begin(), remainders.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second > b.second;
    });
    for (int i = 0; given < size; ++i, ++given)
        ++months[remainders[i % remainders.size()].second].rows;
}

class Population
{
public:
    // Ages are taken on ageDate.
    Population(SampleRandom &rnd, const Commune &commune, const QDate &ageDate)
        : m_rnd(rnd), m_commune(commune), m_ageDate(ageDate)
    {
    }

    Household household()
    {
        Household h;
        const QString surname = str(m_rnd.pick(surnames));
        const bool male = m_rnd.percent(55);
        h.people.append(person(surname, male, m_rnd.between(22, 85), "beneficiar"));
        const int age = h.people[0].age;
        if (m_rnd.percent(age < 75 ? 60 : 30))
            h.people.append(person(surname, !male, std::max(18, age + m_rnd.between(-5, 5)), "partener"));
        // Households live through all five seasons: adults are grown up and
        // children born before the first season, and none comes of age by the last.
        if (m_rnd.percent(20))
            h.people.append(person(surname, m_rnd.percent(50), m_rnd.between(22, 30), "adult"));
        const int children = m_rnd.pick(std::array{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 4});
        for (int c = 0; c < children && age < 60; ++c)
            h.people.append(person(surname, m_rnd.percent(50), m_rnd.between(5, 16), "copil"));
        incomes(h);
        details(h);
        supplements(h);
        return h;
    }

private:
    Person person(const QString &surname, bool male, int age, const char *role)
    {
        Person p;
        p.role = role;
        p.age = age;
        p.name = surname + u' ' + str(male ? m_rnd.pick(menNames) : m_rnd.pick(womenNames));
        if (m_rnd.percent(8))
            p.name += u' ' + str(male ? m_rnd.pick(menNames) : m_rnd.pick(womenNames));
        p.name.truncate(32);
        // Born within the year that makes them `age` years old on the age date.
        p.born = m_ageDate.addYears(-age - 1).addDays(m_rnd.between(1, 364));
        p.cnp = uniqueCnp(male, p.born);
        return p;
    }

    QString uniqueCnp(bool male, const QDate &born)
    {
        const int county = m_rnd.percent(90) ? m_commune.countyCode : m_rnd.between(1, 40);
        const int first = m_rnd.between(1, 999);
        // Bounded: after every serial of that day and county the code repeats.
        for (int k = 0; k < 999; ++k) {
            const QString cnp = PersonalCodes::cnp(male, born, county, (first + k) % 999 + 1);
            if (!m_cnps.contains(cnp)) {
                m_cnps.insert(cnp);
                return cnp;
            }
        }
        return PersonalCodes::cnp(male, born, county, first);
    }

    void incomes(Household &h)
    {
        const int members = int(h.people.size());
        qint64 perMemberBani;
        const int kind = m_rnd.between(0, 99);
        if (kind < 10) {
            h.highIncome = true;
            perMemberBani = m_rnd.between(210000, 300000);
        } else if (kind < 25) {
            perMemberBani = 0;
        } else if (kind < 38) {
            // Only the supplements reach this far.
            perMemberBani = m_rnd.between(138600, 205300);
        } else {
            perMemberBani = m_rnd.between(5000, 138600);
        }
        qint64 left = perMemberBani * members;
        QList<int> earners;
        for (int i = 0; i < members; ++i)
            if (qstrcmp(h.people[i].role, "copil") != 0)
                earners.append(i);
        for (int k = 0; k < earners.size(); ++k) {
            const qint64 part = k + 1 == earners.size() ? left : left * m_rnd.between(40, 70) / 100;
            h.people[earners[k]].incomeBani = part;
            left -= part;
        }
    }

    void details(Household &h)
    {
        const Person &head = h.people[0];
        const bool couple = h.people.size() > 1 && qstrcmp(h.people[1].role, "partener") == 0;
        h.village = str(m_rnd.pick(m_commune.villages));
        h.address = m_rnd.percent(30) ? QStringLiteral("Nr. %1").arg(m_rnd.between(1, 999))
                                      : str(m_rnd.pick(streets)) + QStringLiteral(" nr. %1").arg(m_rnd.between(1, 250));
        h.civil = couple ? (m_rnd.percent(85) ? QStringLiteral("C") : QStringLiteral("UC"))
                         : QString::fromLatin1(head.age > 70 && m_rnd.percent(60) ? "V" : m_rnd.pick(std::array{"N", "D", "DF"}));
        h.school = QString::fromLatin1(m_rnd.pick(std::array{"G", "G", "G", "M", "M", "FS", "S"}));
        if (head.age >= 63)
            h.occupation = QStringLiteral("pensionar");
        else if (head.incomeBani == 0)
            h.occupation = QStringLiteral("fara venituri");
        else
            h.occupation = QString::fromLatin1(occupations[m_rnd.pick(std::array{0, 0, 2, 4, 5, 5, 6, 8})]);
        h.rooms = m_rnd.between(1, 4);
        h.insured = m_rnd.percent(70);
        h.l416 = m_rnd.percent(20);
        h.asf = m_rnd.percent(10);
        const int pay = m_rnd.between(0, 99);
        h.payment = pay < 45 ? kPaymentCec : pay < 80 ? kPaymentOp : kPaymentPost;
        if (h.payment == kPaymentOp)
            account(h);
    }

    void account(Household &h)
    {
        const Bank &bank = m_rnd.pick(banks);
        QString acct;
        for (int i = 0; i < 16; ++i)
            acct += i == 4 ? QChar(u'A' + m_rnd.between(0, 25)) : QChar(u'0' + m_rnd.between(0, 9));
        h.bank = str(bank.name);
        h.iban = PersonalCodes::iban(QString::fromLatin1(bank.code), acct);
    }

    QString digits(int n)
    {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'0' + m_rnd.between(0, 9));
        return s;
    }

    Supplement supplement(const Household &h, int chance, const char16_t *const *suppliers, int count,
                          const QString &podPrefix)
    {
        Supplement s;
        s.on = m_rnd.percent(chance);
        if (!s.on)
            return s;
        s.holder = h.people.size() > 1 && m_rnd.percent(20) ? 1 : 0;
        s.supplier = str(suppliers[m_rnd.between(0, count - 1)]);
        s.client = digits(10);
        if (!podPrefix.isEmpty())
            s.pod = podPrefix + digits(10);
        return s;
    }

    void supplements(Household &h)
    {
        h.solid = m_rnd.percent(70);
        h.gas = supplement(h, 15, gasSuppliers.data(), int(gasSuppliers.size()), QStringLiteral("DEG"));
        h.power = supplement(h, 55, electricitySuppliers.data(), int(electricitySuppliers.size()),
                             QStringLiteral("RO005E"));
        h.heat = supplement(h, 5, heatSuppliers.data(), int(heatSuppliers.size()), QString());
    }

    SampleRandom &m_rnd;
    const Commune &m_commune;
    QDate m_ageDate;
    QSet<QString> m_cnps;
};

// Makes the household show its border value in every month it appears.
void applyEdge(Household &h, Edge edge, SampleRandom &rnd)
{
    switch (edge) {
    case Edge::AllSupplements:
        h.solid = true;
        h.gas.on = h.power.on = h.heat.on = true;
        if (h.gas.supplier.isEmpty()) h.gas = {true, 0, str(gasSuppliers[0]), QStringLiteral("1000000001"), QStringLiteral("DEG1000000001")};
        if (h.power.supplier.isEmpty()) h.power = {true, 0, str(electricitySuppliers[0]), QStringLiteral("2000000002"), QStringLiteral("RO005E2000000002")};
        if (h.heat.supplier.isEmpty()) h.heat = {true, 0, str(heatSuppliers[0]), QStringLiteral("3000000003"), QString()};
        h.highIncome = false;
        for (Person &p : h.people)
            p.incomeBani = qstrcmp(p.role, "copil") == 0 ? 0 : 40000;
        if (h.payment != kPaymentOp) {
            h.payment = kPaymentOp;
            h.bank = str(banks[2].name);
            h.iban = PersonalCodes::iban(QString::fromLatin1(banks[2].code), QStringLiteral("0000A00000123456"));
        }
        break;
    case Edge::Modified:
    case Edge::Rejected:
        h.payment = kPaymentCec;
        h.iban.clear();
        h.bank.clear();
        break;
    case Edge::Ended:
        h.payment = kPaymentPost;
        h.iban.clear();
        h.bank.clear();
        break;
    case Edge::NoLocality:
        h.village.clear();
        break;
    case Edge::OneWordName:
        h.people[0].name = h.people[0].name.section(u' ', 0, 0);
        break;
    case Edge::LongAddress:
        // Exactly as wide as the column, ending in a digit so no trailing blank is trimmed away.
        h.address = QStringLiteral(u"Str. Învăţătorului Gheorghe Ţăranu nr. %1 bl. A4 ap. ").arg(rnd.between(100, 999));
        for (int d = 1; h.address.size() < 60; ++d)
            h.address += QChar(u'0' + d % 10);
        h.address.truncate(60);
        break;
    default:
        break;
    }
    if (edge != Edge::None && edge != Edge::Rejected)
        h.highIncome = false;
}

class TableWriter
{
public:
    TableWriter(const QString &path, const QList<DbfField> &fields) : m_path(path), m_dbf(Dbf::create(path, fields)) {}

    qint64 append()
    {
        m_rec = m_dbf.appendBlank();
        return m_rec;
    }

    void set(const char *field, const QVariant &v)
    {
        auto it = m_index.constFind(field);
        if (it == m_index.constEnd()) {
            const int i = m_dbf.fieldIndex(QString::fromLatin1(field));
            if (i < 0)
                fail(QStringLiteral("%1: lipseste coloana %2").arg(m_path, QLatin1String(field)));
            it = m_index.insert(field, i);
        }
        m_dbf.setValue(m_rec, *it, v);
    }
    void money(const char *field, qint64 bani) { set(field, double(bani) / 100.0); }
    // A new record is all blanks already; only a set flag needs writing.
    void flag(const char *field, bool on)
    {
        if (on)
            set(field, QStringLiteral("X"));
    }
    void text(const char *field, const QString &v)
    {
        if (!v.isEmpty())
            set(field, v);
    }

    void close() { m_dbf.close(); }
    Dbf &dbf() { return m_dbf; }

private:
    QString m_path;
    Dbf m_dbf;
    QHash<const char *, int> m_index;
    qint64 m_rec = -1;
};

class Writer
{
public:
    Writer(const SampleGenerator::Options &o)
        : m_folder(QDir::cleanPath(o.folder)), m_rnd(o.seed), m_brackets(AidBrackets::season2022()),
          m_commune(communes[o.seed % communes.size()]),
          m_today(o.today.isValid() ? o.today : QDate::currentDate())
    {
    }

    SampleGenerator::Summary run(qint64 size)
    {
        QList<Month> months = seasonMonths(m_today);
        shareRows(months, size);
        makePopulation(months);
        try {
            writeTables(months);
            writeMonthList(months);
            writeSettings(months);
            // The tables come last: a folder holding them is a finished sample.
            for (const QString &name : RequestTables::fileNames())
                publish(name);
        } catch (...) {
            for (const QString &name : RequestTables::fileNames())
                QFile::remove(part(name));
            throw;
        }
        DurableFile::syncFolder(m_folder);
        return m_summary;
    }

private:
    QString part(const QString &name) const { return m_folder + u'/' + name + QStringLiteral(".part"); }

    void writeTables(const QList<Month> &months)
    {
        TableWriter cereri(part(RequestTables::Cereri), RequestTables::cereriFields());
        TableWriter oameni(part(RequestTables::Oameni), RequestTables::oameniFields());
        TableWriter log(part(RequestTables::Log), RequestTables::logFields());
        for (int i = 0; i < months.size(); ++i)
            if (months[i].rows > 0)
                writeMonth(months[i], i + 1 == months.size(), cereri, oameni, log);
        cereri.close();
        oameni.close();
        log.close();
    }

    void publish(const QString &name)
    {
        const QString to = m_folder + u'/' + name;
        if (::rename(QFile::encodeName(part(name)).constData(), QFile::encodeName(to).constData()) != 0)
            DurableFile::raise(to, errno, QStringLiteral("Nu pot redenumi tabela in"));
    }

    void makePopulation(const QList<Month> &months)
    {
        int most = 0;
        for (const Month &m : months)
            most = std::max(most, m.rows);
        const int pool = most + most / 4 + 8;
        // People's ages are taken at the start of the last season.
        Population people(m_rnd, m_commune, QDate(currentSeason(m_today), 11, 1));
        m_households.reserve(pool);
        for (int i = 0; i < pool; ++i)
            m_households.append(people.household());
        m_pool = pool;
        const Month &last = months.last();
        for (int i = 0; i < last.rows && i < int(std::size(kEdges)); ++i)
            applyEdge(m_households[householdOf(last, i)], kEdges[i], m_rnd);
    }

    int householdOf(const Month &m, int i) const { return (i + m.season * (m_pool / 7)) % m_pool; }

    QString status(const Household &h, Edge edge)
    {
        switch (edge) {
        case Edge::Modified: return QStringLiteral("MODIFICAT");
        case Edge::Ended: return QStringLiteral("INCETAT");
        case Edge::Rejected: return QStringLiteral("RESPINS");
        case Edge::None: break;
        default: return QStringLiteral("APROBAT");
        }
        if (h.highIncome)
            return QStringLiteral("RESPINS");
        const int d = m_rnd.between(0, 99);
        return QString::fromLatin1(d < 78 ? "APROBAT" : d < 87 ? "MODIFICAT" : d < 93 ? "INCETAT" : "RESPINS");
    }

    QList<Row> plan(const Month &m, bool last)
    {
        QList<Row> rows;
        rows.reserve(m.rows);
        for (int i = 0; i < m.rows; ++i) {
            const Edge edge = last && i < int(std::size(kEdges)) ? kEdges[i] : Edge::None;
            const int h = householdOf(m, i);
            QDate day = m.day(m_rnd.between(1, std::min(20, m.lastDay)));
            if (m.month == 11 && m_rnd.percent(30))
                day = QDate(m.year, 10, m_rnd.between(10, 31));
            rows.append(Row{h, day, status(m_households[h], edge), edge});
        }
        std::stable_sort(rows.begin(), rows.end(),
                         [](const Row &a, const Row &b) { return a.requested < b.requested; });
        return rows;
    }

    void writeMonth(const Month &m, bool last, TableWriter &cereri, TableWriter &oameni, TableWriter &log)
    {
        const QList<Row> rows = plan(m, last);
        const QDate first(m.year, m.month, 1);
        writeLog(log, std::min(first, rows.first().requested), QStringLiteral("Pornire program"));
        int disp = 0, ref = 0;
        for (int i = 0; i < rows.size(); ++i) {
            const Row &r = rows[i];
            const Household &h = m_households[r.household];
            const qint64 nrcrt = ++m_nrcrt;
            const bool approved = r.status == u"APROBAT";
            writeRequest(cereri, m, r, h, nrcrt, i + 1, ++disp, approved ? ++ref : 0);
            writeMembers(oameni, h, nrcrt);
            if (i < 10)
                writeLog(log, r.requested,
                         QStringLiteral("Adaugare Cerere %1 %2").arg(i + 1).arg(h.people[0].name));
        }
        writeLog(log, m.day(21), QStringLiteral("Numerotare Dispozitii."));
        writeLog(log, m.day(22), QStringLiteral("Recalculare cereri."));
        writeLog(log, m.day(22), QStringLiteral("Inchidere Program."));
        m_summary.months.append(m.text());
        m_lastNumbers = {rows.size() + 1, disp + 1, ref + 1};
    }

    void writeRequest(TableWriter &t, const Month &m, const Row &r, const Household &h, qint64 nrcrt, int cere,
                      int disp, int ref)
    {
        const Person &head = h.people[0];
        const int members = int(h.people.size());
        const qint64 income = h.incomeBani();
        const bool granted = r.status != u"RESPINS";
        // A few granted requests carry only supplements, and one border row nothing at all.
        const bool aid = granted && r.edge != Edge::ZeroAmounts && (r.edge != Edge::None || m_rnd.percent(95));
        const int months = 5 - m.indexInSeason;
        const int amount = m_brackets.amount(members, aid, income);

        t.append();
        t.set("NRCRT", nrcrt);
        t.set("LUNACRT", m.code());
        t.set("LUNADEC", m.code());
        t.set("TITULAR", head.name);
        t.set("CNP", head.cnp);
        t.text("LOCALIT", h.village);
        t.set("ADRESA", h.address);
        t.set("NR_MEMBRI", members);
        t.money("TVENIT", income);
        // Rounded half up to whole bani.
        t.money("VENITM", (income * 2 + members) / (2 * members));
        const auto [under14, under18] = children(h, QDate(m.year, m.month, 1));
        t.set("COPII14", under14);
        t.set("COPII18", under18);
        t.set("STCIV", h.civil);
        t.set("SITSCOL", h.school);
        t.set("SITPROF", h.occupation);
        t.set("NRCAM", h.rooms);
        t.flag("ASIG", h.insured);
        t.flag("CUAJUT", aid && amount > 0);
        if (r.edge != Edge::BlankAmounts) {
            t.set("CUANTUM", amount);
            t.set("TOTAL", amount * months);
        }
        t.set("NR_LUNI", months);
        t.set("NR_CERE", cere);
        t.set("DATACERE", r.requested);
        t.set("NR_DISP", QString::number(disp));
        t.set("DATADISP", std::min(r.requested.addDays(m_rnd.between(1, 8)), m.day(31)));
        if (ref > 0)
            t.set("NR_REF", ref);
        t.set("STATUT", r.status);
        if (r.status == u"RESPINS")
            t.set("MOTIVR", str(h.highIncome ? rejectReasons[0] : m_rnd.pick(rejectReasons)));
        else if (r.status == u"INCETAT")
            t.set("MOTIVR", str(m_rnd.pick(endReasons)));
        t.flag("CUMODIF", r.status == u"APROBAT" && r.edge == Edge::None && m_rnd.percent(4));
        t.set("MODPLATA", h.payment);
        t.text("CONT", h.iban);
        t.text("BANCA", h.bank);
        t.flag("L416", h.l416);
        t.flag("ASF", h.asf);
        writeSupplements(t, r, h, granted);
    }

    // Children under 14, and from 14 to 17, in the working month.
    static std::pair<int, int> children(const Household &h, const QDate &when)
    {
        int under14 = 0, under18 = 0;
        for (const Person &p : h.people) {
            if (qstrcmp(p.role, "copil") != 0)
                continue;
            const int age = when.year() - p.born.year() - (when < p.born.addYears(when.year() - p.born.year()) ? 1 : 0);
            ++(age < 14 ? under14 : under18);
        }
        return {under14, under18};
    }

    void writeSupplements(TableWriter &t, const Row &r, const Household &h, bool granted)
    {
        if (r.edge == Edge::BlankAmounts)
            return;
        const bool any = granted && r.edge != Edge::ZeroAmounts;
        t.set("SUMAL", any && h.solid ? kIndL : 0);
        const auto block = [&](const Supplement &s, const char *tit, const char *cnp, const char *furn,
                               const char *codcl, const char *pod, const char *suma, int lei) {
            const bool on = any && s.on;
            t.set(suma, on ? lei : 0);
            if (!s.on)
                return;
            const Person &holder = h.people[s.holder];
            t.set(tit, holder.name);
            t.set(cnp, holder.cnp);
            t.set(furn, s.supplier);
            t.set(codcl, s.client);
            if (pod)
                t.set(pod, s.pod);
        };
        block(h.gas, "TITG", "CNPG", "FURNG", "CODCLG", "PODG", "SUMAG", kIndG);
        block(h.power, "TITE", "CNPE", "FURNE", "CODCLE", "PODE", "SUMAE", kIndE);
        block(h.heat, "TITT", "CNPT", "FURNT", "CODCLT", nullptr, "SUMAT", kIndT);
    }

    void writeMembers(TableWriter &t, const Household &h, qint64 nrcrt)
    {
        for (const Person &p : h.people) {
            t.append();
            t.set("NROM", ++m_nrom);
            t.set("NRCRT", nrcrt);
            t.set("TITULAR", p.name);
            t.set("CNP", p.cnp);
            t.money("VENIT", p.incomeBani);
            t.set("CALITATE", QString::fromLatin1(p.role));
        }
        ++m_summary.requests;
        m_summary.members += h.people.size();
    }

    void writeLog(TableWriter &t, const QDate &day, const QString &action)
    {
        t.append();
        t.set("IDLOG", ++m_idlog);
        t.set("DATAL", day);
        t.set("ORA", QStringLiteral("%1:%2:%3")
                         .arg(m_rnd.between(8, 15), 2, 10, QChar(u'0'))
                         .arg(m_rnd.between(0, 59), 2, 10, QChar(u'0'))
                         .arg(m_rnd.between(0, 59), 2, 10, QChar(u'0')));
        t.set("ACTIUNE", action);
        t.set("UTILIZATOR", QStringLiteral("PRIMARIE - ana"));
        ++m_summary.logRows;
    }

    void writeMonthList(const QList<Month> &months)
    {
        QByteArray bytes;
        for (const Month &m : months)
            if (m.rows > 0)
                bytes += m.text().toLatin1() + "\r\n";
        DurableFile::save(m_folder + QStringLiteral("/Luni.lst"), bytes);
    }

    void writeSettings(const QList<Month> &months)
    {
        // Every key in one rewrite of the file.
        ProfileFile(AppFolders::settingsPath(m_folder)).update([&](ProfileText &s) { fillSettings(s, months); });
    }

    void fillSettings(ProfileText &s, const QList<Month> &months)
    {
        const QLocale c = QLocale::c();
        const auto put = [&](const char *section, const char *key, const QString &value) {
            s.setValue(QLatin1String(section), QLatin1String(key), value);
        };
        const QString cif = QString::number(4000000 + int(m_rnd.between(0, 999999)));
        put("SETARI", "Localitate", str(m_commune.name));
        put("SETARI", "TipLocalitate", QStringLiteral("0"));
        put("SETARI", "CodFiscal", cif + QString::number(PersonalCodes::cifControlDigit(cif)));
        put("SETARI", "CodJud", QString::number(m_commune.countyCode));
        put("SETARI", "Judet", QLatin1String(m_commune.county));
        put("SETARI", "Primar", signatory());
        put("SETARI", "Secretar", signatory());
        put("SETARI", "Intocmit", signatory());
        put("SETARI", "Contabil", signatory());
        put("SETARI", "Director", signatory());
        put("SETARI", "CuOLE", QStringLiteral("NU"));
        for (int i = 0; i < 11; ++i)
            put("CONSTANTE", qPrintable(QStringLiteral("Lim%1").arg(i + 1)), c.toString(m_brackets.lim[i]));
        for (int i = 0; i < 11; ++i)
            put("CONSTANTE", qPrintable(QStringLiteral("Cu%1").arg(i + 1)), c.toString(m_brackets.cu[i]));
        put("CONSTANTE", "IndL", c.toString(kIndL));
        put("CONSTANTE", "IndG", c.toString(kIndG));
        put("CONSTANTE", "IndT", c.toString(kIndT));
        put("CONSTANTE", "IndE", c.toString(kIndE));
        put("CONSTANTE", "IndE2", c.toString(kIndE2));
        put("INDEX", "NRCRT", QString::number(m_nrcrt + 1));
        put("INDEX", "NROM", QString::number(m_nrom + 1));
        put("INDEX", "IDLOG", QString::number(m_idlog + 1));
        put("INDEX", "NR_CERE", QString::number(m_lastNumbers[0]));
        put("INDEX", "NR_DISP", QString::number(m_lastNumbers[1]));
        put("INDEX", "NR_REF", QString::number(m_lastNumbers[2]));
        put("CONST", "Lansat", QStringLiteral("NU"));
        // Packed as of the end of the last month, not of the day the sample is made.
        put("CONST", "LASTPACK", QString::number(kDateOrigin.daysTo(months.last().day(31)) / 7));
    }

    QString signatory()
    {
        const bool male = m_rnd.percent(50);
        QString given = str(male ? m_rnd.pick(menNames) : m_rnd.pick(womenNames));
        QString family = str(m_rnd.pick(surnames));
        // Signatures are written as names, not in the register's capitals.
        return given.left(1) + given.mid(1).toLower() + u' ' + family.left(1) + family.mid(1).toLower();
    }

    QString m_folder;
    SampleRandom m_rnd;
    AidBrackets m_brackets;
    const Commune &m_commune;
    QDate m_today;
    QList<Household> m_households;
    int m_pool = 0;
    qint64 m_nrcrt = 0, m_nrom = 0, m_idlog = 0;
    std::array<qsizetype, 3> m_lastNumbers{1, 1, 1};
    SampleGenerator::Summary m_summary;
};

} // namespace

SampleGenerator::Summary SampleGenerator::generate(const Options &options)
{
    if (options.size < 1 || options.size > MaxSize)
        fail(QStringLiteral("Numarul de cereri trebuie sa fie intre 1 si %1").arg(MaxSize));
    const QString folder = QDir::cleanPath(options.folder);
    if (options.folder.trimmed().isEmpty() || !QDir().mkpath(folder))
        fail(QStringLiteral("Nu pot crea directorul %1").arg(QDir::toNativeSeparators(folder)));
    for (const QString &name : RequestTables::fileNames())
        if (QFile::exists(Dbf::resolve(folder + u'/' + name)))
            fail(QStringLiteral("Directorul %1 contine deja %2; datele existente nu se suprascriu.")
                     .arg(QDir::toNativeSeparators(folder), name));
    try {
        return Writer(options).run(options.size);
    } catch (const DbfError &e) {
        fail(QString::fromUtf8(e.what()));
    } catch (const FileWriteError &e) {
        fail(QString::fromUtf8(e.what()));
    }
}
