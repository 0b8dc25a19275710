#pragma once

#include "xls/support/IndependentReaders.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

// Converts a batch of documents to UTF-8 text with one LibreOffice run and
// returns the text of each by its input path (empty when it was not converted).
inline QHash<QString, QString> libreOfficeText(const QStringList &files, const QString &workDir)
{
    const QString out = QDir(workDir).filePath(QStringLiteral("lo-text"));
    QDir().mkpath(out);
    IndependentReaders::convertWithSoffice(files, out, QStringLiteral("txt:Text (encoded):UTF8"));
    QHash<QString, QString> texts;
    for (const QString &f : files) {
        QFile t(QDir(out).filePath(QFileInfo(f).completeBaseName() + QStringLiteral(".txt")));
        if (t.open(QIODevice::ReadOnly))
            texts.insert(f, QString::fromUtf8(t.readAll()));
    }
    return texts;
}
