#include "agencies/CountyAgencyReport.h"

#include "agencies/AnnexNames.h"
#include "agencies/AnnexRun.h"
#include "agencies/DispositionNumbers.h"
#include "agencies/SupplementAnnexes.h"
#include "agencies/SupplierNames.h"
#include "controls/StyledProgressBar.h"
#include "core/Contor.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/NumericF.h"
#include "documents/DocumentOpener.h"
#include "documents/ExpXLSOLE.h"
#include "documents/OutputFolder.h"
#include "periods/SelLuna.h"
#include "platform/db/Dbf.h"
#include "platform/io/DurableFile.h"
#include "platform/io/KestrunError.h"
#include "platform/sql/Money.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestRules.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QScopeGuard>

namespace {

struct CsvLayout
{
    int annex;
    const char *header;
    QStringList fields; // after the row number; "@INCOME" and "@LEVEL" are computed
};

const CsvLayout Layouts[] = {
    {13, "Nr,Titular,CNP,Adresa,Dispozitie,Nr_membrii,Venit_lunar_membru,Nivel _compensare,Cuantum_luna",
     {"TITULAR", "CNP", "ADRESA", "NR_DISP", "NR_MEMBRI", "@INCOME", "@LEVEL", "CUANTUM"}},
    {14, "Nr,Titular,CNP,Adresa,Cod_furnizor_client,Venit_lunar_membru,Cuantum_max_luna,DISPOZITIE",
     {"TITULAR", "CNP", "ADRESA", "CODCLT", "@INCOME", "SUMAT", "NR_DISP"}},
    {15, "Nr,Titular,CNP,Adresa,Cod_furnizor_client,CLC,Nr_membrii,Venit_lunar_membru,DISPOZITIE,Cuantum_max_luna",
     {"TITULAR", "CNP", "ADRESA", "CODCLG", "PODG", "NR_MEMBRI", "@INCOME", "NR_DISP", "SUMAG"}},
    {16, "Nr,Titular,CNP,Adresa,Cod_furnizor_client,POD,Nr_membrii,Venit_lunar_membru,Dispozitie,Cuantum_max_luna",
     {"TITULAR", "CNP", "ADRESA", "CODCLE", "PODE", "NR_MEMBRI", "@INCOME", "NR_DISP", "SUMAE"}},
    {17, "Nr,Titular,CNP,Adresa,Dispozitie,Nr_membrii,Venit_lunar_membru,Cuantum_luna",
     {"TITULAR", "CNP", "ADRESA", "NR_DISP", "NR_MEMBRI", "@INCOME", "SUMAL"}},
};

// A field's text as the office reads it: numbers without trailing zeros.
QString fieldText(TField *f)
{
    if (f->IsNull())
        return {};
    if (f->DataType() == TFieldType::ftFloat || f->DataType() == TFieldType::ftInteger)
        return QLocale::c().toString(double(Money::cents(f->AsFloat())) / 100.0, 'g', 15);
    return f->AsString();
}

QByteArray csvOf(const CsvLayout &layout, TQuery &q)
{
    const int columns = int(layout.fields.size()) + 1;
    QStringList numbers;
    for (int c = 1; c <= columns; ++c)
        numbers << QString::number(c);
    QStringList lines{QLatin1String(layout.header), numbers.join(u',')};
    std::vector<TField *> fields;
    for (const QString &name : layout.fields)
        fields.push_back(name.startsWith(u'@') ? nullptr : q.FieldByName(name));
    TField *venit = q.FieldByName(QStringLiteral("VENITM"));
    TField *cuantum = layout.annex == 13 ? q.FieldByName(QStringLiteral("CUANTUM")) : nullptr;
    int row = 0;
    for (q.First(); !q.Eof(); q.Next()) {
        QStringList values{QString::number(++row)};
        for (size_t i = 0; i < fields.size(); ++i) {
            const QString &name = layout.fields[int(i)];
            if (name == u"@INCOME")
                values << AnnexNames::CsvText(QString::number(AnnexNames::WholeIncome(venit->AsFloat())));
            else if (name == u"@LEVEL")
                values << AnnexNames::LevelText(cuantum->AsFloat());
            else
                values << AnnexNames::CsvText(fieldText(fields[i]));
        }
        lines << values.join(u',');
    }
    // Only ".", digits, capitals and blanks remain: the bytes are ASCII.
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
}

} // namespace

QString CountyAgencyReport::textFolder(const AgencyOffice &office, const Choice &choice)
{
    return SupplierNames::SafeFileName(office.uat + QStringLiteral(" AJUTOARE INCALZIRE ") + choice.monthName.toUpper()
                                       + u' ' + choice.year);
}

void CountyAgencyReport::write(const AgencyOffice &office, const Choice &choice, const QString &folder, TQuery &query)
{
    const QString texts = QDir(folder).filePath(textFolder(office, choice));
    if (!QDir().mkpath(texts))
        throw KestrunError(QStringLiteral("Nu pot crea directorul ") + QDir::toNativeSeparators(texts) + u'.');
    Contor().Descr->setText(QStringLiteral("Fac Anexa 13..."));
    const QString ajvps = DispositionNumbers::BuildAjvpsTable(office.cereri);
    const auto done = qScopeGuard([&ajvps, &query] {
        QFile::remove(ajvps);
        query.Close();
    });
    AnnexRun run{office, {office.month, office.month}, IncomeBrackets(office.limits), ajvps, folder, query,
                 AnnexWorkbook(ExpXLSOLE())};
    TExpXLSOLE &x = run.book.filler();
    const auto base = [&](int annex) {
        return AnnexNames::AnnexFileName(QString::number(annex), QString(), office.uat, choice.monthName, choice.year);
    };
    const auto save = [&](int annex) {
        run.book.saveAs(run.file(base(annex) + QStringLiteral(".xls")));
        DurableFile::save(QDir(texts).filePath(base(annex) + QStringLiteral(".csv")), csvOf(Layouts[annex - 13], query));
        query.Close();
    };

    run.book.openResource(QStringLiteral("Anexa13BC"), QStringLiteral("Anexa13"));
    run.book.officeTags(office);
    x.ReplaceTag(QStringLiteral("[LUNA]"), choice.monthName.toUpper());
    x.ReplaceTag(QStringLiteral("[ANUL]"), choice.year);
    query.SQL() = QStringList{QStringLiteral("SELECT TITULAR, CNP, LOCALIT+\" \"+ADRESA AS ADRESA, A.NR_DISP, NR_MEMBRI, "
                                             "VENITM, CUANTUM"),
                              office.dataPath()}
                  + office.join(ajvps)
                  + QStringList{QStringLiteral("WHERE ") + RequestRules::approved() + QStringLiteral(" AND TOTAL>0"),
                                QStringLiteral("AND LUNACRT=%1").arg(office.month), QStringLiteral("ORDER BY TITULAR")};
    query.Open();
    x.FillFromDataSet(query);
    save(13);

    for (int annex = 14; annex <= 17; ++annex) {
        Contor().Descr->setText(QStringLiteral(" Generez Anexa %1...").arg(annex));
        if (annex > 14)
            Contor().Pas();
        SupplementAnnexes::openList(run, SupplementAnnexes::list(annex));
        if (query.IsEmpty()) {
            query.Close();
            continue;
        }
        run.book.openFile(Dbf::resolve(QDir(Form1().DataDir()).filePath(QStringLiteral("Anexa%1.xls").arg(annex))));
        SupplementAnnexes::firstSheetOnly(x);
        run.book.listTags(office);
        x.FillFromDataSet(query);
        save(annex);
    }
}

void CountyAgencyReport::AJPISBCClick()
{
    if (!Form4().VerificaSetari())
        return;
    if (!SelLuna().Execute(true, true))
        return;
    const Choice choice{SelLuna().Luna12->currentText(), SelLuna().AnulE->text()};
    OutputFolder folder({Title, QStringLiteral("LEMNE_AJPIS")});
    if (!folder.choose())
        return;
    folder.fill(8, [&choice](const QString &work) { write(AgencyOffice::current(), choice, work, *Form3().Sx); });
    DocumentOpener::openFolder(folder.target());
}
