#include "documents/DocumentFolder.h"

#include "core/Form1.h"
#include "core/Form3.h"
#include "documents/DocumentError.h"
#include "platform/io/DurableFile.h"
#include "platform/profile/AppFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>

namespace {

constexpr int kMaxCopies = 10000;

// What the clerk typed into a number must not reach outside the folder.
QString safeName(QString name)
{
    for (QChar &c : name)
        if (c == u'/' || c == u'\\' || c == u':' || c < u' ')
            c = u'-';
    return name.trimmed();
}

} // namespace

QString DocumentFolder::month()
{
    const QString text = Form3().LunaLucru->text().trimmed();
    return TForm1::MonthIndex(text) == 0 ? QStringLiteral("Fara luna") : text;
}

QString DocumentFolder::folder()
{
    return AppFolders::documentsDir(Form1().AppDir()) + u'/' + month();
}

QString DocumentFolder::newPath(const QString &name, const QString &extension)
{
    const QString dir = folder();
    const bool made = !QFileInfo(dir).isDir();
    if (Form1().AppDir().isEmpty() || !QDir().mkpath(dir))
        throw DocumentError(QStringLiteral("Nu pot scrie pe harddisk! Nu pot crea directorul %1.")
                                .arg(QDir::toNativeSeparators(dir))
                                .toStdString());
    // A new month's folder must outlive a power cut as its documents do.
    if (made) {
        DurableFile::syncFolder(QFileInfo(dir).absolutePath());
        DurableFile::syncFolder(Form1().AppDir());
    }
    const QString stem = dir + u'/' + safeName(name);
    for (int copy = 1; copy <= kMaxCopies; ++copy) {
        const QString path = stem + (copy == 1 ? QString() : QStringLiteral(" (%1)").arg(copy)) + extension;
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            return path;
    }
    throw DocumentError(QStringLiteral("Nu pot scrie pe harddisk! Nu mai este niciun nume liber pentru %1 in %2.")
                            .arg(safeName(name) + extension, QDir::toNativeSeparators(dir))
                            .toStdString());
}
