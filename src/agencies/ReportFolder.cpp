#include "agencies/ReportFolder.h"

#include "controls/StyledProgressBar.h"
#include "core/Contor.h"
#include "core/CoreError.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "platform/io/DurableFile.h"
#include "platform/shell/Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

ReportFolder::ReportFolder(QString title, QString subFolder) : m_title(std::move(title)), m_sub(std::move(subFolder)) {}

ReportFolder::~ReportFolder() = default;

bool ReportFolder::choose()
{
    const QString chosen = Shell::instance().chooseFolder(QStringLiteral("Alegeti directorul unde punem Raportul"), QString());
    if (chosen.isEmpty())
        return false;
    m_target = QDir(chosen).filePath(m_sub);
    const QString shown = QDir::toNativeSeparators(m_target);
    if (QFileInfo::exists(m_target)) {
        if (TErori::Mesaj(m_title, QStringLiteral("\rDirectorul ") + shown + QStringLiteral(" exista deja!\rIl inlocuim?"), 0,
                          TErori::Da | TErori::Nu) != TErori::ResultDa)
            return false;
        TForm1::ShellDelete(m_target);
        QCoreApplication::processEvents();
        if (QFileInfo::exists(m_target)) {
            TErori::Mesaj(m_title, QStringLiteral("\rDirectorul ") + shown + QStringLiteral(" nu poate fi inlocuit!\r")
                                       + QStringLiteral("Inchideti toate fisierele deschise din el si reincercati!"),
                          1, TErori::OK);
            return false;
        }
    }
    m_work = std::make_unique<QTemporaryDir>(m_target + QStringLiteral("-XXXXXX"));
    if (!m_work->isValid())
        throw CoreError(QStringLiteral("Nu pot crea directorul raportului langa ") + shown + QStringLiteral(": ")
                        + m_work->errorString());
    return true;
}

QString ReportFolder::work() const
{
    return m_work ? m_work->path() : QString();
}

void ReportFolder::commit()
{
    // A temporary folder is the owner's alone; the report is the office's.
    QFile::setPermissions(m_work->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
                                              | QFile::WriteUser | QFile::ExeUser | QFile::ReadGroup | QFile::ExeGroup
                                              | QFile::ReadOther | QFile::ExeOther);
    if (!QDir().rename(m_work->path(), m_target))
        throw CoreError(QStringLiteral("Nu pot pune raportul in directorul ") + QDir::toNativeSeparators(m_target)
                        + QStringLiteral(": exista deja sau nu am drept de scriere."));
    m_work->setAutoRemove(false);
    m_work.reset();
    DurableFile::syncFolder(QFileInfo(m_target).absolutePath());
}

void ReportFolder::fill(int steps, const std::function<void(const QString &)> &write)
{
    const auto done = qScopeGuard([this] {
        Contor().Stop();
        Form3().resetShared();
        m_work.reset(); // a failed report leaves no working folder
    });
    Contor().Bar->setMaximum(steps);
    Contor().Start();
    write(work());
    commit();
}
