#include "platform/io/FolderSwap.h"
#include "platform/io/FileTree.h"

#include "platform/io/DurableFile.h"
#include "platform/io/KillPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace {

const QString kJournalSuffix = QStringLiteral(".txt");
constexpr qsizetype kIdLength = 6;
constexpr char kIdLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";

QString randomId()
{
    QString id;
    for (qsizetype i = 0; i < kIdLength; ++i)
        id += QLatin1Char(kIdLetters[QRandomGenerator::global()->bounded(int(sizeof kIdLetters - 1))]);
    return id;
}

bool isId(QStringView text)
{
    if (text.size() != kIdLength)
        return false;
    for (const QChar c : text)
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')))
            return false;
    return true;
}

bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool renamePath(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

int errorOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

} // namespace

QString FolderSwap::workOf(const QString &target, const QString &id)
{
    return target + u'-' + id;
}

QString FolderSwap::asideOf(const QString &target, const QString &id)
{
    return workOf(target, id) + QStringLiteral("-vechi");
}

FolderSwap::FolderSwap(const QString &target, const QString &journals)
    : m_target(QDir::cleanPath(QFileInfo(target).absoluteFilePath()))
{
    errno = 0;
    if (!QDir().mkpath(journals))
        DurableFile::raise(journals, errorOr(EACCES), QStringLiteral("Nu pot crea directorul"));
    for (int attempt = 0; attempt < 16 && m_id.isEmpty(); ++attempt) {
        const QString id = randomId();
        if (!present(workOf(m_target, id)) && !present(asideOf(m_target, id))
            && !present(journals + u'/' + id + kJournalSuffix))
            m_id = id;
    }
    m_work = workOf(m_target, m_id.isEmpty() ? randomId() : m_id);
    if (m_id.isEmpty())
        DurableFile::raise(m_work, EEXIST, QStringLiteral("Nu pot crea directorul"));
    // The journal comes first: whatever is made after it can be found again.
    m_journal = journals + u'/' + m_id + kJournalSuffix;
    DurableFile::save(m_journal, m_target.toUtf8() + '\n');
    if (::mkdir(QFile::encodeName(m_work).constData(), 0777) != 0) {
        const int error = errno;
        QFile::remove(m_journal);
        DurableFile::raise(m_work, error, QStringLiteral("Nu pot crea directorul"));
    }
    m_open = true;
    DurableFile::syncFolder(QFileInfo(m_target).absolutePath());
    KillPoint::reach("folder.begun");
}

FolderSwap::~FolderSwap()
{
    discard();
}

void FolderSwap::commit()
{
    KillPoint::reach("folder.whole");
    const QString parent = QFileInfo(m_target).absolutePath();
    const QString aside = asideOf(m_target, m_id);
    DurableFile::syncFolder(m_work);
    const bool hadOld = present(m_target);
    if (hadOld && !renamePath(m_target, aside))
        DurableFile::raise(m_target, errno, QStringLiteral("Nu pot muta deoparte directorul"));
    DurableFile::syncFolder(parent);
    KillPoint::reach("folder.aside");
    if (!renamePath(m_work, m_target)) {
        const int error = errno;
        if (hadOld)
            renamePath(aside, m_target);
        DurableFile::raise(m_target, error, QStringLiteral("Nu pot pune directorul nou in locul lui"));
    }
    DurableFile::syncFolder(parent);
    KillPoint::reach("folder.in");
    discard();
}

void FolderSwap::discard()
{
    if (!m_open)
        return;
    m_open = false;
    settle(m_target, m_id);
    QFile::remove(m_journal);
}

// Leaves the old folder or the new one under the target's name, and nothing else.
void FolderSwap::settle(const QString &target, const QString &id)
{
    const QString aside = asideOf(target, id);
    // The target was renamed aside and the new folder never came in.
    if (!present(target) && present(aside))
        renamePath(aside, target);
    FileTree::remove(workOf(target, id));
    KillPoint::reach("folder.workRemoved");
    FileTree::remove(aside);
    DurableFile::syncFolder(QFileInfo(target).absolutePath());
}

QStringList FolderSwap::recover(const QString &journals)
{
    QStringList mended;
    DurableFile::removeTemporaries(journals);
    const QFileInfoList entries = QDir(journals).entryInfoList({u'*' + kJournalSuffix}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &entry : entries) {
        const QString id = entry.completeBaseName();
        if (!isId(id))
            continue;
        QFile journal(entry.filePath());
        QString target;
        if (journal.open(QIODevice::ReadOnly))
            target = QString::fromUtf8(journal.read(4096)).section(u'\n', 0, 0);
        journal.close();
        // A folder on a drive not there now is mended at a later start.
        if (!target.isEmpty() && !QFileInfo(QFileInfo(target).absolutePath()).isDir())
            continue;
        if (QDir::isAbsolutePath(target) && QDir::cleanPath(target) == target && target != u"/") {
            settle(target, id);
            mended << target;
        }
        QFile::remove(entry.filePath());
    }
    return mended;
}
