#pragma once

#include <QHash>
#include <QString>

// Hands out temporary file names <folder>/<prefix><n><extension>, n from 0
// to 999. A file may still be open in a viewer even when it could be deleted,
// so a name handed out in this run is given again only once all thousand are
// spent, and then the longest-unused one that no office program holds open.
class TempNames
{
public:
    explicit TempNames(QString folder = {});

    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }

    // A free name, creating the folder when missing; an existing file of the
    // name is deleted first. Empty when none is free.
    QString next(const QString &prefix, const QString &extension);

    static constexpr int Limit = 1000;

private:
    bool claim(const QString &path);
    QString reuseOldest(const QString &prefix, const QString &extension);

    QString m_folder;
    QHash<QString, quint64> m_handedOut; // path -> order it was handed out in
    quint64 m_count = 0;
};
