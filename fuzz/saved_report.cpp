// Hostile saved reports: opening one and reading every page must end with the
// pages or an EBRError, never a crash, a loop or an unbounded allocation.
#include "reports/eval/BRError.h"
#include "reports/pages/BRPageList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = QDir::tempPath() + QStringLiteral("/kestrun-fuzz-%1.brp").arg(QCoreApplication::applicationPid());
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    TBRPageList list;
    try {
        list.LoadFromFile(path);
        for (int n = 1; n <= list.PageCount(); ++n) {
            try {
                const auto page = list.ReadPage(n);
                if (!page)
                    __builtin_trap();
                page->Texts();
            } catch (const EBRError &) {
            }
        }
    } catch (const EBRError &) {
    }
    QFile::remove(path);
    return 0;
}
