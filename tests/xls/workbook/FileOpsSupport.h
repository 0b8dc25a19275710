#pragma once

// Shared by the file object's operation tests: open a fixture, catch the
// engine's message, save and read back with xlrd.
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

// The message of the EExcelException that action raises; "" when none.
inline QString ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EExcelException &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
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

}  // namespace FileOps
