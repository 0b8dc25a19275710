#pragma once

#include <QString>
#include <QStringList>

// The templates and files the program carries as Qt resources under
// ":/<type>/<file>"; a resource is named by its file's base name, and names
// and types are matched without regard to case.
class ResourceStore
{
public:
    // The resource path of name/type; empty when the program carries none.
    static QString find(const QString &name, const QString &type);
    // Writes the resource to the file, replacing an existing file (temporary
    // name + rename). Throws CoreError when the resource is missing or the
    // file cannot be written.
    static void extract(const QString &name, const QString &type, const QString &path);

    // The templates every build carries: the documents made here need them.
    static const QStringList &carriedTemplates();
    // The editable templates written into the data folder when missing.
    static const QStringList &editableTemplates();
    // Writes every editable template the data folder lacks and the program
    // carries; returns the names written.
    static QStringList extractMissing(const QString &dataDir);
    // The carried templates that neither the data folder nor the program
    // holds: a build that lost its resources.
    static QStringList unavailable(const QString &dataDir);
};
