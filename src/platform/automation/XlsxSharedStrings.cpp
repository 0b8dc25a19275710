#include "platform/automation/XlsxSharedStrings.h"

#include "platform/automation/XlsxXml.h"

#include <pugixml.hpp>

using XlsxXml::child;
using XlsxXml::named;

namespace {

// One <t> and nothing else: no runs of its own formatting, no phonetic text.
bool plain(const pugi::xml_node &si)
{
    const pugi::xml_node first = si.first_child();
    return first && named(first, "t") && !first.next_sibling();
}

} // namespace

void XlsxSharedStrings::load(const QByteArray &part, const QString &name)
{
    m_original = part;
    m_name = name;
    m_items.clear();
    m_plain.clear();
    if (!part.isEmpty()) {
        const auto doc = XlsxXml::parse(part, name);
        for (pugi::xml_node si = child(*doc, "sst").first_child(); si; si = si.next_sibling()) {
            if (!named(si, "si"))
                continue;
            m_items.append(XlsxXml::itemText(si));
            if (plain(si) && !m_plain.contains(m_items.back()))
                m_plain.insert(m_items.back(), size() - 1);
        }
    }
    m_read = size();
}

QString XlsxSharedStrings::at(int i) const
{
    return i >= 0 && i < size() ? m_items[i] : QString();
}

int XlsxSharedStrings::add(const QString &text)
{
    const auto it = m_plain.constFind(text);
    if (it != m_plain.constEnd())
        return it.value();
    m_items.append(text);
    m_plain.insert(text, size() - 1);
    return size() - 1;
}

QByteArray XlsxSharedStrings::part() const
{
    auto doc = m_original.isEmpty() ? std::make_unique<pugi::xml_document>() : XlsxXml::parse(m_original, m_name);
    pugi::xml_node sst = child(*doc, "sst");
    if (!sst) {
        doc->reset();
        sst = doc->append_child("sst");
        sst.append_attribute("xmlns").set_value("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    }
    for (int i = m_read; i < size(); ++i)
        XlsxXml::setText(XlsxXml::appendChild(XlsxXml::appendChild(sst, "si"), "t"), m_items[i]);
    // How many cells name a text is not counted; the attribute is optional.
    sst.remove_attribute("count");
    if (!sst.attribute("uniqueCount"))
        sst.append_attribute("uniqueCount");
    sst.attribute("uniqueCount").set_value(size());
    return XlsxXml::serialise(*doc);
}
