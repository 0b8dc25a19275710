#include "agencies/BeneficiaryAnnexes.h"

#include "agencies/AnnexRun.h"
#include "core/CommandGuard.h"
#include "core/Form1.h"
#include "documents/ExpXLSOLE.h"
#include "platform/db/Dbf.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestRules.h"
#include "platform/sql/Money.h"

#include <QFile>
#include <QHash>
#include <QScopeGuard>

#include <array>

namespace {

QString period(const AnnexRun &run, const QString &endOp)
{
    return QStringLiteral("AND LUNACRT>=%1 AND LUNACRT%2%3").arg(run.period.start).arg(endOp).arg(run.period.end);
}

// Household column of annex 21: 1..4 families of 2..5, 5 larger, 6 single; 0 none.
int householdColumn(int members)
{
    if (members == 1)
        return 6;
    if (members >= 2 && members <= 5)
        return members - 1;
    return members > 5 ? 5 : 0;
}

} // namespace

void BeneficiaryAnnexes::annex13And21(AnnexRun &run)
{
    TExpXLSOLE &x = run.book.filler();
    TQuery &q = run.query;
    run.book.openResource(QStringLiteral("AJPIS"), QStringLiteral("AJPIS"));
    q.SQL() = QStringList{QStringLiteral("SELECT TITULAR, CNP, LOCALIT+\" \"+ADRESA AS ADRESA, A.NR_DISP, NR_MEMBRI, "
                                         "VENITM, NR_LUNI, CUANTUM"),
                          run.office.dataPath()}
              + run.office.join(run.ajvps)
              + QStringList{QStringLiteral("WHERE ") + RequestRules::approved() + QStringLiteral(" AND TOTAL>0"),
                            period(run, QStringLiteral("<=")), QStringLiteral("ORDER BY NR_LUNI, TITULAR")};
    const auto done = qScopeGuard([&q] { CommandGuard::release(q); });
    q.Open();

    // Every list sheet carries the office's tags.
    for (int s = 1; s <= 5; ++s) {
        x.SelectSheet(s);
        run.book.officeTags(run.office);
        q.SetFilter(QStringLiteral("NR_LUNI=%1").arg(6 - s));
        q.SetFiltered(true);
        x.FillFromDataSet(q);
    }
    q.SetFiltered(false);

    // counts[m][b][c]: months 1..5, brackets 1..11, household columns 1..6
    std::array<std::array<std::array<int, 7>, 12>, 6> counts{};
    TField *months = q.FieldByName(QStringLiteral("NR_LUNI"));
    TField *venit = q.FieldByName(QStringLiteral("VENITM"));
    TField *members = q.FieldByName(QStringLiteral("NR_MEMBRI"));
    for (q.First(); !q.Eof(); q.Next()) {
        const int m = months->AsInteger();
        const int n = members->AsInteger();
        const int c = householdColumn(n);
        if (m < 1 || m > 5 || c == 0)
            continue;
        const double v = venit->AsFloat();
        for (int b = 1; b <= IncomeBrackets::Count; ++b)
            if (run.brackets.contains(b, v, n))
                ++counts[m][b][c];
    }
    x.SelectSheet(6);
    x.ReplaceTag(QStringLiteral("[UAT]"), run.office.uat);
    x.ReplaceTag(QStringLiteral("[INTOCMIT]"), run.office.intocmit);
    for (int m = 5; m >= 1; --m)
        for (int b = 1; b <= IncomeBrackets::Count; ++b)
            for (int c = 1; c <= 6; ++c) {
                if ((b == 10 && c == 6) || (b == 11 && c < 6))
                    continue;
                x.SetCell(5 * b + 7 - m, c + 4, counts[m][b][c]);
            }
    x.SelectSheet(1);
    run.book.saveAs(run.file(QStringLiteral("Anexa13_21.xls")));
}

void BeneficiaryAnnexes::annex13Cumulated(AnnexRun &run)
{
    TExpXLSOLE &x = run.book.filler();
    TQuery &q = run.query;
    run.book.openResource(QStringLiteral("Anexa13"), QStringLiteral("Anx13C"));
    run.book.officeTags(run.office);
    run.book.monthTags(run.office.monthText);

    const QString table = Form1().TempFileName(QStringLiteral("A13Tmp"), QStringLiteral(".dbf"));
    const auto done = qScopeGuard([&q, &table] {
        CommandGuard::release(q);
        QFile::remove(table);
    });
    const QString quoted = SqlQuote::table(table);
    // ADRESA holds LOCALIT, a blank and ADRESA: 60 + 1 + 60.
    q.SQL() = {QStringLiteral("CREATE TABLE ") + quoted,
               QStringLiteral("(TITULAR CHAR(32), CNP CHAR(13), ADRESA CHAR(121), NR_DISP CHAR(27), NR_MEMBRI DECIMAL(6,0),"),
               QStringLiteral("VENITM DECIMAL(10,2), CUANTUM DECIMAL(10,2), TOTAL DECIMAL(10,2))")};
    q.ExecSQL();
    q.SQL() = QStringList{QStringLiteral("INSERT INTO ") + quoted,
                          QStringLiteral("(TITULAR, CNP, ADRESA, NR_DISP, NR_MEMBRI, VENITM, CUANTUM, TOTAL)"),
                          QStringLiteral("SELECT TITULAR, CNP, LOCALIT+\" \"+ADRESA, A.NR_DISP, NR_MEMBRI, VENITM, CUANTUM, TOTAL"),
                          run.office.dataPath()}
              + run.office.join(run.ajvps)
              + QStringList{QStringLiteral("WHERE LUNACRT=%1").arg(run.office.month), QStringLiteral("AND ") + RequestRules::approved()};
    q.ExecSQL();

    // The earliest earlier month of the period gives a code its amounts.
    q.SQL() = {QStringLiteral("SELECT LUNACRT, CNP, NR_LUNI, CUANTUM, TOTAL"), run.office.dataPath(),
               QStringLiteral("WHERE ") + RequestRules::approved() + QStringLiteral(" AND TOTAL>0"),
               QStringLiteral("AND LUNACRT>=%1 AND LUNACRT<%2").arg(run.period.start).arg(run.office.month),
               QStringLiteral("ORDER BY LUNACRT,CNP")};
    q.Open();
    QHash<QString, std::pair<double, double>> earliest;
    TField *cnp = q.FieldByName(QStringLiteral("CNP"));
    TField *cuantum = q.FieldByName(QStringLiteral("CUANTUM"));
    TField *total = q.FieldByName(QStringLiteral("TOTAL"));
    for (q.First(); !q.Eof(); q.Next())
        if (!earliest.contains(cnp->AsString()))
            earliest.insert(cnp->AsString(), {cuantum->AsFloat(), total->AsFloat()});
    q.Close();

    {
        Dbf t = Dbf::open(table, Dbf::Mode::ReadWrite);
        const int fc = t.fieldIndex(u"CNP"), fq = t.fieldIndex(u"CUANTUM"), ft = t.fieldIndex(u"TOTAL");
        for (qint64 rec = 0; rec < t.recordCount(); ++rec) {
            if (t.number(rec, ft) >= 1)
                continue;
            const auto it = earliest.constFind(t.text(rec, fc));
            if (it != earliest.constEnd())
                t.setValues(rec, {{fq, it->first}, {ft, it->second}});
        }
        t.close();
    }
    q.SQL() = {QStringLiteral("SELECT * FROM ") + quoted + QStringLiteral(" ORDER BY TITULAR")};
    q.Open();
    x.FillFromDataSet(q);
    run.book.saveAs(run.file(QStringLiteral("Anexa13_Cumulat.xls")));
}

void BeneficiaryAnnexes::annex22(AnnexRun &run)
{
    TExpXLSOLE &x = run.book.filler();
    TQuery &q = run.query;
    run.book.openResource(QStringLiteral("Anexa22"), QStringLiteral("Anx22"));
    x.ReplaceTag(QStringLiteral("[INTOCMIT]"), run.office.intocmit);
    x.ReplaceTag(QStringLiteral("[UAT]"), run.office.localityType + u' ' + run.office.uat);
    q.SQL() = {QStringLiteral("SELECT CUANTUM, NR_LUNI, NR_MEMBRI, VENITM, TOTAL"), run.office.dataPath(),
               QStringLiteral("WHERE ") + RequestRules::approved() + QStringLiteral(" AND TOTAL>0"), period(run, QStringLiteral("<=")),
               QStringLiteral("ORDER BY CUANTUM, NR_LUNI, NR_MEMBRI")};
    const auto done = qScopeGuard([&q] { CommandGuard::release(q); });
    q.Open();

    // sums[b][m][single]: a request counts under every bracket of its amount.
    std::array<std::array<std::array<qint64, 2>, 6>, 12> sums{};
    TField *cuantum = q.FieldByName(QStringLiteral("CUANTUM"));
    TField *months = q.FieldByName(QStringLiteral("NR_LUNI"));
    TField *members = q.FieldByName(QStringLiteral("NR_MEMBRI"));
    TField *total = q.FieldByName(QStringLiteral("TOTAL"));
    for (q.First(); !q.Eof(); q.Next()) {
        const int m = months->AsInteger();
        const int n = members->AsInteger();
        if (m < 1 || m > 5 || n < 1)
            continue;
        const int single = n == 1 ? 1 : 0;
        const qint64 amount = Money::cents(cuantum->AsFloat());
        const qint64 cents = Money::cents(total->AsFloat());
        for (int b = 1; b <= IncomeBrackets::Count; ++b)
            if (amount == Money::cents(run.office.amounts[b - 1]))
                sums[b][m][single] += cents;
    }
    for (int b = 1; b <= IncomeBrackets::Count; ++b)
        for (int m = 5; m >= 1; --m) {
            if (b != 11)
                x.SetCell(5 * b + 8 - m, 5 + 2 * (5 - m), double(sums[b][m][0]) / 100.0);
            if (b != 10)
                x.SetCell(5 * b + 8 - m, 6 + 2 * (5 - m), double(sums[b][m][1]) / 100.0);
        }
    run.book.saveAs(run.file(QStringLiteral("Anexa22.xls")));
}
