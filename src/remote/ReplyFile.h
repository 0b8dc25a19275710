#pragma once

#include "platform/io/KestrunError.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class ReplyError : public KestrunError
{
public:
    using KestrunError::KestrunError;
};

// The backup server's reply: text lines up to "/END", then the attachments
// the "#ATTACH <name> : <size>" lines announce, their bytes one after another
// to the end of the file. Read and checked whole before anything is written:
// every name a plain file name, every size a number, the sizes adding up to
// exactly the bytes after "/END".
class ReplyFile
{
public:
    struct Attachment
    {
        QString name;
        qint64 size = 0;
        qint64 offset = 0; // in the reply file
        int line = 0;      // index of its #ATTACH line
    };

    QStringList lines; // the lines before "/END"
    QList<Attachment> attachments;

    // The text part is no longer than this.
    static constexpr qint64 MaxHead = 1 << 20;
    // At most this much of an argument is kept.
    static constexpr int MaxArgument = 1000;

    // `head` holds the file's first bytes (all of them, or at least MaxHead).
    static ReplyFile parse(QByteArrayView head, qint64 fileSize);
    static ReplyFile read(const QString &path);

    // A line's keyword (trimmed, upper-case, before the first blank) and its
    // argument (the trimmed rest); a line without a blank is its own keyword, as it stands.
    static std::pair<QString, QString> split(const QString &line);
    // A name the reply may write into the temporary folder.
    static bool isSafeName(const QString &name);
};
