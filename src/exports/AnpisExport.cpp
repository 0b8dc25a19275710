#include "exports/AnpisExport.h"

#include "core/Contor.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/MonthCode.h"
#include "core/NumericF.h"
#include "platform/io/DurableDevice.h"
#include "exports/XmlOut.h"
#include "tables/RequestTables.h"
#include "tables/SupplementKinds.h"
#include "platform/shell/Shell.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "platform/sql/Money.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QString Title = QStringLiteral("Export ANPIS");

struct Member
{
    qint64 request;
    QString cnp, name, role, venit;
    double venitValue;
};

// The members grouped by request, each group in the order of the query.
class Members
{
public:
    explicit Members(TDataSet &rows)
    {
        TField *nrcrt = rows.FieldByName(QStringLiteral("NRCRT"));
        TField *cnp = rows.FieldByName(QStringLiteral("CNP"));
        TField *name = rows.FieldByName(QStringLiteral("TITULAR"));
        TField *role = rows.FieldByName(QStringLiteral("CALITATE"));
        TField *venit = rows.FieldByName(QStringLiteral("VENIT"));
        m_rows.reserve(rows.RecordCount());
        for (rows.First(); !rows.Eof(); rows.Next())
            if (!nrcrt->IsNull())
                m_rows.push_back({std::llround(nrcrt->AsFloat()), cnp->AsString(), name->AsString(), role->AsString(), venit->AsString(),
                                  venit->AsFloat()});
        std::stable_sort(m_rows.begin(), m_rows.end(),
                         [](const Member &a, const Member &b) { return a.request < b.request; });
    }

    std::pair<const Member *, const Member *> of(qint64 request) const
    {
        const auto range = std::equal_range(m_rows.begin(), m_rows.end(), Member{request, {}, {}, {}, {}, 0},
                                            [](const Member &a, const Member &b) { return a.request < b.request; });
        return {m_rows.data() + (range.first - m_rows.begin()), m_rows.data() + (range.second - m_rows.begin())};
    }

private:
    std::vector<Member> m_rows;
};

// One energy supplement of a request as the file names it: its consumption
// point goes in codabonat, its client code in codloc.
struct Supplement
{
    const char *tipaj;
    SupplementKind kind;
};

// Solid fuel, electricity, gas, thermal energy: the order of the file.
const Supplement Supplements[] = {
    {"lemne", SupplementKinds::SolidFuel},
    {"electric", SupplementKinds::Electricity},
    {"gaz", SupplementKinds::Gas},
    {"termica", SupplementKinds::Thermal},
};

// The request fields the file reads, looked up once.
struct RequestFields
{
    explicit RequestFields(const TDataSet &d) : d(d)
    {
        for (const Supplement &s : Supplements)
            supplements.push_back({QLatin1String(s.tipaj), at(s.kind.amount), at(s.kind.cnp), at(s.kind.supplier),
                                   at(s.kind.point), at(s.kind.clientCode)});
    }
    TField *at(const char *name) const { return name ? d.FieldByName(QLatin1String(name)) : nullptr; }

    struct Resolved
    {
        QString tipaj;
        TField *amount, *cnp, *furnizor, *codabonat, *codloc;
    };

    const TDataSet &d;
    TField *NRCRT = at("NRCRT"), *NR_CERE = at("NR_CERE"), *DATACERE = at("DATACERE"), *CNP = at("CNP"),
           *TITULAR = at("TITULAR"), *COPII14 = at("COPII14"), *COPII18 = at("COPII18"),
           *NR_MEMBRI = at("NR_MEMBRI"), *LOCALIT = at("LOCALIT"), *ADRESA = at("ADRESA"), *NRCAM = at("NRCAM"),
           *TVENIT = at("TVENIT"), *VENITM = at("VENITM"), *NR_DISP = at("NR_DISP"), *DATADISP = at("DATADISP"),
           *TOTAL = at("TOTAL"), *STCIV = at("STCIV"), *SITPROF = at("SITPROF");
    std::vector<Resolved> supplements;
};

class Writer
{
public:
    Writer(QIODevice &out, const AnpisExport::Office &office, TDataSet &requests, const Members &members)
        : x(&out), m_office(office), m_requests(requests), m_members(members), r(requests)
    {
    }

    void run()
    {
        x.declaration("UTF-8");
        x.start(QStringLiteral("date"));
        x.attr(QStringLiteral("judet"), m_office.judet);
        x.attr(QStringLiteral("cifuat"), m_office.cifuat);
        x.attr(QStringLiteral("primaria"), m_office.primaria);
        x.attr(QStringLiteral("nrCereri"), qint64(m_requests.RecordCount()));
        x.attr(QStringLiteral("anul"), m_office.month.mid(3, 4));
        x.attr(QStringLiteral("luna"), m_office.month.left(2));
        const int code = MonthCode::index(m_office.month);
        // January's previous month is 12.
        m_previousMonth = QStringLiteral("%1").arg((code + 11) % 12 + 1, 2, 10, QChar(u'0'));
        qint64 n = 0;
        for (m_requests.First(); !m_requests.Eof(); m_requests.Next())
            request(++n);
        x.finish();
    }

private:
    static QString v(TField *field) { return field ? field->AsString() : QString(); }

    void attrs(std::initializer_list<std::pair<QString, QString>> list)
    {
        for (const auto &[name, value] : list)
            x.attr(name, value);
    }

    void request(qint64 n)
    {
        const QString empty;
        const QString datacere = v(r.DATACERE);
        const qint64 children = Money::wholeHalfEven(r.COPII14->AsFloat()) + Money::wholeHalfEven(r.COPII18->AsFloat());
        x.start(QStringLiteral("cereri"));
        x.attr(QStringLiteral("idCerere"), n);
        attrs({{QStringLiteral("nrinreg"), v(r.NR_CERE)}, {QStringLiteral("datareg"), datacere},
               {QStringLiteral("cnpt"), v(r.CNP)},        {QStringLiteral("titcont"), v(r.TITULAR)},
               {QStringLiteral("iban"), empty},           {QStringLiteral("banca"), empty},
               {QStringLiteral("datacer"), datacere}});
        x.attr(QStringLiteral("nrcop"), children);
        x.attr(QStringLiteral("nrmaj"), Money::wholeHalfEven(r.NR_MEMBRI->AsFloat()) - children);
        address();
        x.start(QStringLiteral("cereriAprb"));
        attrs({{QStringLiteral("nrmembri"), v(r.NR_MEMBRI)}, {QStringLiteral("vt"), v(r.TVENIT)},
               {QStringLiteral("vm"), v(r.VENITM)}});
        x.end();
        rights();
        persons();
        x.start(QStringLiteral("venituri"));
        attrs({{QStringLiteral("lunav"), m_previousMonth}, {QStringLiteral("vt"), v(r.TVENIT)}});
        x.start(QStringLiteral("venituriC"));
        attrs({{QStringLiteral("codv"), QStringLiteral("31")}, {QStringLiteral("sumav"), v(r.TVENIT)}});
        x.end();
        x.end();
        x.end();
    }

    void address()
    {
        const QString empty;
        x.start(QStringLiteral("cereriAdr"));
        attrs({{QStringLiteral("localitate"), v(r.LOCALIT)},
               {QStringLiteral("strada"), v(r.ADRESA)},
               {QStringLiteral("numar"), empty},
               {QStringLiteral("bl"), empty},
               {QStringLiteral("sc"), empty},
               {QStringLiteral("et"), empty},
               {QStringLiteral("ap"), empty},
               {QStringLiteral("sector"), empty},
               {QStringLiteral("email"), empty},
               {QStringLiteral("telefon"), empty},
               {QStringLiteral("modloc"), QStringLiteral("casa cu curte")},
               {QStringLiteral("nrcam"), v(r.NRCAM)},
               {QStringLiteral("rjloc"), QStringLiteral("proprietate personala")},
               {QStringLiteral("provloc"), QStringLiteral("mostenire")},
               {QStringLiteral("tiploc"), QStringLiteral("TIP B")}});
        x.end();
    }

    void rights()
    {
        const QString empty;
        const QString nrdisp = v(r.NR_DISP), datadisp = v(r.DATADISP);
        x.start(QStringLiteral("drepturi"));
        x.start(QStringLiteral("drepturiAI"));
        attrs({{QStringLiteral("cnpctr"), v(r.CNP)},
               {QStringLiteral("tipaj"), QStringLiteral("lemne")},
               {QStringLiteral("furnizor"), empty},
               {QStringLiteral("codabonat"), empty},
               {QStringLiteral("codloc"), empty},
               {QStringLiteral("procent"), XmlOut::number(r.TOTAL->AsFloat() / m_office.cu1 * 100)},
               {QStringLiteral("valref"), v(r.TOTAL)},
               {QStringLiteral("nrdisp"), nrdisp},
               {QStringLiteral("datadisp"), datadisp}});
        x.end();
        for (const RequestFields::Resolved &s : r.supplements) {
            if (Money::wholeHalfEven(s.amount->AsFloat()) <= 0)
                continue;
            x.start(QStringLiteral("drepturiSup"));
            attrs({{QStringLiteral("cnpctr"), v(s.cnp)},
                   {QStringLiteral("tipaj"), s.tipaj},
                   {QStringLiteral("furnizor"), v(s.furnizor)},
                   {QStringLiteral("codabonat"), v(s.codabonat)},
                   {QStringLiteral("codloc"), v(s.codloc)},
                   {QStringLiteral("suma"), v(s.amount)},
                   {QStringLiteral("nrdisp"), nrdisp},
                   {QStringLiteral("datadisp"), datadisp}});
            x.end();
        }
        x.end();
    }

    void persons()
    {
        const auto [first, last] = r.NRCRT->IsNull() ? std::pair<const Member *, const Member *>{}
                                                     : m_members.of(std::llround(r.NRCRT->AsFloat()));
        qint64 income = 0;
        for (const Member *m = first; m != last; ++m)
            income += Money::wholeHalfEven(m->venitValue);
        x.start(QStringLiteral("persoane"));
        x.attr(QStringLiteral("nrpersoane"), qint64(last - first));
        x.attr(QStringLiteral("venitpers"), income);
        for (const Member *m = first; m != last; ++m)
            person(*m);
        x.end();
    }

    void person(const Member &m)
    {
        const qsizetype blank = m.name.indexOf(u' ');
        // Only the applicant, written exactly so, carries the household's civil and work status.
        const bool applicant = m.role == u"beneficiar";
        x.start(QStringLiteral("persoaneM"));
        attrs({{QStringLiteral("cnp"), m.cnp},
               {QStringLiteral("nume"), blank < 0 ? QString() : m.name.left(blank)},
               {QStringLiteral("prenume"), blank < 0 ? m.name : m.name.mid(blank + 1)},
               {QStringLiteral("tipci"), QStringLiteral("CI")},
               {QStringLiteral("serie"), QStringLiteral(".")},
               {QStringLiteral("nrci"), QStringLiteral(".")},
               {QStringLiteral("elibci"), QStringLiteral("SPCLEP")}});
        if (applicant)
            attrs({{QStringLiteral("stareciv"), v(r.STCIV)}, {QStringLiteral("sprof"), v(r.SITPROF)}});
        attrs({{QStringLiteral("hand"), QStringLiteral("NU")},
               {QStringLiteral("reltit"), applicant ? QStringLiteral("Titular") : m.role},
               {QStringLiteral("venit"), m.venit}});
        x.end();
    }

    XmlOut x;
    const AnpisExport::Office &m_office;
    TDataSet &m_requests;
    const Members &m_members;
    const RequestFields r;
    QString m_previousMonth;
};

} // namespace

AnpisExport::Office AnpisExport::Office::current()
{
    const TForm4 &admin = Form4();
    const OfficeSettings settings = admin.office();
    return {settings.county, settings.fiscalCode, settings.locality, Form3().LunaLucru->text(), admin.Cu(1)->Valoare()};
}

QString AnpisExport::fileName(const QString &fiscalCode)
{
    QString digits;
    for (QChar c : fiscalCode)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits.isEmpty() ? QString() : QStringLiteral("Date_") + digits + QStringLiteral("v2.xml");
}

void AnpisExport::selectRequests(TQuery &query, const QString &dataDir, int monthCode)
{
    query.Close();
    query.SQL() = QStringList{QStringLiteral("SELECT *"),
                              QStringLiteral("FROM ") + SqlQuote::table(QDir(dataDir).filePath(RequestTables::Cereri)),
                              QStringLiteral("WHERE LUNACRT=") + QString::number(monthCode),
                              QStringLiteral("AND TOTAL>0"),
                              QStringLiteral("ORDER BY NR_CERE")};
}

void AnpisExport::selectMembers(TQuery &query, const QString &dataDir, int monthCode)
{
    // Only the month's members are held in memory, not those of every season.
    query.Close();
    query.SQL() = QStringList{QStringLiteral("SELECT A.NRCRT, A.NROM, A.TITULAR, A.CNP, A.VENIT, A.CALITATE"),
                              QStringLiteral("FROM ") + SqlQuote::table(QDir(dataDir).filePath(RequestTables::Oameni)) + " A",
                              QStringLiteral("JOIN ") + SqlQuote::table(QDir(dataDir).filePath(RequestTables::Cereri)) + " B",
                              QStringLiteral("  ON A.NRCRT=B.NRCRT"),
                              QStringLiteral("WHERE B.LUNACRT=") + QString::number(monthCode) + QStringLiteral(" AND B.TOTAL>0"),
                              QStringLiteral("ORDER BY A.NRCRT, A.NROM")};
}

void AnpisExport::write(QIODevice &out, const Office &office, TDataSet &requests, TDataSet &members)
{
    const Members grouped(members);
    Writer(out, office, requests, grouped).run();
}

void AnpisExport::ExportDateAJPISXML1Click()
{
    if (!Form4().VerificaSetari())
        return;
    const Office office = Office::current();
    // The percentage of the aid is taken of the first bracket.
    if (office.cu1 == 0) {
        TErori::Mesaj(Title, QStringLiteral("\rCuantumul primei trepte (Cu1) din Administrare este 0: procentul "
                                            "ajutorului nu se poate calcula!"),
                      1, TErori::OK);
        return;
    }
    const QString name = fileName(office.cifuat);
    if (name.isEmpty()) {
        TErori::Mesaj(Title, QStringLiteral("\rCodul fiscal din Administrare nu contine nicio cifra: nu pot numi "
                                            "fisierul XML.\rCod fiscal: %1").arg(office.cifuat),
                      1, TErori::OK);
        return;
    }
    const QString folder = Shell::instance().chooseFolder(QStringLiteral("Alegeti directorul unde punem XML-ul"), QString());
    if (folder.isEmpty())
        return;
    const QString path = QDir(folder).filePath(name);
    if (QFileInfo::exists(path)
        && TErori::Mesaj(QStringLiteral("Extragere date ANPIS-XML"),
                         QStringLiteral("\r Fisierul ") + name + QStringLiteral(" exista!\rDoriti sa-l inlocuim?"), 0,
                         TErori::Da | TErori::Nu) != TErori::ResultDa)
        return;

    TForm3 &w = Form3();
    const int month = TForm1::MonthIndex(office.month);
    const auto cleanup = qScopeGuard([&w] {
        Contor().Stop();
        w.resetShared();
    });
    selectRequests(*w.Sx, Form1().DataDir(), month);
    w.Sx->Open();
    if (w.Sx->IsEmpty()) {
        TErori::Mesaj(Title, QStringLiteral("\rNu aveti nicio cerere aprobata!"), 1, TErori::OK);
        return;
    }
    Contor().Descr->setText(QStringLiteral("Generez XML-ul..."));
    Contor().Start();
    selectMembers(*w.Sy, Form1().DataDir(), month);
    w.Sy->Open();
    DurableDevice out(path);
    write(out, office, *w.Sx, *w.Sy);
    out.commit();
    Contor().Stop();
    TErori::Mesaj(QStringLiteral("Export Date ANPIS"),
                  QStringLiteral("\rXML-ul a fost creat: ") + name + QStringLiteral("\rTrimiteti-l la ANPIS!"), 2,
                  TErori::OK);
}
