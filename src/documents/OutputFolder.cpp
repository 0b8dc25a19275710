#include "documents/OutputFolder.h"

#include "controls/StyledProgressBar.h"
#include "core/Contor.h"
#include "core/CoreError.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "platform/io/FileWriteError.h"
#include "platform/io/FolderSwap.h"
#include "platform/profile/AppFolders.h"
#include "platform/shell/Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

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
    // The old folder stays until the new one is whole.
    if (QFileInfo::exists(folder)
        && TErori::Mesaj(m_texts.title, QStringLiteral("\rDirectorul ") + shown + m_texts.exists + QStringLiteral("\rIl inlocuim?"),
                         0, TErori::Da | TErori::Nu)
               != TErori::ResultDa)
        return false;
    try {
        m_swap = std::make_unique<FolderSwap>(folder, AppFolders::swapJournalDir(Form1().AppDir()));
    } catch (const FileWriteError &e) {
        message(QStringLiteral("\rNu pot crea directorul ") + shown + QStringLiteral("!\r") + QString::fromUtf8(e.what()));
        return false;
    }
    m_target = folder;
    return true;
}

QString OutputFolder::work() const
{
    return m_swap ? m_swap->work() : QString();
}

void OutputFolder::commit()
{
    const bool replacing = QFileInfo::exists(m_target);
    try {
        m_swap->commit();
    } catch (const FileWriteError &e) {
        const QString shown = QDir::toNativeSeparators(m_target);
        throw CoreError((replacing ? QStringLiteral("\rDirectorul ") + shown + m_texts.inUse
                                   : QStringLiteral("Nu pot pune raportul in directorul ") + shown + u'.')
                        + u'\r' + QString::fromUtf8(e.what()));
    }
    m_swap.reset();
}

void OutputFolder::discard()
{
    m_swap.reset();
}

void OutputFolder::fill(int steps, const std::function<void(const QString &)> &write)
{
    const auto done = qScopeGuard([this] {
        Contor().Stop();
        Form3().resetShared();
        discard();
    });
    if (steps > 0)
        Contor().Bar->setMaximum(steps);
    Contor().Start();
    write(work());
    commit();
}
