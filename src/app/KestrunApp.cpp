#include "app/KestrunApp.h"

#include "app/SingleInstance.h"

#include "core/AppStartup.h"
#include "core/Erori.h"
#include "platform/io/KestrunError.h"
#include "core/Form21.h"
#include "core/Form3.h"
#include "documents/CereriCommands.h"
#include "agencies/AgencyReport.h"
#include "agencies/CountyAgencyReport.h"
#include "agencies/SupplierAgencyReport.h"
#include "exports/AnpisExport.h"
#include "exports/F2201Export.h"
#include "lists/ListCommands.h"
#include "payments/PaymentCommands.h"
#include "remote/LogView.h"
#include "remote/NetF.h"
#include "remote/Sugestii.h"
#include "reports/demo/RequestsByLocality.h"
#include "requests/CereriF.h"
#include "resources/QtTranslation.h"
#include "suppliers/BankReport.h"
#include "suppliers/PlusAnexe.h"
#include "suppliers/SupplierReports.h"

#include <QApplication>
#include <QIcon>

#include <functional>

namespace {

AppStartup::Mode g_mode = AppStartup::Mode::Local;

// Runs one step of the exit; its failure is shown and does not stop the next.
void exitStep(const std::function<void()> &step)
{
    try {
        step();
    } catch (const std::exception &e) {
        TErori::Mesaj(QStringLiteral("Kestrun"), KestrunError::textOf(e), 1, TErori::OK);
    }
}

} // namespace

void KestrunApp::wireCommands()
{
    TForm3 &w = Form3();
    w.setCereriCommand([] { CereriF().Execute(); });
    if (!CereriF().command(QStringLiteral("Anexa 1")))
        CereriCommands::install(CereriF());
    if (!CereriF().command(QStringLiteral("Lis&teaza Stat de plata")))
        PaymentCommands::install(CereriF());
    if (!w.command(QStringLiteral("Raport Trezorerie")))
        PaymentCommands::installTreasury(w);
    if (!w.command(QStringLiteral("Salvare date in arhiva"))) {
        w.addCommand(TForm3::Menu::Utilitare, QStringLiteral("Salvare date in arhiva"), [] { Form21().SaveCommand(); });
        w.addCommand(TForm3::Menu::Utilitare, QStringLiteral("Restaurare date din arhiva"), [] { Form21().RestoreCommand(); });
    }
    if (!w.command(QStringLiteral("Formularul F 2201 ANAF - XML"))) {
        w.addCommand(TForm3::Menu::Liste, QStringLiteral("Formularul F 2201 ANAF - XML"), &F2201Export::FormularulF2201ANAFXML1Click);
        w.addCommand(TForm3::Menu::Liste, QStringLiteral("Export Date ANPIS - XML"), &AnpisExport::ExportDateAJPISXML1Click);
    }
    if (!w.command(QStringLiteral("Cererile lunii pe localitati")))
        w.addCommand(TForm3::Menu::Liste, QStringLiteral("Cererile lunii pe localitati"), &RequestsByLocality::Show);
    if (!w.command(QStringLiteral("Raport AJPIS"))) {
        w.addCommand(TForm3::Menu::Liste, QStringLiteral("Raport AJPIS"), &AgencyReport::Directiamuncii1Click);
        w.addCommand(TForm3::Menu::Liste, QStringLiteral("Raport AJPIS - BACAU"), &CountyAgencyReport::AJPISBCClick);
        w.addCommand(TForm3::Menu::Furnizori, QStringLiteral("Format AJPIS"), &SupplierAgencyReport::FormatAJPISClick);
    }
    if (!w.command(QStringLiteral("Lista persoanelor si varsta")))
        ListCommands::install(w);
    if (!w.command(QStringLiteral("Format E-On Gaz Tg.Mures")))
        SupplierReports::install(w);
    if (!w.command(BankReport::Title))
        w.addCommand(TForm3::Menu::Liste, BankReport::Title, &BankReport::RaportBanci1Click);
    if (!w.command(QStringLiteral("Anexa 23"))) {
        const std::pair<const char *, int> annexes[] = {{"Anexa 23", 23}, {"Anexa 24", 24},
                                                        {"Anexa 15 - Suplimente Gaz", 15},
                                                        {"Anexa 16 - Suplimente Electrica", 16}};
        for (const auto &[caption, annex] : annexes)
            w.addCommand(TForm3::Menu::Utilitare, QStringLiteral("Adunare Anexe"), QString::fromLatin1(caption),
                         [annex = annex] { PlusAnexe().Execute(annex); });
    }
    if (!w.command(QStringLiteral("Condica de sugestii"))) {
        w.addCommand(TForm3::Menu::Utilitare, QStringLiteral("Condica de sugestii"), [] { Sugestii().Arata(); });
        w.addCommand(TForm3::Menu::Utilitare, QStringLiteral("Istoricul modificarii datelor"), [] { LogView().Arata(); });
    }
    if (!w.command(QStringLiteral("Copie / Recupereaza date la Distanta"))) {
        // The local archive dialog's server button: the remote dialog without a file.
        w.addCommand(TForm3::Menu::Utilitare, QStringLiteral("Copie / Recupereaza date la Distanta"), [] { NetF().Arata({}); });
        Form21().afterSave = [](const QString &archive) {
            if (TErori::Mesaj(QStringLiteral("Arhiva date"), QStringLiteral("Doriti sa transmiteti salvarea si pe Server?"), 3,
                              TErori::Da | TErori::Nu)
                == TErori::ResultDa)
                NetF().Arata(archive);
        };
    }
}

bool KestrunApp::start(const QStringList &arguments)
{
    QApplication::setApplicationName(QStringLiteral("Kestrun"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QtTranslation::install();
    // Without a desktop theme (a bare X server) the toolbar still gets its icons.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == u"hicolor")
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    try {
        g_mode = AppStartup::start(arguments);
    } catch (const std::exception &e) {
        TErori::Mesaj(QStringLiteral("Kestrun"), KestrunError::textOf(e), 1, TErori::OK);
        return false;
    }
    wireCommands();
    Form3().show();
    return true;
}

void KestrunApp::finish()
{
    // A log that cannot be written must not cost the user the backup.
    exitStep([] { AppStartup::logExit(); });
    QString archive;
    exitStep([&archive] { archive = AppStartup::offerBackup(g_mode); });
    // The archive just written is offered to the remote backup too.
    if (!archive.isEmpty())
        exitStep([&archive] { NetF().Arata(archive); });
    AppStartup::finish();
}

int KestrunApp::run(QApplication &app)
{
    SingleInstance instance(SingleInstance::defaultName());
    if (!instance.claim())
        return 0;
    QObject::connect(&instance, &SingleInstance::activationRequested, [] {
        TForm3 &w = Form3();
        if (w.isMinimized())
            w.showNormal();
        w.raise();
        w.activateWindow();
    });
    if (!start(QApplication::arguments()))
        return 1;
    const int rc = app.exec();
    finish();
    return rc;
}
