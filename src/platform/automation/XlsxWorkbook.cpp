#include "platform/automation/XlsxWorkbook.h"

#include "platform/automation/A1Formula.h"
#include "platform/automation/XlsxError.h"
#include "platform/automation/XlsxSharedStrings.h"
#include "platform/automation/XlsxXml.h"

#include <QFile>
#include <QSet>

#include <pugixml.hpp>

#include <charconv>
#include <cmath>
#include <functional>

using XlsxXml::child;
using XlsxXml::named;
using XlsxXml::parse;
using XlsxXml::serialise;

namespace {

[[noreturn]] void fail(const QString &what)
{
    throw XlsxError(what.toStdString());
}

QString qs(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QByteArray u8(const QString &s)
{
    return s.toUtf8();
}

// A plain reference ("AB12") read in place: every cell access goes through
// here, and most of a large fill's time went into the general path's strings.
bool splitPlainRef(const char *ref, int &row, int &col)
{
    int i = 0, c = 0, r = 0;
    for (; (ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z'); ++i) {
        if (i == 3)
            return false;
        c = c * 26 + ((ref[i] & ~0x20) - 'A' + 1);
    }
    const int digits = i;
    for (; ref[i] >= '0' && ref[i] <= '9'; ++i) {
        if (i - digits == 7)
            return false;
        r = r * 10 + (ref[i] - '0');
    }
    if (ref[i] != '\0' || digits == 0 || i == digits)
        return false;
    row = r;
    col = c;
    return true;
}

bool splitRef(const char *ref, int &row, int &col)
{
    if (splitPlainRef(ref, row, col))
        return row > 0;
    const QString r = qs(ref);
    qsizetype i = 0;
    while (i < r.size() && r[i].isLetter())
        ++i;
    col = A1Formula::columnNumber(QStringView(r).left(i));
    bool ok = false;
    row = QStringView(r).mid(i).toInt(&ok);
    return ok && col > 0 && row > 0;
}

// A cell's reference ("AB12") as the attribute holds it. Every written cell
// needs one, and building it as a QString cost more than the rest of the cell.
struct RefText
{
    char text[A1Formula::kMaxLetters + 12] = {}; // letters, an int, the end
};

RefText refText(int row, int col)
{
    RefText ref;
    char *p = ref.text + A1Formula::columnLetters(col, ref.text);
    std::to_chars(p, ref.text + sizeof ref.text - 1, row);
    return ref;
}

QString cellRef(int row, int col)
{
    return QString::fromLatin1(refText(row, col).text);
}

int rowNumber(const pugi::xml_node &row)
{
    return row.attribute("r").as_int();
}

void setAttr(pugi::xml_node n, const char *name, const char *v)
{
    pugi::xml_attribute a = n.attribute(name);
    if (!a)
        a = n.append_attribute(name);
    a.set_value(v);
}

void setAttr(pugi::xml_node n, const char *name, const QString &v)
{
    setAttr(n, name, u8(v).constData());
}

void setRef(pugi::xml_node c, int row, int col)
{
    setAttr(c, "r", refText(row, col).text);
}

} // namespace

XlsxWorkbook::XlsxWorkbook() = default;
XlsxWorkbook::~XlsxWorkbook() = default;

bool XlsxWorkbook::hasSignature(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(4) == QByteArray("PK\x03\x04", 4);
}

bool XlsxWorkbook::isOpen() const
{
    return m_zip.isOpen();
}

void XlsxWorkbook::open(const QString &path)
{
    close();
    m_zip.open(path);
    m_path = path;
    try {
        const QString wbPart = QStringLiteral("xl/workbook.xml");
        m_workbook = parse(m_zip.read(wbPart), wbPart);
        const auto rels = parse(m_zip.read(QStringLiteral("xl/_rels/workbook.xml.rels")), QStringLiteral("rels"));
        std::map<QString, QString> targets;
        for (pugi::xml_node r = child(*rels, "Relationships").first_child(); r; r = r.next_sibling()) {
            QString target = qs(r.attribute("Target").value());
            target = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
            targets[qs(r.attribute("Id").value())] = target;
            const QString type = qs(r.attribute("Type").value());
            if (type.endsWith(u"/sharedStrings"))
                m_stringsPart = target;
            if (type.endsWith(u"/styles"))
                m_stylesPart = target;
        }
        m_stringsRelated = !m_stringsPart.isEmpty();
        if (!m_stringsRelated)
            m_stringsPart = QStringLiteral("xl/sharedStrings.xml");
        const pugi::xml_node sheets = child(child(*m_workbook, "workbook"), "sheets");
        for (pugi::xml_node s = sheets.first_child(); s; s = s.next_sibling()) {
            const auto it = targets.find(qs(s.attribute("r:id").value()));
            if (it == targets.end())
                fail(QStringLiteral("Foaia %1 nu are parte").arg(qs(s.attribute("name").value())));
            Sheet sh;
            sh.name = qs(s.attribute("name").value());
            sh.part = it->second;
            m_sheets.push_back(std::move(sh));
        }
        if (m_sheets.empty())
            fail(QStringLiteral("Registrul %1 nu are nicio foaie").arg(path));
        m_active = 1;
    } catch (...) {
        close();
        throw;
    }
}

XlsxSharedStrings &XlsxWorkbook::sharedStrings() const
{
    // Read when a cell first needs it: a filler that only writes numbers, or
    // reopens its saved book, need not read a large table.
    if (!m_strings) {
        auto table = std::make_unique<XlsxSharedStrings>();
        table->load(m_zip.contains(m_stringsPart) ? m_zip.read(m_stringsPart) : QByteArray(), m_stringsPart);
        m_strings = std::move(table);
    }
    return *m_strings;
}

XlsxStyles &XlsxWorkbook::styles() const
{
    if (!m_styles) {
        auto styles = std::make_unique<XlsxStyles>();
        // Without a styles part every cell has the default look, and none is made to wrap.
        styles->load(!m_stylesPart.isEmpty() && m_zip.contains(m_stylesPart) ? m_zip.read(m_stylesPart) : QByteArray(),
                     m_stylesPart);
        m_styles = std::move(styles);
    }
    return *m_styles;
}

// A package that had no shared-string table gets its relationship and content type.
void XlsxWorkbook::relateSharedStrings()
{
    const QString relsPart = QStringLiteral("xl/_rels/workbook.xml.rels");
    auto rels = parse(m_zip.read(relsPart), relsPart);
    pugi::xml_node list = child(*rels, "Relationships");
    QSet<QString> ids;
    for (pugi::xml_node r = list.first_child(); r; r = r.next_sibling())
        ids.insert(qs(r.attribute("Id").value()));
    int n = 1;
    while (ids.contains(QStringLiteral("rId%1").arg(n)))
        ++n;
    pugi::xml_node r = XlsxXml::appendChild(list, "Relationship");
    r.append_attribute("Id").set_value(u8(QStringLiteral("rId%1").arg(n)).constData());
    r.append_attribute("Type").set_value("http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings");
    const QString target = m_stringsPart.startsWith(u"xl/") ? m_stringsPart.mid(3) : u'/' + m_stringsPart;
    r.append_attribute("Target").set_value(u8(target).constData());
    m_zip.replace(relsPart, serialise(*rels));

    const QString typesPart = QStringLiteral("[Content_Types].xml");
    auto types = parse(m_zip.read(typesPart), typesPart);
    pugi::xml_node o = XlsxXml::appendChild(child(*types, "Types"), "Override");
    o.append_attribute("PartName").set_value(u8(u'/' + m_stringsPart).constData());
    o.append_attribute("ContentType").set_value("application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");
    m_zip.replace(typesPart, serialise(*types));
    m_stringsRelated = true;
}

void XlsxWorkbook::close()
{
    m_zip.discard();
    m_sheets.clear();
    m_strings.reset();
    m_stringsPart.clear();
    m_stringsRelated = false;
    m_styles.reset();
    m_stylesPart.clear();
    m_workbook.reset();
    m_workbookDirty = false;
    m_recalculationRequested = false;
    m_active = 0;
}

void XlsxWorkbook::save()
{
    if (!isOpen())
        fail(QStringLiteral("Nu este deschis niciun fisier"));
    if (m_recalculationRequested)
        dropCachedResults();
    for (Sheet &s : m_sheets) {
        if (!s.dirty)
            continue;
        updateDimension(child(*s.doc, "worksheet"));
        m_zip.replace(s.part, serialise(*s.doc));
    }
    if (m_workbookDirty)
        m_zip.replace(QStringLiteral("xl/workbook.xml"), serialise(*m_workbook));
    if (m_styles && m_styles->changed())
        m_zip.replace(m_stylesPart, m_styles->part());
    if (m_strings && m_strings->grown()) {
        m_zip.replace(m_stringsPart, m_strings->part());
        if (!m_stringsRelated)
            relateSharedStrings();
    }
    const QString path = m_path;
    m_zip.commit();
    // Stay open on the saved file, as an application does after saving.
    const int active = m_active;
    open(path);
    activateSheet(active);
}

int XlsxWorkbook::sheetCount() const
{
    return static_cast<int>(m_sheets.size());
}

QString XlsxWorkbook::sheetName(int n) const
{
    return sheet(n).name;
}

void XlsxWorkbook::activateSheet(int n)
{
    if (n >= 1 && n <= sheetCount())
        m_active = n;
}

XlsxWorkbook::Sheet &XlsxWorkbook::sheet(int n) const
{
    if (!isOpen() || n < 1 || n > sheetCount())
        fail(QStringLiteral("Nu este deschis niciun fisier"));
    return m_sheets[static_cast<size_t>(n - 1)];
}

pugi::xml_document &XlsxWorkbook::sheetDoc(int n) const
{
    Sheet &s = sheet(n);
    if (!s.doc)
        s.doc = parse(m_zip.read(s.part), s.part);
    if (!s.indexed) {
        s.rows.clear();
        s.lastRow = 0;
        s.formulas = false;
        const pugi::xml_node data = child(child(*s.doc, "worksheet"), "sheetData");
        int next = 1;
        for (pugi::xml_node r = data.first_child(); r; r = r.next_sibling()) {
            if (!named(r, "row"))
                continue;
            // A row without a number follows the one before it.
            const int num = r.attribute("r") ? rowNumber(r) : next;
            if (!r.attribute("r"))
                setAttr(r, "r", QString::number(num));
            s.rows[num] = r.internal_object();
            next = num + 1;
            // Written values never bring a formula: a sheet read without
            // any need not be searched for cached results when it is saved.
            for (pugi::xml_node c = r.first_child(); c && !s.formulas; c = c.next_sibling())
                s.formulas = bool(child(c, "f"));
        }
        s.indexed = true;
    }
    return *s.doc;
}

pugi::xml_node XlsxWorkbook::findCell(int row, int col) const
{
    sheetDoc(m_active);
    const Sheet &s = sheet(m_active);
    const auto it = s.rows.find(row);
    if (it == s.rows.end())
        return {};
    const pugi::xml_node r(static_cast<pugi::xml_node_struct *>(it->second));
    int nextCol = 1;
    for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
        if (!named(c, "c"))
            continue;
        int cr = 0, cc = nextCol;
        if (c.attribute("r") && !splitRef(c.attribute("r").value(), cr, cc))
            continue;
        if (cc == col)
            return c;
        nextCol = cc + 1;
    }
    return {};
}

int XlsxWorkbook::maxRow() const
{
    sheetDoc(m_active);
    const Sheet &s = sheet(m_active);
    for (auto it = s.rows.rbegin(); it != s.rows.rend(); ++it)
        if (child(pugi::xml_node(static_cast<pugi::xml_node_struct *>(it->second)), "c"))
            return it->first;
    return 0;
}

int XlsxWorkbook::maxCol() const
{
    sheetDoc(m_active);
    int best = 0;
    for (const auto &[num, ptr] : sheet(m_active).rows) {
        int nextCol = 1;
        for (pugi::xml_node c = pugi::xml_node(static_cast<pugi::xml_node_struct *>(ptr)).first_child(); c;
             c = c.next_sibling()) {
            if (!named(c, "c"))
                continue;
            int cr = 0, cc = nextCol;
            if (c.attribute("r"))
                splitRef(c.attribute("r").value(), cr, cc);
            best = std::max(best, cc);
            nextCol = cc + 1;
        }
    }
    return best;
}

QVariant XlsxWorkbook::value(int row, int col) const
{
    const pugi::xml_node c = findCell(row, col);
    if (!c)
        return {};
    const QString type = qs(c.attribute("t").value());
    const pugi::xml_node v = child(c, "v");
    if (type == u"inlineStr")
        return XlsxXml::itemText(child(c, "is"));
    if (!v)
        return {};
    const QString raw = qs(v.text().get());
    if (type == u"s") {
        return sharedStrings().at(raw.toInt());
    }
    if (type == u"str" || type == u"e" || type == u"d")
        return raw;
    if (type == u"b")
        return raw == u"1";
    bool ok = false;
    const double d = raw.toDouble(&ok);
    return ok ? QVariant(d) : QVariant(raw);
}

QString XlsxWorkbook::numberText(double d)
{
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
        return QString::number(static_cast<qint64>(d));
    return QString::number(d, 'g', 15);
}

QString XlsxWorkbook::text(int row, int col) const
{
    const QVariant v = value(row, col);
    if (v.typeId() == QMetaType::Double)
        return numberText(v.toDouble());
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    return v.toString();
}

pugi::xml_node XlsxWorkbook::cellForWrite(int row, int col)
{
    if (row < 1 || row > A1Formula::kMaxRow || col < 1 || col > A1Formula::kMaxCol)
        fail(QStringLiteral("Celula (%1, %2) nu exista").arg(row).arg(col));
    pugi::xml_document &doc = sheetDoc(m_active);
    Sheet &s = sheet(m_active);
    s.dirty = true;
    void *known = nullptr;
    if (row == s.lastRow) {
        known = s.lastRowElement;
    } else if (const auto it = s.rows.find(row); it != s.rows.end()) {
        known = it->second;
        s.lastRow = row;
        s.lastRowElement = known;
    }
    // A row filled from left to right: the new cell goes after its last one,
    // without walking the row twice for every cell.
    if (known) {
        pugi::xml_node r(static_cast<pugi::xml_node_struct *>(known));
        const pugi::xml_node last = r.last_child();
        int lr = 0, lc = 0;
        if (last && named(last, "c") && splitRef(last.attribute("r").value(), lr, lc) && lc < col) {
            pugi::xml_node c = r.append_child("c");
            setRef(c, row, col);
            return c;
        }
    }
    pugi::xml_node r;
    if (known) {
        if (pugi::xml_node c = findCell(row, col))
            return c;
        r = pugi::xml_node(static_cast<pugi::xml_node_struct *>(known));
    } else {
        pugi::xml_node data = child(child(doc, "worksheet"), "sheetData");
        const auto after = s.rows.upper_bound(row);
        r = after == s.rows.end() ? data.append_child("row")
                                  : data.insert_child_before("row", pugi::xml_node(
                                        static_cast<pugi::xml_node_struct *>(after->second)));
        setAttr(r, "r", QString::number(row));
        s.rows[row] = r.internal_object();
        s.lastRow = row;
        s.lastRowElement = r.internal_object();
    }
    // Cells stay in column order.
    pugi::xml_node before;
    for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
        int cr = 0, cc = 0;
        if (named(c, "c") && splitRef(c.attribute("r").value(), cr, cc) && cc > col) {
            before = c;
            break;
        }
    }
    pugi::xml_node c = before ? r.insert_child_before("c", before) : r.append_child("c");
    setRef(c, row, col);
    return c;
}

void XlsxWorkbook::setValue(int row, int col, const QVariant &value)
{
    pugi::xml_node c = cellForWrite(row, col);
    // A formula may read this cell: its cached result no longer holds.
    requestRecalculation();
    if (c.first_child()) // a new cell has nothing to clear
        for (const char *n : {"f", "v", "is"})
            while (pugi::xml_node x = child(c, n))
                c.remove_child(x);
    c.remove_attribute("t");
    if (!value.isValid() || value.isNull())
        return;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        // The shortest text that reads back as the same double.
        char text[32];
        *std::to_chars(text, text + sizeof text - 1, value.toDouble()).ptr = '\0';
        c.append_child("v").text().set(text);
        return;
    }
    case QMetaType::Bool:
        setAttr(c, "t", QStringLiteral("b"));
        c.append_child("v").text().set(value.toBool() ? "1" : "0");
        return;
    default: {
        c.append_attribute("t").set_value("s");
        c.append_child("v").text().set(sharedStrings().add(value.toString()));
    }
    }
}

namespace {

struct CellPos
{
    int row = 0, col = 0;
};

template <typename Fn>
void forEachCell(const pugi::xml_node &sheetData, Fn fn)
{
    for (pugi::xml_node r = sheetData.first_child(); r; r = r.next_sibling()) {
        if (!named(r, "row"))
            continue;
        for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
            CellPos p;
            if (named(c, "c") && splitRef(c.attribute("r").value(), p.row, p.col))
                fn(c, p);
        }
    }
}

// Shared formulas become plain ones, so that moving rows cannot change what
// the cells of a shared block compute.
void expandSharedFormulas(const pugi::xml_node &sheetData)
{
    struct Master { CellPos pos; QString text; };
    std::map<QString, Master> masters;
    forEachCell(sheetData, [&](pugi::xml_node c, CellPos p) {
        const pugi::xml_node f = child(c, "f");
        if (f && qs(f.attribute("t").value()) == u"shared" && *f.text().get())
            masters[qs(f.attribute("si").value())] = {p, qs(f.text().get())};
    });
    forEachCell(sheetData, [&](pugi::xml_node c, CellPos p) {
        pugi::xml_node f = child(c, "f");
        if (!f || qs(f.attribute("t").value()) != u"shared")
            return;
        const auto m = masters.find(qs(f.attribute("si").value()));
        if (m == masters.end()) {
            c.remove_child(f);
            return;
        }
        f.text().set(u8(A1Formula::offset(m->second.text, p.row - m->second.pos.row, p.col - m->second.pos.col)).constData());
        f.remove_attribute("t");
        f.remove_attribute("si");
        f.remove_attribute("ref");
    });
}

// The cached result of a formula cell no longer holds; the reader recalculates.
void dropCachedResult(pugi::xml_node c)
{
    if (pugi::xml_node v = child(c, "v"))
        c.remove_child(v);
    c.remove_attribute("t"); // the type of the cached result
}

// A formula text rewritten; true when it changed.
bool rewriteText(pugi::xml_node n, const std::function<QString(const QString &)> &rewrite)
{
    const QString before = qs(n.text().get());
    const QString after = rewrite(before);
    if (after == before)
        return false;
    n.text().set(u8(after).constData());
    return true;
}

// Every formula text and range attribute of a sheet that can name rows of the
// changed sheet follows the insertion; true when something changed. Cached
// results are dropped at save, as the insertion asks for a recalculation.
bool shiftSheetFormulas(const pugi::xml_node &ws, const QString &ownName, const QString &changed, int at, int count)
{
    const auto insert = [&](const QString &formula) {
        return A1Formula::insertRows(formula, ownName, changed, at, count);
    };
    bool any = false;
    forEachCell(child(ws, "sheetData"), [&](pugi::xml_node c, CellPos) {
        pugi::xml_node f = child(c, "f");
        if (!f)
            return;
        if (*f.text().get())
            any |= rewriteText(f, insert);
        if (ownName.compare(changed, Qt::CaseInsensitive) == 0 && f.attribute("ref"))
            f.attribute("ref").set_value(u8(A1Formula::insertRowsInRange(qs(f.attribute("ref").value()), at, count)).constData());
    });
    for (pugi::xml_node n = ws.first_child(); n; n = n.next_sibling()) {
        if (!named(n, "conditionalFormatting") && !named(n, "dataValidations"))
            continue;
        for (pugi::xml_node x = n.first_child(); x; x = x.next_sibling())
            for (pugi::xml_node f = x.first_child(); f; f = f.next_sibling())
                if (named(f, "formula") || named(f, "formula1") || named(f, "formula2"))
                    any |= rewriteText(f, insert);
    }
    return any;
}

void shiftRangeAttr(pugi::xml_node n, const char *attr, int at, int count)
{
    if (pugi::xml_attribute a = n.attribute(attr))
        a.set_value(u8(A1Formula::insertRowsInRange(qs(a.value()), at, count)).constData());
}

// Range attributes of the changed sheet itself.
void shiftSheetRanges(const pugi::xml_node &ws, int at, int count)
{
    for (pugi::xml_node n = ws.first_child(); n; n = n.next_sibling()) {
        if (named(n, "mergeCells") || named(n, "hyperlinks") || named(n, "dataValidations")) {
            for (pugi::xml_node x = n.first_child(); x; x = x.next_sibling()) {
                shiftRangeAttr(x, "ref", at, count);
                shiftRangeAttr(x, "sqref", at, count);
            }
        } else if (named(n, "conditionalFormatting")) {
            shiftRangeAttr(n, "sqref", at, count);
        } else if (named(n, "autoFilter")) {
            shiftRangeAttr(n, "ref", at, count);
        }
    }
}

// Merged areas lying wholly in the source row are repeated on each copy.
void copyRowMerges(const pugi::xml_node &ws, int source, int firstCopy, int count)
{
    pugi::xml_node merges = child(ws, "mergeCells");
    if (!merges)
        return;
    std::vector<QString> inRow;
    for (pugi::xml_node m = merges.first_child(); m; m = m.next_sibling()) {
        const QStringList parts = qs(m.attribute("ref").value()).split(u':');
        int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
        if (parts.size() == 2 && splitRef(u8(parts[0]).constData(), r1, c1) && splitRef(u8(parts[1]).constData(), r2, c2)
            && r1 == source && r2 == source)
            inRow.push_back(qs(m.attribute("ref").value()));
    }
    for (int k = 0; k < count; ++k)
        for (const QString &ref : inRow)
            setAttr(merges.append_child("mergeCell"), "ref", A1Formula::offset(ref, firstCopy + k - source, 0));
    if (merges.attribute("count"))
        setAttr(merges, "count", QString::number(std::distance(merges.begin(), merges.end())));
}

void renumberCells(pugi::xml_node row, int number)
{
    setAttr(row, "r", QString::number(number));
    for (pugi::xml_node c = row.first_child(); c; c = c.next_sibling()) {
        int r = 0, col = 0;
        if (named(c, "c") && splitRef(c.attribute("r").value(), r, col))
            setRef(c, number, col);
    }
}

} // namespace

void XlsxWorkbook::insertRowCopies(int row, int count)
{
    if (count < 1)
        return;
    if (row < 1 || static_cast<qint64>(maxRow()) + count > A1Formula::kMaxRow)
        fail(QStringLiteral("Nu pot insera %1 randuri la randul %2").arg(count).arg(row));
    pugi::xml_document &doc = sheetDoc(m_active);
    Sheet &s = sheet(m_active);
    const pugi::xml_node ws = child(doc, "worksheet");
    pugi::xml_node data = child(ws, "sheetData");

    expandSharedFormulas(data);
    shiftSheetFormulas(ws, s.name, s.name, row, count);
    shiftSheetRanges(ws, row, count);
    // Rows from the insertion point down move by count (from the last up).
    pugi::xml_node source;
    for (auto it = s.rows.rbegin(); it != s.rows.rend() && it->first >= row; ++it) {
        const pugi::xml_node r(static_cast<pugi::xml_node_struct *>(it->second));
        renumberCells(r, it->first + count);
        if (it->first == row)
            source = r;
    }
    // The copies stand where the source row stood; a relative reference in a
    // copy moves with it, as when a row is copied and pasted.
    if (source) {
        for (int k = 0; k < count; ++k) {
            pugi::xml_node copy = data.insert_copy_before(source, source);
            renumberCells(copy, row + k);
            for (pugi::xml_node c = copy.first_child(); c; c = c.next_sibling())
                if (pugi::xml_node f = child(c, "f"); f && *f.text().get())
                    f.text().set(u8(A1Formula::offset(qs(f.text().get()), k - count, 0)).constData());
        }
        copyRowMerges(ws, row + count, row, count);
    }
    s.indexed = false;
    s.dirty = true;
    shiftOtherSheets(row, count);
    shiftDefinedNames(row, count);
    dropCalcChain();
}

void XlsxWorkbook::dropCachedResults()
{
    // Not every reader honours fullCalcOnLoad; a formula without a cached
    // result is computed by all of them. A sheet nobody wrote may still read
    // the changed cells, so its formulas lose their results too; a sheet
    // without cached formula results stays as it was, byte for byte.
    for (int n = 1; n <= sheetCount(); ++n) {
        Sheet &s = m_sheets[static_cast<size_t>(n - 1)];
        const pugi::xml_node data = child(child(sheetDoc(n), "worksheet"), "sheetData");
        if (!s.formulas)
            continue;
        forEachCell(data, [&s](pugi::xml_node c, CellPos) {
            if (child(c, "f") && (child(c, "v") || c.attribute("t"))) {
                dropCachedResult(c);
                s.dirty = true;
            }
        });
    }
}

void XlsxWorkbook::shiftOtherSheets(int row, int count)
{
    const QString changed = sheet(m_active).name;
    for (int n = 1; n <= sheetCount(); ++n) {
        if (n == m_active)
            continue;
        // Only a sheet whose formulas name the changed sheet is written. The
        // name is looked for in the parsed formulas, not in the part's bytes,
        // where XML and the formula quoting may spell it otherwise.
        if (shiftSheetFormulas(child(sheetDoc(n), "worksheet"), sheet(n).name, changed, row, count))
            sheet(n).dirty = true;
    }
}

void XlsxWorkbook::shiftDefinedNames(int row, int count)
{
    const QString changed = sheet(m_active).name;
    pugi::xml_node wb = child(*m_workbook, "workbook");
    for (pugi::xml_node d = child(child(wb, "definedNames"), "definedName"); d; d = d.next_sibling())
        d.text().set(u8(A1Formula::insertRows(qs(d.text().get()), QString(), changed, row, count)).constData());
    m_workbookDirty = true;
    requestRecalculation();
}

void XlsxWorkbook::requestRecalculation()
{
    if (m_recalculationRequested)
        return;
    // Cached results are stale: have the reader recalculate on load.
    pugi::xml_node wb = child(*m_workbook, "workbook");
    pugi::xml_node calc = child(wb, "calcPr");
    if (!calc)
        calc = wb.insert_child_after("calcPr", child(wb, "definedNames") ? child(wb, "definedNames") : child(wb, "sheets"));
    setAttr(calc, "fullCalcOnLoad", QStringLiteral("1"));
    m_workbookDirty = true;
    m_recalculationRequested = true;
}

void XlsxWorkbook::dropCalcChain()
{
    // The calculation chain lists cells by address; after rows move it would
    // be wrong, and readers rebuild it when it is missing.
    const QString part = QStringLiteral("xl/calcChain.xml");
    if (!m_zip.contains(part))
        return;
    m_zip.remove(part);
    // The part also leaves the package's relationship and content-type lists.
    const auto dropEntries = [this](const QString &listPart, const char *root, const char *attr,
                                    const QString &value) {
        auto doc = parse(m_zip.read(listPart), listPart);
        pugi::xml_node list = child(*doc, root);
        for (pugi::xml_node n = list.first_child(); n;) {
            const pugi::xml_node next = n.next_sibling();
            if (qs(n.attribute(attr).value()).endsWith(value))
                list.remove_child(n);
            n = next;
        }
        m_zip.replace(listPart, serialise(*doc));
    };
    dropEntries(QStringLiteral("xl/_rels/workbook.xml.rels"), "Relationships", "Target", QStringLiteral("calcChain.xml"));
    dropEntries(QStringLiteral("[Content_Types].xml"), "Types", "PartName", QStringLiteral("/xl/calcChain.xml"));
}

void XlsxWorkbook::updateDimension(pugi::xml_node ws)
{
    pugi::xml_node dim = child(ws, "dimension");
    if (!dim)
        return;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    forEachCell(child(ws, "sheetData"), [&](pugi::xml_node, CellPos p) {
        r1 = r1 ? std::min(r1, p.row) : p.row;
        c1 = c1 ? std::min(c1, p.col) : p.col;
        r2 = std::max(r2, p.row);
        c2 = std::max(c2, p.col);
    });
    const QString ref = r1 ? cellRef(r1, c1) + (r1 == r2 && c1 == c2 ? QString() : u':' + cellRef(r2, c2))
                           : QStringLiteral("A1");
    setAttr(dim, "ref", ref);
}

XlsxStyles::Look XlsxWorkbook::cellLook(int row, int col) const
{
    const pugi::xml_node c = findCell(row, col);
    return styles().look(c ? c.attribute("s").as_int() : 0);
}

void XlsxWorkbook::wrapCell(int row, int col)
{
    if (m_stylesPart.isEmpty() || !m_zip.contains(m_stylesPart))
        return;
    pugi::xml_node c = cellForWrite(row, col);
    setAttr(c, "s", QString::number(styles().wrapping(c.attribute("s").as_int())));
}

double XlsxWorkbook::columnWidth(int col) const
{
    const pugi::xml_node ws = child(sheetDoc(m_active), "worksheet");
    for (pugi::xml_node cols = child(ws, "cols"); cols; cols = cols.next_sibling()) {
        if (!named(cols, "cols"))
            continue;
        for (pugi::xml_node c = cols.first_child(); c; c = c.next_sibling())
            if (c.attribute("min").as_int() <= col && col <= c.attribute("max").as_int() && c.attribute("width"))
                return c.attribute("width").as_double();
    }
    const pugi::xml_node format = child(ws, "sheetFormatPr");
    if (format.attribute("defaultColWidth"))
        return format.attribute("defaultColWidth").as_double();
    // The base width in characters and the cell's padding.
    return format.attribute("baseColWidth").as_double(8) + 0.71;
}

double XlsxWorkbook::rowHeight(int row) const
{
    const pugi::xml_document &doc = sheetDoc(m_active);
    const Sheet &s = sheet(m_active);
    const auto it = s.rows.find(row);
    if (it != s.rows.end()) {
        const pugi::xml_node r(static_cast<pugi::xml_node_struct *>(it->second));
        if (r.attribute("ht"))
            return r.attribute("ht").as_double();
    }
    return child(child(doc, "worksheet"), "sheetFormatPr").attribute("defaultRowHeight").as_double(15);
}

void XlsxWorkbook::setRowHeight(int row, double points)
{
    sheetDoc(m_active);
    Sheet &s = sheet(m_active);
    const auto it = s.rows.find(row);
    if (it == s.rows.end())
        return;  // a row without cells keeps the sheet's height
    const pugi::xml_node r(static_cast<pugi::xml_node_struct *>(it->second));
    char text[32];
    *std::to_chars(text, text + sizeof text - 1, points).ptr = '\0';
    setAttr(r, "ht", text);
    setAttr(r, "customHeight", "1");
    s.dirty = true;
}
