#include "agencies/AgencyReport.h"

#include "documents/DocumentOpener.h"
#include "agencies/AnnexRun.h"
#include "agencies/BeneficiaryAnnexes.h"
#include "agencies/DispositionNumbers.h"
#include "agencies/SupplementAnnexes.h"
#include "documents/OutputFolder.h"
#include "controls/StyledProgressBar.h"
#include "core/Contor.h"
#include "core/Counties.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "periods/PerSelect.h"
#include "core/Erori.h"
#include "documents/ExpXLSOLE.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QScopeGuard>

bool AgencyReport::accept(const ReportPeriod &period)
{
    if (period.valid())
        return true;
    // Longer periods would write two years' months into one month's rows.
    TErori::Mesaj(Title, QStringLiteral("\rPerioada incorecta!\rAlegeti cel mult 12 luni."), 1, TErori::OK);
    return false;
}

void AgencyReport::write(const AgencyOffice &office, const ReportPeriod &period, const QString &folder, TQuery &query)
{
    Contor().Descr->setText(QStringLiteral("Fac Anexele 13 si 21..."));
    const QString ajvps = DispositionNumbers::BuildAjvpsTable(office.cereri);
    const auto done = qScopeGuard([&ajvps] { QFile::remove(ajvps); });
    AnnexRun run{office, period, IncomeBrackets(office.limits), ajvps, folder, query, AnnexWorkbook(ExpXLSOLE())};

    BeneficiaryAnnexes::annex13And21(run);
    Contor().Descr->setText(QStringLiteral("Fac Anexa 13 Cumulata..."));
    Contor().Pas();
    BeneficiaryAnnexes::annex13Cumulated(run);
    Contor().Descr->setText(QStringLiteral(" Generez Anexa 22..."));
    Contor().Pas();
    BeneficiaryAnnexes::annex22(run);
    SupplementAnnexes::supplementLists(run);
    SupplementAnnexes::annex23And24(run);
    SupplementAnnexes::annex25(run);
}

namespace {

int monthCodeOf(const QDate &day)
{
    return TForm1::MonthIndex(day.toString(QStringLiteral("MM.yyyy")));
}

} // namespace

void AgencyReport::Directiamuncii1Click()
{
    if (!Form4().VerificaSetari())
        return;
    if (Form4().JudetC->currentIndex() == Counties::Bacau
        && TErori::Mesaj(Title, QStringLiteral("\rPentru judetul Bacau, folositi Raportul AJPIS - BACAU!\rDoriti sa continuati totusi?"),
                         0, TErori::Da | TErori::Nu) != TErori::ResultDa)
        return;
    if (!PerSelect().Execute())
        return;
    const ReportPeriod period{monthCodeOf(PerSelect().Data0->date()), monthCodeOf(PerSelect().Data1->date())};
    if (!accept(period))
        return;
    OutputFolder folder({Title, SubFolder});
    if (!folder.choose())
        return;
    folder.fill(10, [&period](const QString &work) { write(AgencyOffice::current(), period, work, *Form3().Sx); });
    DocumentOpener::openFolder(folder.target());
}
