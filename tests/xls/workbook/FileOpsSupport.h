#pragma once

// Shared by the file object's operation tests: open a fixture, catch the
// engine's message, save and read back with xlrd.
#include "xls/support/ErrorOf.h"
#include "xls/support/IndependentReaders.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"
#include "xls/storage/Ole2Storage.h"
#include "xls/storage/Ole2Stream.h"
#include "xls/storage/XlsStorageList.h"
#include "xls/workbook/XLSFile.h"

#include <QBuffer>

#include <QProcess>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace FileOps {

inline QString XlsFixture(const QString &name)
{
    return IndependentReaders::fixture(name);
}

inline std::unique_ptr<TXLSFile> OpenBook(const QString &path)
{
    auto file = std::make_unique<TXLSFile>(nullptr, true);
    file->Connect();
    file->OpenFile(path);
    return file;
}

inline std::unique_ptr<TXLSFile> NewBook(int sheets = 1)
{
    auto file = std::make_unique<TXLSFile>(nullptr, true);
    file->Connect();
    file->NewFile(sheets);
    return file;
}

// A record as it stands in a stream: id, size, data.
inline QByteArray BiffRecord(quint16 id, const QByteArray &data)
{
    QByteArray out(4, '\0');
    WriteWord(out, 0, id);
    WriteWord(out, 2, static_cast<quint16>(data.size()));
    return out + data;
}

// The "Workbook" stream of a file.
inline QByteArray WorkbookStreamOf(const QString &path)
{
    TXlsStorageList storage;
    storage.LoadFromFile(path);
    return storage.FindStream(u"Workbook")->Data();
}

// A file object over a document holding the stream as its "Workbook".
inline std::unique_ptr<TXLSFile> OpenWorkbookStream(const QByteArray &stream)
{
    TOle2Storage document;
    document.CreateStream(QStringLiteral("Workbook")).SetData(stream);
    QByteArray bytes = document.ToBytes();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    auto file = std::make_unique<TXLSFile>(nullptr, true);
    file->Connect();
    file->OpenStream(buffer);
    return file;
}


// Saves into a fresh scratch folder and returns the path.
inline QString SaveScratch(TXLSFile &file, const QString &test)
{
    const QString path = IndependentReaders::scratchDir(test) + QStringLiteral("/book.xls");
    file.Save(path);
    return path;
}

// Runs a short xlrd script on a file (as sys.argv[1]) and returns its output.
inline QString Xlrd(const QString &file, const QString &script)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, file});
    p.waitForFinished(60000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The output of script lines run with s, the first sheet as xlrd reads it
// with its formatting.
inline QString XlrdFirstSheet(const QString &file, const QString &lines)
{
    return Xlrd(file, QStringLiteral("import sys, xlrd\n"
                                     "s = xlrd.open_workbook(sys.argv[1], formatting_info=True).sheet_by_index(0)\n")
                          + lines);
}

// The workbook stream with a chart sheet "Grafic" after its first sheet: an
// entry of chart type in the globals and a chart substream of BOF and EOF.
inline QByteArray WithChartSheet(const QByteArray &stream)
{
    QByteArray entry(6, '\0');
    WriteWord(entry, 4, 0x0200);
    entry += char(6);
    entry += char(0);
    entry += QByteArray("Grafic");
    QByteArray bof(16, '\0');
    WriteWord(bof, 0, 0x0600);
    WriteWord(bof, 2, 0x0020);

    QByteArray out;
    bool added = false;
    for (qsizetype pos = 0; pos + 4 <= stream.size();) {
        const quint16 id = ReadWord(stream, pos);
        const qsizetype size = 4 + ReadWord(stream, pos + 2);
        out += stream.mid(pos, size);
        if (id == 0x0085 && !added) {
            out += BiffRecord(0x0085, entry);
            added = true;
        }
        pos += size;
    }
    return out + BiffRecord(0x0809, bof) + BiffRecord(0x000A, {});
}

}  // namespace FileOps
