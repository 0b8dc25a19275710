#include "agencies/SupplierAgencyReport.h"

#include "agencies/AnnexRun.h"
#include "agencies/DispositionNumbers.h"
#include "agencies/SupplementAnnexes.h"
#include "agencies/SupplierNames.h"
#include "controls/StyledProgressBar.h"
#include "core/Contor.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "documents/DocumentOpener.h"
#include "documents/ExpXLSOLE.h"
#include "documents/OutputFolder.h"
#include "platform/db/Dbf.h"
#include "platform/io/KestrunError.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestRules.h"
#include "tables/SupplementKinds.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QScopeGuard>

namespace {

// The supplements paid to a supplier, each with its annex.
struct Supplement
{
    SupplementKind kind;
    const char *resource, *file, *columns;
};

const Supplement Supplements[] = {
    {SupplementKinds::Electricity, "Anexa16", "Anexa16.xls", "FURNE, TITULAR, CNP, ADRESA, NR_DISP, NR_MEMBRI, VENITM, CODCLE, PODE, SUMAE"},
    {SupplementKinds::Gas, "Anexa15", "Anexa15.xls", "FURNG, TITULAR, CNP, ADRESA, NR_DISP, NR_MEMBRI, VENITM, CODCLG, PODG, SUMAG"},
};

// LOCALIT, a blank and ADRESA, whole.
constexpr int AddressWidth = 121;

void copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw KestrunError(QStringLiteral("Nu pot copia ") + QDir::toNativeSeparators(from) + QStringLiteral(" in ")
                        + QDir::toNativeSeparators(to) + u'.');
}

} // namespace

QString SupplierAgencyReport::prepareCopy(const AgencyOffice &office, TQuery &query)
{
    const QString copy = Form1().TempFileName(QStringLiteral("Furn"), QStringLiteral(".dbf"));
    auto removeOnFailure = qScopeGuard([&copy] { QFile::remove(copy); });
    copyFile(office.cereri, copy);
    query.SQL() = {QStringLiteral("DELETE FROM ") + SqlQuote::table(copy),
                   QStringLiteral("WHERE LUNACRT<>%1").arg(office.month),
                   QStringLiteral("OR ") + RequestRules::notApproved()};
    query.ExecSQL();
    Dbf::pack(copy);
    Dbf::widenCharField(copy, QStringLiteral("NR_DISP"), DispositionNumbers::Width);
    Dbf::widenCharField(copy, QStringLiteral("ADRESA"), AddressWidth);
    QCoreApplication::processEvents();

    Dbf t = Dbf::open(copy, Dbf::Mode::ReadWrite);
    const int nr = t.fieldIndex(u"NR_DISP"), date = t.fieldIndex(u"DATADISP");
    const int localit = t.fieldIndex(u"LOCALIT"), adresa = t.fieldIndex(u"ADRESA");
    const int furne = t.fieldIndex(u"FURNE"), furng = t.fieldIndex(u"FURNG");
    QHash<QString, QString> spelling; // one spelling per supplier, for both kinds
    const auto canonical = [&spelling](const QString &name) {
        return *spelling.insert(SupplierNames::Key(name), spelling.value(SupplierNames::Key(name), name.trimmed()));
    };
    for (qint64 rec = 0; rec < t.recordCount(); ++rec)
        t.setValues(rec, {{nr, DispositionNumbers::DispositionText(t.text(rec, nr), t.date(rec, date))},
                          {adresa, t.text(rec, localit) + u' ' + t.text(rec, adresa)},
                          {furne, canonical(t.text(rec, furne))},
                          {furng, canonical(t.text(rec, furng))}});
    t.close();
    removeOnFailure.dismiss();
    return copy;
}

void SupplierAgencyReport::write(const AgencyOffice &office, const QString &folder, TQuery &query)
{
    const QString copy = prepareCopy(office, query);
    const auto done = qScopeGuard([&copy, &query] {
        query.Close();
        QFile::remove(copy);
    });
    AnnexWorkbook book(ExpXLSOLE());
    TExpXLSOLE &x = book.filler();
    const QString table = SqlQuote::table(copy);
    // A supplier keeps its folder for both kinds.
    QHash<QString, QString> folders;
    QStringList taken;
    for (const Supplement &s : Supplements) {
        const QString supplier = QLatin1String(s.kind.supplier), amount = QLatin1String(s.kind.amount);
        query.SQL() = {QStringLiteral("SELECT DISTINCT ") + supplier, QStringLiteral("FROM ") + table,
                       QStringLiteral("WHERE ") + amount + QStringLiteral(">0"), QStringLiteral("ORDER BY ") + supplier};
        query.Open();
        QStringList names;
        for (query.First(); !query.Eof(); query.Next())
            names << query.Fields()[0]->AsString();
        query.Close();
        for (const QString &name : names) {
            if (!folders.contains(name)) {
                taken << name;
                folders.insert(name, SupplierNames::DistinctFileNames(taken).last());
            }
            const QString target = QDir(folder).filePath(folders.value(name));
            if (!QDir().mkpath(target))
                throw KestrunError(QStringLiteral("Nu pot crea directorul ") + QDir::toNativeSeparators(target) + u'.');
            query.SQL() = {QStringLiteral("SELECT ") + QLatin1String(s.columns), QStringLiteral("FROM ") + table,
                           QStringLiteral("WHERE ") + amount + QStringLiteral(">0 AND ")
                               + (name.isEmpty() ? supplier + QStringLiteral(" IS NULL")
                                                 : supplier + u'=' + SqlQuote::literal(name)),
                           QStringLiteral("ORDER BY TITULAR")};
            query.Open();
            book.openResource(QLatin1String(s.resource), QStringLiteral("RapFur"));
            book.listTags(office);
            x.FillFromDataSet(query);
            SupplementAnnexes::firstSheetOnly(x);
            book.saveAs(QDir(target).filePath(QLatin1String(s.file)));
            query.Close();
        }
        Contor().Pas();
    }
}

void SupplierAgencyReport::FormatAJPISClick()
{
    if (!Form4().VerificaSetari())
        return;
    OutputFolder folder({Title, SubFolder});
    if (!folder.choose())
        return;
    Contor().Descr->setText(QStringLiteral("Creez Raport Furnizori..."));
    folder.fill(2, [](const QString &work) { write(AgencyOffice::current(), work, *Form3().Sx); });
    TErori::Mesaj(Title, QStringLiteral("\rRaportul a fost creat!"), 2, TErori::OK);
    DocumentOpener::openFolder(folder.target());
}
