#include "core/Form21.h"

#include "core/AppStartup.h"
#include "core/DataArchive.h"
#include "core/Dialogs.h"
#include "core/Erori.h"
#include "platform/io/KestrunError.h"
#include "core/Form1.h"
#include "platform/profile/LastFolders.h"
#include "platform/shell/ChooserDialog.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace {

const QString Title = QStringLiteral("Arhiva date");
const QString Kind = QStringLiteral("Arhive date");
const QString Filter = ChooserDialog::filter(Kind, {QStringLiteral("L21"), QStringLiteral("sav")})
                       + QStringLiteral(";;Toate fisierele (*)");

} // namespace

TForm21 &Form21()
{
    static TForm21 instance;
    return instance;
}

bool TForm21::SaveToArchive(const QString &archivePath)
{
    try {
        DataArchive::saveFolder(Form1().DataDir(), archivePath);
        return true;
    } catch (const std::exception &e) {
        TErori::Mesaj(Title, KestrunError::textOf(e), 1, TErori::OK);
        return false;
    }
}

bool TForm21::RestoreFromArchive(const QString &archivePath)
{
    try {
        DataArchive::restoreFolder(archivePath, Form1().DataDir());
    } catch (const std::exception &e) {
        TErori::Mesaj(Title, KestrunError::textOf(e) + QStringLiteral("\nDatele nu au fost modificate."), 1, TErori::OK);
        return false;
    }
    TErori::Mesaj(Title, QStringLiteral("Datele au fost restaurate.\nReporniti programul."), 2, TErori::OK);
    return true;
}

void TForm21::SaveCommand()
{
    // The name the exit-time backup would take, in the folder archives were last saved to.
    const QString suggested = QFileInfo(AppStartup::backupName(LastFolders::folder(Kind), QDate::currentDate())).fileName();
    const QString path = Dialogs::instance().chooseFile(QStringLiteral("Salvati datele in arhiva"), Filter, true, suggested);
    if (path.isEmpty())
        return;
    const QString target = QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".L21") : path;
    if (!SaveToArchive(target))
        return;
    TErori::Mesaj(Title, QStringLiteral("Datele au fost salvate in %1.").arg(QDir::toNativeSeparators(target)), 2, TErori::OK);
    if (afterSave)
        afterSave(target);
}

void TForm21::RestoreCommand()
{
    const QString path = Dialogs::instance().chooseFile(QStringLiteral("Alegeti arhiva de restaurat"), Filter, false);
    if (path.isEmpty())
        return;
    if (TErori::Mesaj(Title, QStringLiteral("Datele actuale vor fi inlocuite cu cele din arhiva.\nContinuati ?"), 3,
                      TErori::Da | TErori::Nu) == TErori::ResultDa)
        RestoreFromArchive(path);
}
