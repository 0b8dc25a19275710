// Fills arbitrary template bytes with arbitrary keys and values: the filler
// must end and must not crash, whatever it is fed.
#include "documents/RTFReplace.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // Layout: template, then NUL-separated key/value texts.
    const QList<QByteArray> parts = input.split('\0');
    {
        QFile t(dir.filePath("t.rtf"));
        if (!t.open(QIODevice::WriteOnly))
            return 0;
        t.write(parts.value(0));
    }
    TRTFReplace rtf;
    rtf.RTFSursa = dir.filePath("t.rtf");
    rtf.RTFDest = dir.filePath("o.rtf");
    auto addKeys = [&] {
        for (qsizetype i = 1; i + 1 < parts.size() && i < 40; i += 2)
            rtf.AdaugaCheie(QString::fromLatin1(parts[i]), QString::fromUtf8(parts[i + 1]));
    };
    try {
        if (rtf.IncepeDocument()) {
            addKeys();
            rtf.AdaugaPagini(2);
            rtf.PaginaNoua();
            rtf.InchideDocument();
        }
        addKeys();
        rtf.CompleteazaDocument(QStringLiteral("Anexa"));
        rtf.InchideDocument();
    } catch (const EInOutError &) {
    }
    return 0;
}
