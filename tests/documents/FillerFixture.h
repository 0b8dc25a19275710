#pragma once

#include "core/Form1.h"
#include "platform/shell/RecordingShell.h"
#include "xls/support/IndependentReaders.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

// A scratch program folder for each test, the filler's temporary names inside
// it and a recording desktop. Templates are copied in, so a test never
// touches the committed ones.
class FillerFixture
{
public:
    FillerFixture()
        : m_dir(IndependentReaders::scratchDir(QStringLiteral("filler"))), m_shell(std::make_unique<ScopedShell>(shell))
    {
        Form1().setFolders(m_dir + QStringLiteral("/app"), m_dir + QStringLiteral("/data"),
                           m_dir + QStringLiteral("/temp"));
    }

    static QString committed(const QString &relative)
    {
        return QStringLiteral(KESTRUN_SOURCE_DIR "/") + relative;
    }
    static QString statSource() { return committed(QStringLiteral("resources/templates/Stat.xls")); }
    static QString registerSource() { return committed(QStringLiteral("tests/documents/templates/Registru.xlsx")); }
    static QString premierSource() { return committed(QStringLiteral("resources/templates/PREMIER.xlsx")); }

    // A copy of a template in the scratch folder.
    QString copy(const QString &source, const QString &name = {}) const
    {
        const QString target = m_dir + u'/' + (name.isEmpty() ? QFileInfo(source).fileName() : name);
        QFile::remove(target);
        if (!QFile::copy(source, target))
            ADD_FAILURE() << "cannot copy " << source.toStdString();
        return target;
    }
    QString file(const QString &name, const QByteArray &bytes) const
    {
        const QString path = m_dir + u'/' + name;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            ADD_FAILURE() << "cannot write " << path.toStdString();
        return path;
    }
    QString dir() const { return m_dir; }

    RecordingShell shell;

private:
    QString m_dir;
    std::unique_ptr<ScopedShell> m_shell;
};
