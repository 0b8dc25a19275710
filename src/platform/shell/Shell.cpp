#include "platform/shell/Shell.h"

#include "platform/io/FileTree.h"
#include "platform/shell/ChooserDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

#include <utility>

namespace {

ShellInterface *g_override = nullptr;

bool openLocal(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

} // namespace

ShellInterface &Shell::instance()
{
    static Shell real;
    return g_override ? *g_override : real;
}

ShellInterface *Shell::setInstance(ShellInterface *shell)
{
    return std::exchange(g_override, shell);
}

bool Shell::openDocument(const QString &path)
{
    return openLocal(path);
}

bool Shell::openFolder(const QString &path)
{
    return openLocal(path);
}

QString Shell::chooseFolder(const QString &prompt, const QString &start)
{
    const auto dialog = ChooserDialog::folder(QApplication::activeWindow(), prompt, start);
    return ChooserDialog::run(*dialog, prompt);
}

bool Shell::deleteTree(const QString &path)
{
    return removePath(path);
}

bool Shell::removePath(const QString &path)
{
    // An empty path would mean the current folder to QDir.
    if (path.trimmed().isEmpty())
        return false;
    const QFileInfo info(path);
    const QString abs = QDir::cleanPath(info.absoluteFilePath());
    if (abs == QDir::rootPath() || abs == QDir::cleanPath(QDir::homePath()))
        return false;
    return FileTree::remove(abs);
}
