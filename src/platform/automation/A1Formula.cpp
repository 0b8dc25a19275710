#include "platform/automation/A1Formula.h"

#include <algorithm>
#include <functional>

namespace {

struct Ref
{
    bool colAbs = false, rowAbs = false;
    int col = 0; // 0 when the reference names whole rows
    int row = 0; // 0 when the reference names whole columns
};

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'\\';
}

// Parses [$]COL[$]ROW, [$]COL or [$]ROW at pos; advances pos on success.
bool parseRef(const QString &s, qsizetype &pos, Ref &r, bool allowColOnly, bool allowRowOnly)
{
    qsizetype p = pos;
    Ref out;
    if (p < s.size() && s[p] == u'$') {
        out.colAbs = true;
        ++p;
    }
    const qsizetype colStart = p;
    while (p < s.size() && p - colStart < 3 && s[p].isLetter() && s[p].unicode() < 128)
        ++p;
    if (p > colStart) {
        out.col = A1Formula::columnNumber(QStringView(s).mid(colStart, p - colStart));
        if (out.col == 0 || out.col > A1Formula::kMaxCol)
            return false;
    } else if (out.colAbs) {
        // "$5" is a row-only reference with an absolute row.
        out.colAbs = false;
        out.rowAbs = true;
    }
    if (p < s.size() && s[p] == u'$' && !out.rowAbs) {
        out.rowAbs = true;
        ++p;
    }
    const qsizetype rowStart = p;
    while (p < s.size() && s[p].isDigit() && s[p].unicode() < 128 && p - rowStart < 8)
        ++p;
    if (p > rowStart) {
        bool ok = false;
        out.row = QStringView(s).mid(rowStart, p - rowStart).toInt(&ok);
        if (!ok || out.row < 1)
            return false;
    }
    if (out.col == 0 && out.row == 0)
        return false;
    if (out.row == 0 && (!allowColOnly || out.rowAbs))
        return false;
    if (out.col == 0 && !allowRowOnly)
        return false;
    pos = p;
    r = out;
    return true;
}

QString refText(const Ref &r)
{
    QString t;
    if (r.col) {
        if (r.colAbs)
            t += u'$';
        t += A1Formula::columnLetters(r.col);
    }
    if (r.row) {
        if (r.rowAbs)
            t += u'$';
        t += QString::number(r.row);
    }
    return t;
}

// What to do with one reference or area; false turns it into #REF!.
using AreaFn = std::function<bool(Ref &first, Ref *last)>;

// Just past the closing quote of the string literal that opens at i ("" inside).
qsizetype stringLiteralEnd(const QString &f, qsizetype i)
{
    qsizetype j = i + 1;
    while (j < f.size()) {
        if (f[j] != u'"')
            ++j;
        else if (j + 1 < f.size() && f[j + 1] == u'"')
            j += 2;
        else
            return j + 1;
    }
    return j;
}

// Just past the name characters and "$" signs from i.
qsizetype wordEnd(const QString &f, qsizetype i)
{
    while (i < f.size() && (isNameChar(f[i]) || f[i] == u'$'))
        ++i;
    return i;
}

enum class Prefix { None, Sheet, QuotedText };

// Reads a sheet prefix at i: 'quoted name'! or name!. end comes back just past
// the "!" for a sheet, just past the closing quote for quoted text that names
// no sheet, and at i when there is no prefix.
Prefix readSheetPrefix(const QString &f, qsizetype i, QString &sheet, qsizetype &end)
{
    end = i;
    if (f[i] == u'\'') {
        qsizetype j = i + 1;
        QString name;
        while (j < f.size()) {
            if (f[j] == u'\'' && j + 1 < f.size() && f[j + 1] == u'\'') {
                name += u'\'';
                j += 2;
            } else if (f[j] == u'\'') {
                break;
            } else {
                name += f[j++];
            }
        }
        if (j + 1 < f.size() && f[j + 1] == u'!') {
            sheet = name;
            end = j + 2;
            return Prefix::Sheet;
        }
        end = j + 1;
        return Prefix::QuotedText;
    }
    const qsizetype j = wordEnd(f, i);
    if (j < f.size() && f[j] == u'!') {
        sheet = f.mid(i, j - i);
        end = j + 1;
        return Prefix::Sheet;
    }
    return Prefix::None;
}

// Reads a cell, an area, or whole rows or columns ("3:5", "A:C") at p, and
// advances p past it. False when the text there is no reference: a name or a
// function call.
bool readReference(const QString &f, qsizetype &p, Ref &first, Ref &last, bool &isArea)
{
    qsizetype q = p;
    if (!parseRef(f, q, first, true, true))
        return false;
    isArea = false;
    if (q < f.size() && f[q] == u':') {
        qsizetype r = q + 1;
        if (parseRef(f, r, last, true, true) && (first.row == 0) == (last.row == 0)
            && (first.col == 0) == (last.col == 0)) {
            isArea = true;
            q = r;
        }
    }
    // Whole rows or columns only make sense as areas.
    if (!isArea && (first.row == 0 || first.col == 0))
        return false;
    // Followed by a name character or "(" it was a name or a function.
    if (q < f.size() && (isNameChar(f[q]) || f[q] == u'(' || f[q] == u'!'))
        return false;
    p = q;
    return true;
}

// Walks the formula text and rewrites every reference through fn. applies
// tells, from the sheet the reference names (none when it names no sheet),
// whether fn should see it.
QString rewrite(const QString &f, const std::function<bool(const QString *sheet)> &applies, const AreaFn &fn)
{
    QString out;
    out.reserve(f.size() + 8);
    qsizetype i = 0;
    while (i < f.size()) {
        const QChar c = f[i];
        if (c == u'"') {
            const qsizetype j = stringLiteralEnd(f, i);
            out += f.mid(i, j - i);
            i = j;
            continue;
        }
        // Only a quote, a name character or "$" that starts a word can start a reference.
        if (c != u'\'' && (!(isNameChar(c) || c == u'$') || (i > 0 && isNameChar(f[i - 1])))) {
            out += c;
            ++i;
            continue;
        }
        QString sheet;
        qsizetype p = i;
        const Prefix kind = readSheetPrefix(f, i, sheet, p);
        const QString prefix = f.mid(i, p - i);
        if (kind == Prefix::QuotedText) {
            out += prefix;
            i = p;
            continue;
        }
        Ref first, last;
        bool isArea = false;
        if (!readReference(f, p, first, last, isArea)) {
            // Not a reference: copy the prefix and the word as they stand.
            const qsizetype j = std::max(wordEnd(f, p), i + 1);
            out += f.mid(i, j - i);
            i = j;
            continue;
        }
        i = p;
        if (applies(kind == Prefix::Sheet ? &sheet : nullptr) && !fn(first, isArea ? &last : nullptr)) {
            out += prefix + QStringLiteral("#REF!");
            continue;
        }
        out += prefix + refText(first);
        if (isArea)
            out += u':' + refText(last);
    }
    return out;
}

bool moveRow(int &row, int at, int count)
{
    if (row == 0 || row < at)
        return true;
    row += count;
    return row >= 1 && row <= A1Formula::kMaxRow;
}

AreaFn insertFn(int at, int count)
{
    return [at, count](Ref &first, Ref *last) {
        if (!last)
            return moveRow(first.row, at, count);
        // A whole-column area keeps its end.
        if (first.row == 0)
            return true;
        const bool a = moveRow(first.row, at, count);
        const bool b = last->row == A1Formula::kMaxRow || moveRow(last->row, at, count);
        return a && b;
    };
}

} // namespace

int A1Formula::columnNumber(QStringView letters)
{
    int n = 0;
    for (QChar c : letters) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z' || n > kMaxCol)
            return 0;
        n = n * 26 + (u - u'A' + 1);
    }
    return n;
}

QString A1Formula::columnLetters(int column)
{
    char letters[kMaxLetters];
    return QString::fromLatin1(letters, columnLetters(column, letters));
}

int A1Formula::columnLetters(int column, char *out)
{
    char last[kMaxLetters]; // last letter first
    int n = 0;
    for (int c = column; c > 0; c = (c - 1) / 26)
        last[n++] = char('A' + (c - 1) % 26);
    for (int i = 0; i < n; ++i)
        out[i] = last[n - 1 - i];
    return n;
}

QString A1Formula::insertRows(const QString &formula, const QString &formulaSheet, const QString &sheet, int at,
                              int count)
{
    auto applies = [&](const QString *named) {
        if (named)
            return named->compare(sheet, Qt::CaseInsensitive) == 0;
        return !formulaSheet.isEmpty() && formulaSheet.compare(sheet, Qt::CaseInsensitive) == 0;
    };
    return rewrite(formula, applies, insertFn(at, count));
}

QString A1Formula::offset(const QString &formula, int rows, int cols)
{
    auto move = [rows, cols](Ref &r) {
        const bool hasRow = r.row != 0, hasCol = r.col != 0;
        if (hasRow && !r.rowAbs)
            r.row += rows;
        if (hasCol && !r.colAbs)
            r.col += cols;
        return (!hasRow || (r.row >= 1 && r.row <= kMaxRow)) && (!hasCol || (r.col >= 1 && r.col <= kMaxCol));
    };
    return rewrite(formula, [](const QString *) { return true; },
                   [&](Ref &first, Ref *last) { return move(first) && (!last || move(*last)); });
}

QString A1Formula::insertRowsInRange(const QString &range, int at, int count)
{
    // sqref may hold several ranges separated by blanks.
    QStringList parts = range.split(u' ', Qt::SkipEmptyParts);
    for (QString &p : parts)
        p = rewrite(p, [](const QString *) { return true; }, insertFn(at, count));
    return parts.join(u' ');
}
