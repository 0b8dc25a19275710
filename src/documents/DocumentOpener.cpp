#include "documents/DocumentOpener.h"

#include "core/Erori.h"
#include "platform/shell/Shell.h"

#include <QDir>

namespace {

// When nothing opened it, the clerk is told where the file or folder is.
bool toldWhere(bool opened, const QString &caption, const QString &text, const QString &path)
{
    if (!opened)
        TErori::Mesaj(caption, text.arg(QDir::toNativeSeparators(path)), 2, TErori::OK);
    return opened;
}

} // namespace

bool DocumentOpener::open(const QString &path)
{
    return toldWhere(Shell::instance().openDocument(path), QStringLiteral("Deschidere document"),
                     QStringLiteral("Documentul a fost salvat in %1."), path);
}

bool DocumentOpener::openFolder(const QString &path)
{
    return toldWhere(Shell::instance().openFolder(path), QStringLiteral("Deschidere director"),
                     QStringLiteral("Fisierele au fost salvate in %1."), path);
}
