#include "documents/DocumentPages.h"

#include "core/Erori.h"
#include "documents/RTFReplace.h"
#include "platform/sql/TDataSet.h"

#include <QDir>
#include <QFileInfo>

namespace DocumentPages {

void error(const QString &title, const QString &text)
{
    TErori::Mesaj(title, text, 1, TErori::OK);
}

bool begin(TRTFReplace &rtf, const QString &title)
{
    if (!QFileInfo(rtf.RTFSursa).isFile()) {
        error(title, QStringLiteral("Nu exista modelul %1!").arg(QDir::toNativeSeparators(rtf.RTFSursa)));
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
