#include "documents/RTFReplace.h"

#include "documents/DocumentOpener.h"
#include "platform/codepage/Cp1250.h"
#include "platform/io/DurableFile.h"
#include "platform/io/FileWriteError.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kMaxTemplateSize = 64 * 1024 * 1024;
const QByteArray kPard = QByteArrayLiteral("\\pard");
const QByteArray kEmptyValue(TRTFReplace::EmptyValue);

QByteArray asciiUpper(QByteArray s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Lines as ReadLn sees them: split at LF, a CR before it dropped.
QList<QByteArray> splitLines(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the break after the last line opens no new line
    for (QByteArray &l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    return lines;
}

QByteArray withBreak(const QByteArray &line)
{
    return line + "\r\n";
}

// Finds key in upper (the upper-cased line) at or after from, skipping any
// match that overlaps text a value brought in, so inserted text is never
// matched again.
qsizetype findOutsideInserted(const QByteArray &upper, const QByteArray &key, qsizetype from,
                              const std::vector<bool> &inserted)
{
    if (key.isEmpty())
        return -1;
    for (qsizetype p = upper.indexOf(key, from); p >= 0; p = upper.indexOf(key, p + 1)) {
        bool clean = true;
        for (qsizetype k = p; k < p + key.size() && clean; ++k)
            clean = !inserted[static_cast<size_t>(k)];
        if (clean)
            return p;
    }
    return -1;
}

// Replaces line[p, p+len) by value, keeping the upper-cased copy and the
// inserted-text mask in step.
void splice(QByteArray &line, QByteArray &upper, std::vector<bool> &inserted, qsizetype p,
            qsizetype len, const QByteArray &value)
{
    line.replace(p, len, value);
    upper.replace(p, len, asciiUpper(value));
    inserted.erase(inserted.begin() + p, inserted.begin() + p + len);
    inserted.insert(inserted.begin() + p, static_cast<size_t>(value.size()), true);
}

QByteArray trimmed(const QByteArray &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.mid(b, e - b);
}

} // namespace

TRTFReplace::TRTFReplace(QObject *parent) : QObject(parent) {}
TRTFReplace::~TRTFReplace() = default;

QByteArray TRTFReplace::escapeValue(const QString &value)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        char b;
        if (c == u'{') {
            out += '(';
        } else if (c == u'}') {
            out += ')';
        } else if (c == u'\\') {
            out += "\\\\";
        } else if (Cp1250::fromUnicode(c, &b)) {
            if (static_cast<unsigned char>(b) == 0xAA)
                out += "\\'aa";
            else if (static_cast<unsigned char>(b) == 0xDE)
                out += "\\'de";
            else
                out += b;
        } else {
            // RTF's \u takes a signed 16-bit number; '?' is the fallback for
            // readers without Unicode.
            char32_t code = c.unicode();
            if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate())
                code = QChar::surrogateToUcs4(c, value[++i]);
            auto unit = [&out](char16_t u) {
                out += "\\u" + QByteArray::number(static_cast<qint16>(u)) + '?';
            };
            if (code > 0xFFFF) {
                unit(QChar::highSurrogate(code));
                unit(QChar::lowSurrogate(code));
            } else {
                unit(static_cast<char16_t>(code));
            }
        }
    }
    return out;
}

QList<QByteArray> TRTFReplace::readTemplate() const
{
    QFile f(RTFSursa);
    if (!f.open(QIODevice::ReadOnly))
        throw EInOutError("Nu pot citi sablonul " + RTFSursa.toStdString());
    if (f.size() > kMaxTemplateSize)
        throw EInOutError("Sablonul este prea mare: " + RTFSursa.toStdString());
    return splitLines(f.readAll());
}

const QList<QByteArray> &TRTFReplace::templateLines()
{
    if (m_templateOf.isEmpty() || m_templateOf != RTFSursa) {
        m_template = readTemplate();
        m_templateOf = RTFSursa;
    }
    return m_template;
}

void TRTFReplace::forgetTemplate()
{
    m_template.clear();
    m_templateOf.clear();
}

void TRTFReplace::appendToDest(const QByteArray &bytes)
{
    if (!m_dest || m_dest->target() != QFileInfo(RTFDest).absoluteFilePath())
        throw EInOutError("Nu pot scrie fisierul " + RTFDest.toStdString() + ": documentul nu a fost inceput.");
    try {
        FileWriteError::as<EInOutError>([&] { m_dest->write(bytes); });
    } catch (...) {
        m_dest.reset();
        throw;
    }
}

bool TRTFReplace::IncepeDocument()
{
    forgetTemplate();
    m_dest.reset();
    if (RTFSursa.isEmpty() || !QFileInfo(RTFSursa).isFile())
        return false;
    QList<QByteArray> lines;
    try {
        lines = readTemplate();
    } catch (const EInOutError &) {
        return false;
    }

    QByteArray header;
    bool found = false;
    for (const QByteArray &line : lines) {
        const qsizetype p = line.indexOf(kPard);
        if (p < 0) {
            header += withBreak(line);
            continue;
        }
        const QByteArray before = trimmed(line.left(p));
        if (!before.isEmpty())
            header += withBreak(before);
        found = true;
        break;
    }
    // An empty template, or one without a body, gives no document at all.
    if (!found) {
        QFile::remove(RTFDest);
        return false;
    }
    try {
        m_dest = std::make_unique<DurableFile>(RTFDest);
        m_dest->write(header);
    } catch (const FileWriteError &) {
        m_dest.reset();
        return false;
    }
    // The pages of this document are filled from these same lines.
    m_template = lines;
    m_templateOf = RTFSursa;
    m_closedByTemplate = false;
    StergeChei();
    return true;
}

void TRTFReplace::AdaugaCheie(const QString &key, const QString &value)
{
    m_keys.append(key);
    m_values.append(value);
    m_keyMatch.push_back(asciiUpper(Cp1250::encode(key)));
}

void TRTFReplace::StergeChei()
{
    m_keys.clear();
    m_values.clear();
    m_keyMatch.clear();
    m_run = -1; // a run points into the lists just emptied
}

int TRTFReplace::NumaraAcolade(const QByteArray &line)
{
    return static_cast<int>(line.count('{') - line.count('}'));
}

QByteArray TRTFReplace::valueBytes(int i, bool upper) const
{
    const QString &v = m_values[i];
    if (v.isEmpty())
        return kEmptyValue;
    return escapeValue(upper ? v.toUpper() : v);
}

QByteArray TRTFReplace::InlocuiesteChei(QByteArray line)
{
    QByteArray upper = asciiUpper(line);
    std::vector<bool> inserted(static_cast<size_t>(line.size()), false);
    bool replaced = false;
    const int n = static_cast<int>(m_keys.size());
    for (int i = 0; i < n; ++i) {
        qsizetype p = findOutsideInserted(upper, m_keyMatch[i], 0, inserted);
        while (p >= 0) {
            replaced = true;
            if (m_run >= 0 && m_keys[m_run] == m_keys[i])
                i = m_run;
            const qsizetype len = m_keyMatch[i].size();
            const QByteArray m = line.mid(p, len);
            const bool upperValue = m.size() > 4 && m == asciiUpper(m);
            const QByteArray v = valueBytes(i, upperValue);
            splice(line, upper, inserted, p, len, v);
            p = findOutsideInserted(upper, m_keyMatch[i], p + v.size(), inserted);

            int r = 1;
            while (i + r < n && m_keys[i + r] == m_keys[i])
                ++r;
            if (r == 1 && m_run >= 0 && m_keys[m_run] == m_keys[i]) {
                m_run = -1;
            } else if (r > 1) {
                m_run = i + 1;
                i = i + r - 1;
            }
        }
    }
    if (!replaced)
        m_run = -1;
    return line;
}

void TRTFReplace::AdaugaPagini(int count)
{
    // The pages of one document share the template read when it began.
    const QList<QByteArray> &lines = templateLines();
    qsizetype start = 0;
    while (start < lines.size() && !lines[start].contains(kPard))
        ++start;
    QByteArray out;
    for (int c = 1; c <= count && start < lines.size(); ++c) {
        if (c > 1)
            out += withBreak("\\page");
        out += filledBody(lines, start);
    }
    appendToDest(out);
    StergeChei();
}

QByteArray TRTFReplace::filledBody(const QList<QByteArray> &lines, qsizetype k)
{
    QByteArray out;
    QByteArray line = lines[k].mid(lines[k].indexOf(kPard));
    int depth = NumaraAcolade(line) + 1;
    int depthBefore = 1; // depth before the current line
    while (k + 1 < lines.size() && depth > 0) {
        if (!line.isEmpty()) {
            // A line holding a run's key is written once per remaining
            // value; two runs on one line could reset each other forever,
            // so the repetition is bounded by the number of values.
            int rounds = 0;
            do {
                out += withBreak(InlocuiesteChei(line));
            } while (m_run >= 0 && ++rounds < m_keys.size());
            m_run = -1;
        }
        line = lines[++k];
        depthBefore = depth;
        depth += NumaraAcolade(line);
    }
    // The last line read: cut it at the brace that closes the document.
    QByteArray last = line;
    if (depth <= 0) {
        int d = depthBefore;
        for (qsizetype j = 0; j < last.size(); ++j) {
            if (last[j] == '{')
                ++d;
            else if (last[j] == '}' && --d == 0) {
                last.truncate(j);
                break;
            }
        }
    }
    last = trimmed(last);
    if (!last.isEmpty())
        out += withBreak(InlocuiesteChei(last));
    m_run = -1;
    return out;
}

void TRTFReplace::CompleteazaDocument(const QString &anchor)
{
    // A whole document in one pass: the template as it is now.
    const QList<QByteArray> lines = readTemplate();
    const QByteArray anchorBytes = Cp1250::encode(anchor);
    // A repeated key is filled by its first entry; each value is escaped once.
    std::vector<std::pair<QByteArray, QByteArray>> fills;
    for (int i = 0; i < m_keys.size(); ++i)
        if (m_keys.indexOf(m_keys[i]) == i)
            fills.emplace_back(m_keyMatch[i], escapeValue(m_values[i]));
    QByteArray out;
    bool filling = false;
    for (const QByteArray &src : lines) {
        if (!filling && src.contains(anchorBytes))
            filling = true;
        if (!filling) {
            out += withBreak(src);
            continue;
        }
        QByteArray line = src;
        QByteArray upper = asciiUpper(line);
        std::vector<bool> inserted(static_cast<size_t>(line.size()), false);
        for (const auto &[key, v] : fills)
            for (qsizetype p = findOutsideInserted(upper, key, 0, inserted); p >= 0;
                 p = findOutsideInserted(upper, key, p + v.size(), inserted))
                splice(line, upper, inserted, p, key.size(), v);
        out += withBreak(line);
    }
    // This whole document takes the place of one begun before it.
    m_dest.reset();
    FileWriteError::as<EInOutError>([&] { DurableFile::save(RTFDest, out); });
    m_closedByTemplate = true;
    StergeChei();
}

void TRTFReplace::PaginaNoua()
{
    appendToDest(withBreak(" \\par \\page "));
    StergeChei();
}

void TRTFReplace::InchideDocument()
{
    // After CompleteazaDocument the template's own closing brace is there.
    if (!m_closedByTemplate)
        appendToDest(withBreak("}"));
    m_closedByTemplate = false;
    forgetTemplate();
    StergeChei();
    if (const std::unique_ptr<DurableFile> dest = std::move(m_dest))
        FileWriteError::as<EInOutError>([&] { dest->commit(); });
}

void TRTFReplace::DeschideRezultat(bool /*useWord*/)
{
    if (RTFDest.isEmpty())
        return;
    const QFileInfo fi(RTFDest);
    if (fi.isRelative() || !fi.isFile())
        return;
    DocumentOpener::open(fi.absoluteFilePath());
}
