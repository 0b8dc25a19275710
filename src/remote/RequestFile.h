#pragma once

#include <QString>
#include <QStringList>

class DurableFile;

// The request sent to the backup server: the command lines, one
// "#ATTACH <name> : <size>" line per attachment that exists, "/END", then the
// attachments' bytes one after another. Lines end in CR LF; text is CP1250.
class RequestFile
{
public:
    // Writes the request durably; throws FileWriteError, or CoreError when an
    // attachment cannot be read whole.
    static void write(const QString &path, const QStringList &commands, const QStringList &attachments);
    // Appends exactly `size` bytes of the file (a file that changed meanwhile raises CoreError).
    static void appendFile(DurableFile &out, const QString &path, qint64 size);
};
