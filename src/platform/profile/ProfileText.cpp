#include "platform/profile/ProfileText.h"

#include "platform/codepage/Cp1250.h"
#include "platform/profile/ProfileError.h"

namespace {

bool isComment(const QString &trimmed)
{
    return trimmed.startsWith(u';');
}

bool hasLineBreak(const QString &s)
{
    return s.contains(u'\r') || s.contains(u'\n');
}

[[noreturn]] void badName(const char *what, const QString &name)
{
    throw ProfileError((QStringLiteral("Nume de %1 nepermis in fisierul de setari: \"%2\"")
                            .arg(QLatin1String(what), name))
                           .toStdString());
}

} // namespace

ProfileText ProfileText::parse(QByteArrayView bytes)
{
    ProfileText t;
    const QString text = Cp1250::decode(bytes);
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        t.m_lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        t.m_lines.append(text.mid(start));
    t.index();
    return t;
}

QByteArray ProfileText::toBytes() const
{
    QByteArray out;
    for (const QString &line : m_lines) {
        out += Cp1250::encode(line);
        out += "\r\n";
    }
    return out;
}

void ProfileText::index()
{
    m_sections.clear();
    qsizetype current = -1;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString trimmed = m_lines.at(i).trimmed();
        if (trimmed.startsWith(u'[')) {
            qsizetype close = trimmed.indexOf(u']');
            if (close < 0)
                close = trimmed.size();
            const QString name = trimmed.mid(1, close - 1).trimmed();
            // A repeated section adds nothing: lookups stop at the first one.
            if (findSection(name)) {
                current = -1;
                continue;
            }
            m_sections.append(Section{name, i, i, {}});
            current = m_sections.size() - 1;
            continue;
        }
        if (current < 0 || trimmed.isEmpty() || isComment(trimmed))
            continue;
        const qsizetype eq = trimmed.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString key = trimmed.left(eq).trimmed();
        Section &s = m_sections[current];
        if (key.isEmpty() || findEntry(s, key))
            continue;
        s.entries.append(Entry{key, i});
        s.lastEntry = i;
    }
}

const ProfileText::Section *ProfileText::findSection(const QString &name) const
{
    for (const Section &s : m_sections)
        if (s.name.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

const ProfileText::Entry *ProfileText::findEntry(const Section &s, const QString &key)
{
    for (const Entry &e : s.entries)
        if (e.key.compare(key, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

bool ProfileText::contains(const QString &section, const QString &key) const
{
    const Section *s = findSection(section.trimmed());
    return s && findEntry(*s, key.trimmed());
}

QString ProfileText::value(const QString &section, const QString &key, const QString &fallback) const
{
    const Section *s = findSection(section.trimmed());
    const Entry *e = s ? findEntry(*s, key.trimmed()) : nullptr;
    if (!e)
        return fallback;
    const QString &line = m_lines.at(e->line);
    return line.mid(line.indexOf(u'=') + 1).trimmed();
}

QStringList ProfileText::sections() const
{
    QStringList out;
    for (const Section &s : m_sections)
        out.append(s.name);
    return out;
}

QStringList ProfileText::keys(const QString &section) const
{
    QStringList out;
    if (const Section *s = findSection(section.trimmed()))
        for (const Entry &e : s->entries)
            out.append(e.key);
    return out;
}

void ProfileText::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString sec = section.trimmed();
    const QString k = key.trimmed();
    if (sec.isEmpty() || sec.contains(u']') || hasLineBreak(sec))
        badName("sectiune", section);
    if (k.isEmpty() || k.contains(u'=') || k.startsWith(u'[') || isComment(k) || hasLineBreak(k))
        badName("cheie", key);
    // A line break in a value would start a new line of its own in the file.
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' ');

    const Section *s = findSection(sec);
    if (const Entry *e = s ? findEntry(*s, k) : nullptr) {
        // The key keeps its spelling, so a rewrite changes only the value.
        m_lines[e->line] = e->key + u'=' + v;
    } else if (s) {
        m_lines.insert(s->lastEntry + 1, k + u'=' + v);
    } else {
        m_lines.append(u'[' + sec + u']');
        m_lines.append(k + u'=' + v);
    }
    index();
}

bool ProfileText::removeKey(const QString &section, const QString &key)
{
    const Section *s = findSection(section.trimmed());
    const Entry *e = s ? findEntry(*s, key.trimmed()) : nullptr;
    if (!e)
        return false;
    m_lines.removeAt(e->line);
    index();
    return true;
}
