#include "documents/OutputFolder.h"

#include "core/CoreError.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "documents/DocumentValues.h"
#include "platform/io/DurableFile.h"
#include "platform/shell/Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

OutputFolder::OutputFolder(Texts texts) : m_texts(std::move(texts)) {}

OutputFolder::~OutputFolder() = default;

void OutputFolder::message(const QString &text) const
{
    TErori::Mesaj(m_texts.title, text, 1, TErori::OK);
}

bool OutputFolder::choose()
{
    const QString chosen = Shell::instance().chooseFolder(m_texts.prompt, QString());
    if (chosen.isEmpty())
        return false;
    const QString folder = QDir(chosen).filePath(m_texts.subFolder);
    const QString shown = QDir::toNativeSeparators(folder);
    if (QFileInfo::exists(folder)) {
        if (TErori::Mesaj(m_texts.title, QStringLiteral("\rDirectorul ") + shown + m_texts.exists + QStringLiteral("\rIl inlocuim?"),
                          0, TErori::Da | TErori::Nu)
            != TErori::ResultDa)
            return false;
        TForm1::ShellDelete(folder);
        DocumentValues::letWindowsRun();
        if (QFileInfo::exists(folder)) {
            message(QStringLiteral("\rDirectorul ") + shown + m_texts.inUse);
            return false;
        }
    }
    auto work = std::make_unique<QTemporaryDir>(folder + QStringLiteral("-XXXXXX"));
    if (!work->isValid()) {
        message(QStringLiteral("\rNu pot crea directorul ") + shown + QStringLiteral("!\r") + work->errorString());
        return false;
    }
    m_target = folder;
    m_work = std::move(work);
    return true;
}

QString OutputFolder::work() const
{
    return m_work ? m_work->path() : QString();
}

void OutputFolder::commit()
{
    const QString work = m_work->path();
    // A temporary folder is the owner's alone; the report is the office's.
    QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
                                    | QFile::WriteUser | QFile::ExeUser | QFile::ReadGroup | QFile::ExeGroup
                                    | QFile::ReadOther | QFile::ExeOther);
    if (!QDir().rename(work, m_target))
        throw CoreError(QStringLiteral("Nu pot pune raportul in directorul ") + QDir::toNativeSeparators(m_target)
                        + QStringLiteral(": exista deja sau nu am drept de scriere."));
    m_work->setAutoRemove(false);
    m_work.reset();
    DurableFile::syncFolder(m_target);
    DurableFile::syncFolder(QFileInfo(m_target).absolutePath());
}

void OutputFolder::discard()
{
    m_work.reset();
}
