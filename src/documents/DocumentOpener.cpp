#include "documents/DocumentOpener.h"

#include "core/Erori.h"
#include "platform/shell/Shell.h"

#include <QDir>

bool DocumentOpener::open(const QString &path)
{
    if (Shell::instance().openDocument(path))
        return true;
    TErori::Mesaj(QStringLiteral("Deschidere document"),
                  QStringLiteral("Documentul a fost salvat in %1.").arg(QDir::toNativeSeparators(path)), 2,
                  TErori::OK);
    return false;
}

bool DocumentOpener::openFolder(const QString &path)
{
    if (Shell::instance().openFolder(path))
        return true;
    TErori::Mesaj(QStringLiteral("Deschidere director"),
                  QStringLiteral("Fisierele au fost salvate in %1.").arg(QDir::toNativeSeparators(path)), 2,
                  TErori::OK);
    return false;
}
