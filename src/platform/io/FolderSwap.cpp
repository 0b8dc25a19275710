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
const QByteArray kCommitting = QByteArrayLiteral("inlocuire");
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

QByteArray FolderSwap::journalText(const QString &target, bool committing)
{
    return target.toUtf8() + '\n' + (committing ? kCommitting + '\n' : QByteArray());
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
    DurableFile::save(m_journal, journalText(m_target, false));
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
    DurableFile::save(m_journal, journalText(m_target, true));
    m_committing = true;
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
    settle(m_target, m_id, m_committing);
    QFile::remove(m_journal);
}

// Leaves the old folder or the new one under the target's name, and nothing
// else; answers which.
FolderSwap::Left FolderSwap::settle(const QString &target, const QString &id, bool committing)
{
    const QString aside = asideOf(target, id);
    const QString work = workOf(target, id);
    // Once the commit has begun, the work folder leaves only by going in.
    const bool newIn = committing && !present(work) && present(target);
    // The target was renamed aside and the new folder never came in.
    if (!present(target) && present(aside))
        renamePath(aside, target);
    FileTree::remove(work);
    KillPoint::reach("folder.workRemoved");
    FileTree::remove(aside);
    DurableFile::syncFolder(QFileInfo(target).absolutePath());
    return newIn ? Left::New : present(target) ? Left::Old : Left::Nothing;
}

QList<FolderSwap::Mended> FolderSwap::recover(const QString &journals)
{
    QList<Mended> mended;
    DurableFile::removeTemporaries(journals);
    const QFileInfoList entries = QDir(journals).entryInfoList({u'*' + kJournalSuffix}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &entry : entries) {
        const QString id = entry.completeBaseName();
        if (!isId(id))
            continue;
        QFile journal(entry.filePath());
        QByteArrayList lines;
        if (journal.open(QIODevice::ReadOnly))
            lines = journal.read(4096).split('\n');
        journal.close();
        const QString target = QString::fromUtf8(lines.value(0));
        // A folder on a drive not there now is mended at a later start.
        if (!target.isEmpty() && !QFileInfo(QFileInfo(target).absolutePath()).isDir())
            continue;
        if (QDir::isAbsolutePath(target) && QDir::cleanPath(target) == target && target != u"/") {
            mended.append({target, settle(target, id, lines.value(1) == kCommitting)});
        }
        QFile::remove(entry.filePath());
    }
    return mended;
}
