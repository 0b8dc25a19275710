#include "agencies/SupplementAnnexes.h"

#include "agencies/AnnexRun.h"
#include "agencies/SupplierNames.h"
#include "core/CommandGuard.h"
#include "core/Contor.h"
#include "core/Form1.h"
#include "documents/ExpXLSOLE.h"
#include "platform/db/Dbf.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestRules.h"
#include "tables/SupplementKinds.h"
#include "platform/sql/Money.h"

#include <QFile>
#include <QHash>
#include <QLabel>
#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <map>

namespace {

const std::array<SupplementAnnexes::List, 4> Lists = {{
    {14, "TITULAR, CNP, LOCALIT+\" \"+ADRESA AS ADRESA, A.NR_DISP, VENITM, CODCLT, SUMAT", "SUMAT"},
    {15, "TITULAR, CNP, LOCALIT+\" \"+ADRESA AS ADRESA, A.NR_DISP, NR_MEMBRI, VENITM, FURNG, CODCLG, PODG, SUMAG", "SUMAG"},
    {16, "TITULAR, CNP, LOCALIT+\" \"+ADRESA AS ADRESA, A.NR_DISP, NR_MEMBRI, VENITM, FURNE, CODCLE, PODE, SUMAE", "SUMAE"},
    {17, "TITULAR, CNP, LOCALIT+\" \"+ADRESA AS ADRESA, A.NR_DISP, NR_MEMBRI, VENITM, SUMAL", "SUMAL"},
}};

// How the annexes name each supplement kind.
struct Kind
{
    SupplementKind columns;
    const char *suffix, *text;
};

const std::array<Kind, 4> Kinds = {{
    {SupplementKinds::SolidFuel, "_Lemne", "Combustibili solizi/petrolieri"},
    {SupplementKinds::Gas, "_Gaz", "Gaze naturale"},
    {SupplementKinds::Electricity, "_Electrica", "Energie electrica"},
    {SupplementKinds::Thermal, "_Termica", "Energie termica"},
}};

void step(const QString &text)
{
    Contor().Descr->setText(text);
    Contor().Pas();
}

} // namespace

const SupplementAnnexes::List &SupplementAnnexes::list(int annex)
{
    return Lists[size_t(annex - 14)];
}

void SupplementAnnexes::openList(AnnexRun &run, const List &list)
{
    TQuery &q = run.query;
    q.SQL() = QStringList{QStringLiteral("SELECT ") + QLatin1String(list.select), run.office.dataPath()}
              + run.office.join(run.ajvps)
              + QStringList{QStringLiteral("WHERE LUNACRT=%1").arg(run.office.month),
                            QStringLiteral("AND ") + RequestRules::approved() + QStringLiteral(" AND ") + QLatin1String(list.amount)
                                + QStringLiteral(">0"),
                            QStringLiteral("ORDER BY TITULAR")};
    q.Open();
}

void SupplementAnnexes::supplementLists(AnnexRun &run)
{
    TExpXLSOLE &x = run.book.filler();
    for (const List &list : Lists) {
        const QString name = QStringLiteral("Anexa%1.xls").arg(list.annex);
        if (list.annex == 14)
            Contor().Descr->setText(QStringLiteral(" Generez Anexa 14..."));
        else
            step(QStringLiteral(" Generez Anexa %1...").arg(list.annex));
        const auto done = qScopeGuard([&run] { CommandGuard::release(run.query); });
        openList(run, list);
        run.book.openFile(Dbf::resolve(QDir(Form1().DataDir()).filePath(name)));
        const int sheets = (list.annex == 15 || list.annex == 16) ? x.XCell.SheetCount() : 1;
        for (int s = 1; s <= sheets; ++s) {
            x.XCell.SetActiveSheet(s);
            run.book.listTags(run.office);
            x.FillFromDataSet(run.query);
        }
        x.XCell.SetActiveSheet(1);
        run.book.saveAs(run.file(name));
    }
}

namespace {

// cells[code][b][single] of one energy kind: counts (annex 23) and cents (24)
// of the months listed.
using KindCells = std::map<int, std::array<std::array<qint64, 2>, 12>>;

struct KindTotals
{
    bool any = false; // the kind has requests in some month, inside the period or not
    KindCells counts, cents;
};

// One pass over the kind's requests of the period gives both annexes' cells.
KindTotals kindTotals(AnnexRun &run, const Kind &kind, const std::vector<int> &codes)
{
    TQuery &q = run.query;
    const auto done = qScopeGuard([&q] { CommandGuard::release(q); });
    const QString amount = QLatin1String(kind.columns.amount);
    const QStringList select = {QStringLiteral("SELECT LUNACRT, NR_MEMBRI, VENITM, ") + amount, run.office.dataPath(),
                                QStringLiteral("WHERE ") + RequestRules::notRefused(), QStringLiteral("AND ") + amount + QStringLiteral(">0")};
    KindTotals t;
    for (int code : codes)
        t.counts[code] = t.cents[code] = {};
    // Rows outside the period have no cell; only whether there are any counts.
    q.SQL() = select + QStringList{QStringLiteral("AND LUNACRT>=%1 AND LUNACRT<=%2").arg(run.period.start).arg(run.period.end)};
    q.Open();
    t.any = !q.IsEmpty();
    TField *month = q.FieldByName(QStringLiteral("LUNACRT"));
    TField *members = q.FieldByName(QStringLiteral("NR_MEMBRI"));
    TField *venit = q.FieldByName(QStringLiteral("VENITM"));
    TField *value = q.FieldByName(amount);
    for (q.First(); !q.Eof(); q.Next()) {
        const auto it = t.counts.find(month->AsInteger());
        if (it == t.counts.end())
            continue;
        auto &cents = t.cents[it->first];
        const int n = members->AsInteger();
        const double v = venit->AsFloat();
        const qint64 c = Money::cents(value->AsFloat());
        for (int b = 1; b <= IncomeBrackets::Count; ++b)
            if (run.brackets.contains(b, v, n)) {
                it->second[b][n == 1 ? 1 : 0] += 1;
                cents[b][n == 1 ? 1 : 0] += c;
            }
    }
    if (!t.any) {
        q.Close();
        q.SQL() = select;
        q.Open();
        t.any = !q.IsEmpty();
    }
    return t;
}

} // namespace

void SupplementAnnexes::annex23And24(AnnexRun &run)
{
    TExpXLSOLE &x = run.book.filler();
    TQuery &q = run.query;
    // The months of the period that have requests; the others keep the template's cells.
    q.SQL() = {QStringLiteral("SELECT DISTINCT LUNACRT"), run.office.dataPath(),
               QStringLiteral("WHERE LUNACRT>=%1 AND LUNACRT<=%2").arg(run.period.start).arg(run.period.end),
               QStringLiteral("ORDER BY LUNACRT")};
    q.Open();
    std::vector<int> codes;
    for (q.First(); !q.Eof(); q.Next())
        codes.push_back(q.FieldByName(QStringLiteral("LUNACRT"))->AsInteger());
    q.Close();

    std::vector<KindTotals> totals;
    for (const Kind &kind : Kinds)
        totals.push_back(kindTotals(run, kind, codes));
    for (int annex : {23, 24}) {
        step(QStringLiteral("Fac Anexa %1...").arg(annex));
        for (size_t k = 0; k < Kinds.size(); ++k) {
            const Kind &kind = Kinds[k];
            if (!totals[k].any)
                continue;
            run.book.openResource(QStringLiteral("Anexa%1").arg(annex), QStringLiteral("Anx%1").arg(annex));
            x.ReplaceTag(QStringLiteral("[UAT]"), run.office.uat);
            x.ReplaceTag(QStringLiteral("[INTOCMIT]"), run.office.intocmit);
            x.ReplaceTag(QStringLiteral("[TIPS]"), QString::fromLatin1(kind.text));
            for (const auto &[code, values] : annex == 23 ? totals[k].counts : totals[k].cents) {
                const int m = code % 12 + 1;
                for (int b = 1; b <= IncomeBrackets::Count; ++b)
                    for (int single = 0; single < 2; ++single) {
                        if (!run.brackets.has(b, single ? IncomeBrackets::Household::Single : IncomeBrackets::Household::Family))
                            continue;
                        const qint64 v = values[b][single];
                        x.SetCell(2 * m + 7 + single, b + 3, annex == 23 ? QVariant(int(v)) : QVariant(double(v) / 100.0));
                    }
            }
            run.book.saveAs(run.file(QStringLiteral("Anexa%1%2.xls").arg(annex).arg(QLatin1String(kind.suffix))));
        }
    }
}

void SupplementAnnexes::annex25(AnnexRun &run)
{
    step(QStringLiteral("Fac Anexa 25..."));
    TExpXLSOLE &x = run.book.filler();
    TQuery &q = run.query;
    struct Holder { QString name, cnp; qint64 cents = 0; };
    // Suppliers by their trimmed, case-blind name; holders by name and code.
    QStringList spellings;
    QHash<QString, int> supplierOf;
    std::vector<std::map<std::pair<QString, QString>, qint64>> holders;
    for (const Kind &kind : Kinds) {
        const QString supplier = kind.columns.supplier ? QLatin1String(kind.columns.supplier) : QStringLiteral("\"Suplimente Lemne\"");
        q.SQL() = {QStringLiteral("SELECT %1 AS FURN, TITULAR, CNP, %2 AS SUMA").arg(supplier, QLatin1String(kind.columns.amount)),
                   run.office.dataPath(), QStringLiteral("WHERE LUNACRT=%1").arg(run.office.month),
                   QStringLiteral("AND ") + RequestRules::notRefused(), QStringLiteral("AND ") + QLatin1String(kind.columns.amount) + QStringLiteral(">0")};
        q.Open();
        TField *furn = q.FieldByName(QStringLiteral("FURN"));
        TField *name = q.FieldByName(QStringLiteral("TITULAR"));
        TField *cnp = q.FieldByName(QStringLiteral("CNP"));
        TField *suma = q.FieldByName(QStringLiteral("SUMA"));
        for (q.First(); !q.Eof(); q.Next()) {
            const qint64 cents = Money::cents(suma->AsFloat());
            if (cents == 0)
                continue;
            const QString key = SupplierNames::Key(furn->AsString());
            auto it = supplierOf.find(key);
            if (it == supplierOf.end()) {
                it = supplierOf.insert(key, int(spellings.size()));
                spellings.append(furn->AsString().trimmed());
                holders.emplace_back();
            }
            holders[size_t(*it)][{name->AsString().left(32), cnp->AsString()}] += cents;
        }
        q.Close();
    }

    // One table of every holder, the supplier's number beside, filtered per supplier.
    const QString table = Form1().TempFileName(QStringLiteral("A25"), QStringLiteral(".dbf"));
    const auto done = qScopeGuard([&q, &table] {
        CommandGuard::release(q);
        QFile::remove(table);
    });
    {
        Dbf t = Dbf::create(table, {{QStringLiteral("NRF"), 'N', 6, 0}, {QStringLiteral("SUBSEMN"), 'C', 32, 0},
                                    {QStringLiteral("CNP"), 'C', 13, 0}, {QStringLiteral("SUMAT"), 'N', 12, 2}});
        for (size_t f = 0; f < holders.size(); ++f)
            for (const auto &[holder, cents] : holders[f])
                t.setValues(t.appendBlank(), {{0, int(f)}, {1, holder.first}, {2, holder.second}, {3, double(cents) / 100.0}});
        t.close();
    }
    q.SQL() = {QStringLiteral("SELECT NRF, SUBSEMN, CNP, SUMAT FROM ") + SqlQuote::table(table),
               QStringLiteral("ORDER BY NRF, SUBSEMN")};
    q.Open();

    std::vector<int> order(size_t(spellings.size()));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return SupplierNames::Key(spellings[a]) < SupplierNames::Key(spellings[b]);
    });
    QStringList sorted;
    for (int f : order)
        sorted.append(spellings[f]);
    const QStringList files = SupplierNames::DistinctFileNames(sorted);
    for (size_t i = 0; i < order.size(); ++i) {
        q.SetFilter(QStringLiteral("NRF=%1").arg(order[i]));
        q.SetFiltered(true);
        run.book.openResource(QStringLiteral("Anexa25"), QStringLiteral("Anx25"));
        x.ReplaceTag(QStringLiteral("[JUDET]"), run.office.countyText);
        x.ReplaceTag(QStringLiteral("[LOCALIT]"), run.office.uat);
        x.ReplaceTag(QStringLiteral("[LUNA]"), run.office.monthText);
        x.ReplaceTag(QStringLiteral("[FURNIZOR]"), sorted[int(i)]);
        x.FillFromDataSet(q);
        run.book.saveAs(run.file(QStringLiteral("Anexa25_") + files[int(i)] + QStringLiteral(".xls")));
    }
}

void SupplementAnnexes::firstSheetOnly(TExpXLSOLE &filler)
{
    while (filler.XCell.SheetCount() > 1) {
        filler.XCell.SetActiveSheet(2);
        filler.XCell.DeleteSheets(1);
    }
    filler.XCell.SetActiveSheet(1);
}
