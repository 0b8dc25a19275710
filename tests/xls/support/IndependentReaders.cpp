#include "xls/support/IndependentReaders.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <stdexcept>

namespace IndependentReaders {

namespace {

QByteArray run(const QString &program, const QStringList &args, int timeoutMs = 120000)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(30000))
        throw std::runtime_error(("cannot start " + program).toStdString());
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        throw std::runtime_error((program + " did not finish in time").toStdString());
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error((program + " " + args.join(' ').left(200) + " failed: "
                                  + QString::fromUtf8(p.readAllStandardError()).right(2000)).toStdString());
    return p.readAllStandardOutput();
}

QByteArray runPython(const char *script, const QString &file)
{
    return run(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script), file});
}

QJsonDocument parseJson(const QByteArray &bytes, const char *tool)
{
    QJsonParseError err;
    QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError)
        throw std::runtime_error(std::string(tool) + " printed no JSON: " + err.errorString().toStdString());
    return doc;
}

const char XlrdScript[] = R"PY(
import json, sys, xlrd
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
out = {"names": [n.name for n in book.name_obj_list], "sheets": []}
for sh in book.sheets():
    rows = []
    for r in range(sh.nrows):
        rows.append([[c.ctype, c.value] for c in sh.row(r)])
    out["sheets"].append({"name": sh.name, "visibility": sh.visibility, "rows": rows,
                          "merged": [list(m) for m in sh.merged_cells]})
json.dump(out, sys.stdout)
)PY";

const char OlefileScript[] = R"PY(
import base64, json, sys, olefile
ole = olefile.OleFileIO(sys.argv[1])
def entry(path, d):
    e = {"path": path, "storage": d.entry_type != olefile.STGTY_STREAM,
         "clsid": d.clsid, "ctime": str(d.createTime), "mtime": str(d.modifyTime)}
    if not e["storage"]:
        e["data"] = base64.b64encode(ole.openstream(path).read()).decode()
    return e
out = [entry("", ole.root)]
for parts in ole.listdir(streams=True, storages=True):
    path = "/".join(parts)
    out.append(entry(path, ole.direntries[ole._find(parts)]))
json.dump(out, sys.stdout)
)PY";

// olefile prints class ids as "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" (or "" for none).
QByteArray classIdBytes(const QString &text)
{
    if (text.isEmpty())
        return QByteArray(16, '\0');
    const QByteArray hex = text.toLatin1().replace("-", "");
    const QByteArray raw = QByteArray::fromHex(hex);
    if (raw.size() != 16)
        return QByteArray(16, '\0');
    // The first three groups are stored little-endian.
    QByteArray out = raw;
    std::reverse(out.begin(), out.begin() + 4);
    std::reverse(out.begin() + 4, out.begin() + 6);
    std::reverse(out.begin() + 6, out.begin() + 8);
    return out;
}

} // namespace

QString fixture(const QString &name)
{
    return QStringLiteral(KESTRUN_XLS_FIXTURES "/") + name;
}

QString scratchDir(const QString &name)
{
    static QAtomicInt counter;
    QString base = qEnvironmentVariable("KESTRUN_TEST_TMP");
    if (base.isEmpty())
        base = QDir::tempPath();
    const QString dir = QStringLiteral("%1/%2-%3-%4").arg(base, name).arg(QCoreApplication::applicationPid()).arg(counter.fetchAndAddRelaxed(1));
    QDir(dir).removeRecursively();
    if (!QDir().mkpath(dir))
        throw std::runtime_error(("cannot create " + dir).toStdString());
    return dir;
}

XlrdCell XlrdSheet::cell(int row, int col) const
{
    if (row < 0 || row >= rows.size() || col < 0 || col >= rows[row].size())
        return XlrdCell();
    return rows[row][col];
}

XlrdBook readWithXlrd(const QString &file)
{
    const QJsonObject root = parseJson(runPython(XlrdScript, file), "xlrd").object();
    XlrdBook book;
    for (const QJsonValue &n : root.value("names").toArray())
        book.names.append(n.toString());
    for (const QJsonValue &s : root.value("sheets").toArray()) {
        const QJsonObject so = s.toObject();
        XlrdSheet sheet;
        sheet.name = so.value("name").toString();
        sheet.visibility = so.value("visibility").toInt();
        for (const QJsonValue &r : so.value("rows").toArray()) {
            QVector<XlrdCell> row;
            for (const QJsonValue &c : r.toArray()) {
                const QJsonArray pair = c.toArray();
                XlrdCell cell;
                cell.kind = XlrdCell::Kind(pair.at(0).toInt());
                if (cell.kind == XlrdCell::Text)
                    cell.text = pair.at(1).toString();
                else if (pair.at(1).isDouble() || pair.at(1).isBool())
                    cell.number = pair.at(1).isBool() ? double(pair.at(1).toBool()) : pair.at(1).toDouble();
                row.append(cell);
            }
            sheet.rows.append(row);
        }
        for (const QJsonValue &m : so.value("merged").toArray()) {
            const QJsonArray a = m.toArray();
            // xlrd gives (rlo, rhi, clo, chi) with exclusive upper bounds.
            sheet.merged.append({a.at(0).toInt(), a.at(1).toInt() - 1, a.at(2).toInt(), a.at(3).toInt() - 1});
        }
        book.sheets.append(sheet);
    }
    return book;
}

QMap<QString, OleEntry> listWithOlefile(const QString &file)
{
    QMap<QString, OleEntry> out;
    for (const QJsonValue &v : parseJson(runPython(OlefileScript, file), "olefile").array()) {
        const QJsonObject o = v.toObject();
        OleEntry e;
        e.path = o.value("path").toString();
        e.storage = o.value("storage").toBool();
        e.data = QByteArray::fromBase64(o.value("data").toString().toLatin1());
        e.classId = classIdBytes(o.value("clsid").toString());
        // As text: FILETIME values do not fit a JSON double exactly.
        e.creationTime = o.value("ctime").toString().toULongLong();
        e.modificationTime = o.value("mtime").toString().toULongLong();
        out.insert(e.path, e);
    }
    return out;
}

QMap<QString, qint64> listWithGsf(const QString &file)
{
    static const QRegularExpression line(QStringLiteral(R"(^([fd])\s+(?:\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\s+)?(\d+) (.*)$)"));
    QMap<QString, qint64> out;
    const QString text = QString::fromUtf8(run(QStringLiteral("gsf"), {QStringLiteral("list"), file}));
    for (const QString &l : text.split('\n')) {
        const auto m = line.match(l);
        if (!m.hasMatch() || m.captured(3) == QLatin1String("*root*"))
            continue;
        out.insert(m.captured(3), m.captured(1) == QLatin1String("d") ? -1 : m.captured(2).toLongLong());
    }
    return out;
}

QByteArray catWithGsf(const QString &file, const QString &path)
{
    return run(QStringLiteral("gsf"), {QStringLiteral("cat"), file, path});
}

void convertWithSoffice(const QStringList &files, const QString &outDir, const QString &convertTo)
{
    QTemporaryDir profile(QDir::tempPath() + QStringLiteral("/kestrun-lo-XXXXXX"));
    if (!profile.isValid())
        throw std::runtime_error("cannot create a LibreOffice profile folder");
    QStringList args{QStringLiteral("-env:UserInstallation=file://") + profile.path(), QStringLiteral("--headless"),
                     QStringLiteral("--convert-to"), convertTo, QStringLiteral("--outdir"), outDir};
    args += files;
    run(QStringLiteral("soffice"), args, 300000);
}

void exportCsvWithSoffice(const QStringList &files, const QString &outDir, bool formulas)
{
    convertWithSoffice(files, outDir,
                       QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,%1,false,-1")
                           .arg(formulas ? QStringLiteral("true") : QStringLiteral("false")));
}

QStringList listPdfImages(const QString &pdf)
{
    // Two heading lines, then: page num type width height ...
    const QStringList lines = QString::fromUtf8(run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}))
                                  .split(u'\n', Qt::SkipEmptyParts);
    QStringList images;
    for (const QString &line : lines.mid(2)) {
        const QStringList fields = line.simplified().split(u' ');
        if (fields.size() > 4)
            images.append(fields[3] + QStringLiteral("x") + fields[4]);
    }
    return images;
}

QVector<QStringList> readCsv(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(("cannot read " + file).toStdString());
    const QString text = QString::fromUtf8(f.readAll());
    QVector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        any = true;
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row << field;
            field.clear();
        } else if (c == '\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            any = false;
        } else if (c != '\r') {
            field += c;
        }
    }
    if (any) {
        row << field;
        rows << row;
    }
    return rows;
}

QVector<PdfWord> pdfWords(const QString &pdf)
{
    const QString html = QString::fromUtf8(run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QVector<PdfWord> words;
    int page = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0) == u"<page ") {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        words.append({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble(), text});
    }
    return words;
}

QStringList printFaults(const QVector<PdfWord> &words)
{
    QStringList faults;
    const auto where = [](const PdfWord &w) {
        return QStringLiteral("\"%1\" (page %2, %3,%4)").arg(w.text).arg(w.page).arg(w.xMin, 0, 'f', 0).arg(w.yMin, 0, 'f', 0);
    };
    for (qsizetype i = 0; i < words.size(); ++i) {
        const PdfWord &a = words[i];
        if (a.text.contains(u'['))
            faults << QStringLiteral("placeholder ") + where(a);
        if (a.text.contains(QStringLiteral("###")))
            faults << QStringLiteral("number too wide ") + where(a);
        for (qsizetype j = i + 1; j < words.size() && words[j].page == a.page; ++j) {
            const PdfWord &b = words[j];
            // Neighbouring lines may touch; a quarter of a line is no touch.
            const double across = std::min(a.xMax, b.xMax) - std::max(a.xMin, b.xMin);
            const double down = std::min(a.yMax, b.yMax) - std::max(a.yMin, b.yMin);
            const double line = std::min(a.yMax - a.yMin, b.yMax - b.yMin);
            if (across > 1.0 && down > line / 4)
                faults << QStringLiteral("overprinted ") + where(a) + QStringLiteral(" and ") + where(b);
        }
        if (faults.size() > 8)
            break;
    }
    return faults;
}

} // namespace IndependentReaders
