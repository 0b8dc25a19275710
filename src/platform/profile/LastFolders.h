#pragma once

#include <QString>

// The folder last used for each kind of file or folder a chooser asks for,
// kept across runs in the machine-level store, so the next chooser of that
// kind opens there.
class LastFolders
{
public:
    static inline const QString Section = QStringLiteral("DIRECTOARE");

    // Empty when none is kept or it is no longer there.
    static QString folder(const QString &kind);
    static void remember(const QString &kind, const QString &folder);

    // The settings key of a kind: its letters and digits, "_" for the rest.
    static QString key(const QString &kind);
};
