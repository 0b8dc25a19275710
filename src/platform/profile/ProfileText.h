#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The text of an INI file with the profile-file rules of the office's old
// Windows program: section and key names compared without regard to case,
// blanks around names and values dropped, the first "=" splitting key and
// value, values taken as they stand (no quoting or escapes), the first of
// duplicate sections and keys winning. Lines that are neither section heads
// nor keys (comments, blank lines, stray text) are kept as they are, so a
// rewrite changes only the line it must.
class ProfileText
{
public:
    ProfileText() = default;

    // CP1250 bytes with CR LF, LF or CR line ends.
    static ProfileText parse(QByteArrayView bytes);
    // CP1250 with CR LF after every line.
    QByteArray toBytes() const;

    bool contains(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key, const QString &fallback = {}) const;
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    // Replace the key's line, or add it at the end of its section (the
    // section at the end of the text when missing). Throws ProfileError for
    // a name that cannot stand in the file.
    void setValue(const QString &section, const QString &key, const QString &value);
    // True when a line was removed.
    bool removeKey(const QString &section, const QString &key);

    const QStringList &lines() const { return m_lines; }

private:
    struct Entry
    {
        QString key;
        int line;
    };
    struct Section
    {
        QString name;
        int head;               // line of "[name]"
        int lastEntry;          // where a new key goes after
        QVector<Entry> entries; // first of each key only
    };

    void index();
    const Section *findSection(const QString &name) const;
    static const Entry *findEntry(const Section &s, const QString &key);

    QStringList m_lines;
    QVector<Section> m_sections;
};
