#pragma once

#include <QDir>
#include <QHash>
#include <QProcess>
#include <QStringList>
#include <QUuid>

// Converts a batch of documents to UTF-8 text with one LibreOffice run and
// returns the text of each by its input path (empty when it was not converted).
inline QHash<QString, QString> libreOfficeText(const QStringList &files, const QString &workDir)
{
    const QString out = QDir(workDir).filePath(QStringLiteral("lo-text"));
    QDir().mkpath(out);
    const QString profile = QStringLiteral("file:///tmp/kestrun-lo-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
    QProcess lo;
    lo.start(QStringLiteral("soffice"),
             QStringList{QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                         QStringLiteral("--convert-to"), QStringLiteral("txt:Text (encoded):UTF8"),
                         QStringLiteral("--outdir"), out} + files);
    lo.waitForFinished(300000);
    QHash<QString, QString> texts;
    for (const QString &f : files) {
        QFile t(QDir(out).filePath(QFileInfo(f).completeBaseName() + QStringLiteral(".txt")));
        if (t.open(QIODevice::ReadOnly))
            texts.insert(f, QString::fromUtf8(t.readAll()));
    }
    return texts;
}
