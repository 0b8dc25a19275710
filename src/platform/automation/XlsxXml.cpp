#include "platform/automation/XlsxXml.h"

#include "platform/automation/XlsxError.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <string>

namespace XlsxXml {

namespace {

QString qs(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
}

// "_xHHHH_" is how the format escapes characters XML cannot hold.
QString escapeControls(const QString &s)
{
    if (std::none_of(s.begin(), s.end(), isControl))
        return s;
    QString out;
    for (QChar c : s) {
        if (isControl(c))
            out += QStringLiteral("_x%1_").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper().replace(u'X', u'x');
        else
            out += c;
    }
    return out;
}

// Blanks at either end, runs of them, or tabs and line breaks.
bool foldableBlanks(const QString &text)
{
    if (text.isEmpty())
        return false;
    if (text.front().isSpace() || text.back().isSpace())
        return true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isSpace() && (c != u' ' || text[i + 1].isSpace()))
            return true;
    }
    return false;
}

} // namespace

bool named(const pugi::xml_node &n, const char *local)
{
    // Most names have no prefix: a name equal to the local one has no colon.
    const char *name = n.name();
    if (std::strcmp(name, local) == 0)
        return true;
    const char *colon = std::strchr(name, ':');
    return colon && std::strcmp(colon + 1, local) == 0;
}

pugi::xml_node child(const pugi::xml_node &n, const char *local)
{
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (named(c, local))
            return c;
    return {};
}

std::unique_ptr<pugi::xml_document> parse(const QByteArray &bytes, const QString &part)
{
    auto doc = std::make_unique<pugi::xml_document>();
    const auto res = doc->load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()),
                                      pugi::parse_default | pugi::parse_ws_pcdata_single,
                                      pugi::encoding_utf8);
    if (!res)
        throw XlsxError(QStringLiteral("Partea %1 nu este XML valid (pozitia %2): %3")
                            .arg(part).arg(res.offset).arg(qs(res.description())).toStdString());
    return doc;
}

QByteArray serialise(const pugi::xml_document &doc)
{
    // Straight into the part's bytes: a large sheet is tens of megabytes.
    struct Writer : pugi::xml_writer
    {
        QByteArray bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
        void write(const void *data, size_t size) override
        {
            bytes.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
        }
    } out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.bytes;
}

pugi::xml_node appendChild(pugi::xml_node parent, const char *local)
{
    const char *name = parent.name();
    const char *colon = std::strchr(name, ':');
    if (!colon)
        return parent.append_child(local);
    return parent.append_child((std::string(name, colon + 1) + local).c_str());
}

QString itemText(const pugi::xml_node &item)
{
    QString t;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        if (named(c, "t"))
            t += qs(c.text().get());
        else if (named(c, "r"))
            t += qs(child(c, "t").text().get());
    }
    return t;
}

void setText(pugi::xml_node t, const QString &text)
{
    // Only blanks a reader could fold need the mark; a large sheet is
    // mostly plain words, and each mark costs every cell its bytes.
    if (foldableBlanks(text))
        t.append_attribute("xml:space").set_value("preserve");
    t.text().set(escapeControls(text).toUtf8().constData());
}

void appendText(QByteArray &out, const QByteArray &elementName, const QString &text)
{
    out += '<';
    out += elementName;
    if (foldableBlanks(text))
        out += " xml:space=\"preserve\"";
    out += '>';
    // What the XML writer escapes in text once the controls are gone; the
    // runs between go in whole.
    const QByteArray bytes = escapeControls(text).toUtf8();
    qsizetype from = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const char *entity = c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : nullptr;
        if (!entity)
            continue;
        out.append(bytes.constData() + from, i - from).append(entity);
        from = i + 1;
    }
    out.append(bytes.constData() + from, bytes.size() - from);
    out += "</";
    out += elementName;
    out += '>';
}

} // namespace XlsxXml
