#include "platform/automation/XlsxStyles.h"

#include "platform/automation/XlsxXml.h"

#include <pugixml.hpp>

using XlsxXml::child;
using XlsxXml::named;

namespace {

// The n-th child element of that name, counted from 0.
pugi::xml_node nth(const pugi::xml_node &list, const char *local, int n)
{
    int i = 0;
    for (pugi::xml_node x = list.first_child(); x; x = x.next_sibling())
        if (named(x, local) && i++ == n)
            return x;
    return {};
}

int count(const pugi::xml_node &list, const char *local)
{
    int n = 0;
    for (pugi::xml_node x = list.first_child(); x; x = x.next_sibling())
        n += named(x, local) ? 1 : 0;
    return n;
}

bool isTrue(const pugi::xml_attribute &a)
{
    const QByteArray v(a.value());
    return v == "1" || v == "true";
}

void setAttribute(pugi::xml_node n, const char *name, const char *value)
{
    pugi::xml_attribute a = n.attribute(name);
    (a ? a : n.append_attribute(name)).set_value(value);
}

} // namespace

XlsxStyles::XlsxStyles() = default;
XlsxStyles::~XlsxStyles() = default;

void XlsxStyles::load(const QByteArray &part, const QString &name)
{
    m_doc = part.isEmpty() ? std::make_unique<pugi::xml_document>() : XlsxXml::parse(part, name);
    m_changed = false;
    m_wrapped.clear();
    m_looks.clear();
}

XlsxStyles::Look XlsxStyles::look(int xf) const
{
    if (const auto known = m_looks.find(xf); known != m_looks.end())
        return known->second;
    Look look;
    if (!m_doc)
        return look;
    const pugi::xml_node sheet = child(*m_doc, "styleSheet");
    const pugi::xml_node format = nth(child(sheet, "cellXfs"), "xf", xf);
    look.wrap = isTrue(child(format, "alignment").attribute("wrapText"));
    const pugi::xml_node font = nth(child(sheet, "fonts"), "font", format.attribute("fontId").as_int());
    if (const pugi::xml_node sz = child(font, "sz"))
        look.size = sz.attribute("val").as_double(look.size);
    const pugi::xml_node b = child(font, "b");
    look.bold = b && (!b.attribute("val") || isTrue(b.attribute("val")));
    m_looks.emplace(xf, look);
    return look;
}

int XlsxStyles::wrapping(int xf)
{
    if (const auto it = m_wrapped.find(xf); it != m_wrapped.end())
        return it->second;
    pugi::xml_node list = child(child(*m_doc, "styleSheet"), "cellXfs");
    const pugi::xml_node format = nth(list, "xf", xf);
    if (!format || look(xf).wrap)
        return xf;
    pugi::xml_node copy = list.append_copy(format);
    pugi::xml_node alignment = child(copy, "alignment");
    if (!alignment) {
        // The alignment comes first among a format's elements.
        const QByteArray name(copy.name());
        const qsizetype colon = name.indexOf(':');
        alignment = copy.prepend_child((colon < 0 ? QByteArray("alignment") : name.left(colon + 1) + "alignment").constData());
    }
    setAttribute(alignment, "wrapText", "1");
    setAttribute(copy, "applyAlignment", "1");
    const int n = count(list, "xf");
    setAttribute(list, "count", QByteArray::number(n).constData());
    m_changed = true;
    m_wrapped[xf] = n - 1;
    return n - 1;
}

QByteArray XlsxStyles::part() const
{
    return XlsxXml::serialise(*m_doc);
}
