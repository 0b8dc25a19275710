#include "documents/DocumentPages.h"

#include "core/Erori.h"
#include "documents/DocumentError.h"
#include "documents/DocumentFolder.h"
#include "documents/RTFReplace.h"
#include "platform/sql/TDataSet.h"

#include <QDir>
#include <QFileInfo>

namespace DocumentPages {

void error(const QString &title, const QString &text)
{
    TErori::Mesaj(title, text, 1, TErori::OK);
}

bool begin(TRTFReplace &rtf, const QString &title, const QString &name)
{
    if (!QFileInfo(rtf.RTFSursa).isFile()) {
        error(title, QStringLiteral("Nu exista modelul %1!").arg(QDir::toNativeSeparators(rtf.RTFSursa)));
        return false;
    }
    try {
        rtf.RTFDest = DocumentFolder::newPath(name, QStringLiteral(".rtf"));
    } catch (const DocumentError &e) {
        error(title, QString::fromUtf8(e.what()));
        return false;
    }
    if (!rtf.IncepeDocument()) {
        error(title, QStringLiteral("Nu pot scrie pe harddisk!"));
        return false;
    }
    return true;
}

void writeRows(TRTFReplace &rtf, TDataSet &rows, const std::function<void()> &addKeys)
{
    while (!rows.Eof()) {
        addKeys();
        rtf.AdaugaPagini(1);
        rows.Next();
        if (!rows.Eof())
            rtf.PaginaNoua();
    }
}

} // namespace DocumentPages
