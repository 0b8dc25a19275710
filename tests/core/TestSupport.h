#pragma once

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <memory>
#include <ostream>

// One QApplication for the whole test program.
inline QApplication &testApp()
{
    static int argc = 1;
    static char name[] = "test";
    static char *argv[] = {name, nullptr};
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

// A scratch folder <tag>-XXXXXX under KESTRUN_TEST_TMP (or the system's), removed afterwards.
inline std::unique_ptr<QTemporaryDir> scratchDir(const char *tag = "core")
{
    const QByteArray base = qgetenv("KESTRUN_TEST_TMP");
    if (!base.isEmpty())
        QDir().mkpath(QString::fromLocal8Bit(base));
    const QString parent = base.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(base);
    return std::make_unique<QTemporaryDir>(parent + u'/' + QLatin1String(tag) + QStringLiteral("-XXXXXX"));
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file and folder below root, hidden ones too, with its bytes.
inline QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> s;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        s.insert(QDir(root).relativeFilePath(path),
                 it.fileInfo().isDir() ? QByteArray("<folder>") : f.open(QIODevice::ReadOnly) ? f.readAll() : "<?>");
    }
    return s;
}

// Readable QString values in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
