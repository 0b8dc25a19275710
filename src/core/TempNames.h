#pragma once

#include <QSet>
#include <QString>

// Hands out temporary file names <folder>/<prefix><n><extension>, n from 0
// to 999. A name is never handed out twice in one run: the file may still be
// open in a viewer even when it could be deleted.
class TempNames
{
public:
    explicit TempNames(QString folder = {});

    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }

    // The first free name, creating the folder when missing; an existing file
    // of a fresh name is deleted first. Empty when none is free.
    QString next(const QString &prefix, const QString &extension);

    static constexpr int Limit = 1000;

private:
    QString m_folder;
    QSet<QString> m_handedOut;
};
