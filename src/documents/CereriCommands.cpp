#include "documents/CereriCommands.h"

#include "core/CommandBar.h"
#include "documents/RTFReplace.h"
#include "platform/sql/TQuery.h"
#include "requests/CereriF.h"

namespace {

TRTFReplace *makeFiller(TCereriF &form)
{
    auto *rtf = new TRTFReplace(&form);
    rtf->setObjectName(QStringLiteral("RTF1"));
    return rtf;
}

} // namespace

CereriCommands::CereriCommands(TCereriF &form, TRTFReplace *rtf)
    : QObject(&form), RTF1(rtf), m_docs(DocumentContext{form.C1, form.Sx, rtf, &form})
{
}

CereriCommands *CereriCommands::install(TCereriF &form)
{
    auto *commands = new CereriCommands(form, makeFiller(form));
    commands->addCommands(form);
    return commands;
}

void CereriCommands::addCommands(TCereriF &form)
{
    using Kind = DispositionDocuments::Kind;
    DispositionDocuments &disp = m_docs.dispositions;
    for (Kind kind : {Kind::Stabilire, Kind::Modificare, Kind::Incetare, Kind::Respingere})
        form.addCommand(TCereriF::Menu::Dispozitii, QLatin1String(DispositionDocuments::info(kind).caption),
                        [&disp, kind] { disp.ListDisp(kind); });

    RequestForms &forms = m_docs.forms;
    using Form = RequestForms::Form;
    form.addCommand(TCereriF::Menu::Formulare, QStringLiteral("Anexa 1"), [&forms] { forms.ListCereB(Form::Anexa1); });
    form.addCommand(TCereriF::Menu::Formulare, QStringLiteral("Anexa 2 - Forma prescurtata"),
                    [&forms] { forms.ListCereB(Form::Anexa2); });
    form.addCommand(TCereriF::Menu::Formulare, QStringLiteral("Fisa de verificare in teren"),
                    [&forms] { forms.FisaVBClick(); });

    // The inquiry's three commands stand together, as its three buttons do.
    if (CommandBar *bar = form.commandBar()) {
        bar->addMenuButton(Ancheta, QStringLiteral("system-search"), QStringLiteral("Ancheta sociala a cererii"));
        bar->addCommand(Ancheta, QStringLiteral("Adauga"), [&forms] { forms.ListCereB(Form::Ancheta); });
        bar->addCommand(Ancheta, QStringLiteral("Arata"), [&forms] { forms.AnchShowClick(); });
        bar->addCommand(Ancheta, QStringLiteral("Sterge"), [&forms] { forms.AnchDelClick(); });
    }

    CaseReports &reports = m_docs.reports;
    form.addCommand(TCereriF::Menu::Listari, QStringLiteral("Listeaza Re&ferate"), [&reports] { reports.BitBtn10Click(); });
}
