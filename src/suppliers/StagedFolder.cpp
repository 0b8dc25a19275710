#include "suppliers/StagedFolder.h"

#include "core/Erori.h"
#include "core/Form1.h"
#include "documents/DocumentValues.h"
#include "payments/PaymentValues.h"
#include "platform/io/DurableFile.h"
#include "platform/shell/Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

StagedFolder::StagedFolder(const QString &title, const QString &prompt, const QString &subFolder)
    : m_title(title), m_prompt(prompt), m_subFolder(subFolder)
{
}

StagedFolder::~StagedFolder() = default;

void StagedFolder::message(const QString &text, int kind) const
{
    TErori::Mesaj(m_title, text, kind, TErori::OK);
}

bool StagedFolder::choose()
{
    const QString chosen = Shell::instance().chooseFolder(m_prompt, QString());
    if (chosen.isEmpty())
        return false;
    const QString folder = QDir(chosen).filePath(m_subFolder);
    const QString shown = QDir::toNativeSeparators(folder);
    if (QFileInfo::exists(folder)) {
        if (TErori::Mesaj(m_title, QStringLiteral("\rDirectorul ") + shown + QStringLiteral(" exista deja!\rIl inlocuim?"), 0,
                          TErori::Da | TErori::Nu)
            != TErori::ResultDa)
            return false;
        TForm1::ShellDelete(folder);
        DocumentValues::letWindowsRun();
        if (QFileInfo::exists(folder)) {
            message(QStringLiteral("\rDirectorul ") + shown + QStringLiteral(" nu poate fi inlocuit!\r")
                        + QStringLiteral("Inchideti toate fisierele deschise din el si reincercati!"),
                    1);
            return false;
        }
    }
    auto stage = std::make_unique<QTemporaryDir>(QDir(chosen).filePath(m_subFolder + QStringLiteral("-XXXXXX")));
    if (!stage->isValid()) {
        message(QStringLiteral("\rNu pot crea directorul ") + shown + QStringLiteral("!\r") + stage->errorString(), 1);
        return false;
    }
    m_target = folder;
    m_stage = std::move(stage);
    return true;
}

QString StagedFolder::stage() const
{
    return m_stage ? m_stage->path() : QString();
}

void StagedFolder::publish()
{
    const QString staged = m_stage->path();
    // A temporary folder is the owner's alone; the report is the office's.
    QFile::setPermissions(staged, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
                                      | QFile::WriteUser | QFile::ExeUser | QFile::ReadGroup | QFile::ExeGroup
                                      | QFile::ReadOther | QFile::ExeOther);
    if (!QDir().rename(staged, m_target))
        PaymentValues::refuse(QStringLiteral("Nu pot pune raportul in directorul ") + QDir::toNativeSeparators(m_target)
                              + QStringLiteral(": exista deja sau nu am drept de scriere."));
    DurableFile::syncFolder(m_target);
    DurableFile::syncFolder(QFileInfo(m_target).absolutePath());
    m_stage->setAutoRemove(false);
    m_stage.reset();
}
