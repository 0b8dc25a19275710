#include "platform/automation/XlsxSharedStrings.h"

#include "platform/automation/XlsxXml.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>

using XlsxXml::child;
using XlsxXml::named;

namespace {

// One <t> and nothing else: no runs of its own formatting, no phonetic text.
bool plain(const pugi::xml_node &si)
{
    const pugi::xml_node first = si.first_child();
    return first && named(first, "t") && !first.next_sibling();
}

quint32 textHash(QStringView text)
{
    quint64 h = 0xcbf29ce484222325ull; // FNV-1a over the UTF-16 units
    for (const QChar c : text) {
        h ^= c.unicode();
        h *= 0x100000001b3ull;
    }
    return static_cast<quint32>(h ^ (h >> 32));
}

} // namespace

void XlsxSharedStrings::load(const QByteArray &part, const QString &name)
{
    m_original = part;
    m_name = name;
    m_items.clear();
    m_plain.clear();
    m_plainCount = 0;
    if (!part.isEmpty()) {
        const auto doc = XlsxXml::parse(part, name);
        for (pugi::xml_node si = child(*doc, "sst").first_child(); si; si = si.next_sibling()) {
            if (!named(si, "si"))
                continue;
            m_items.append(XlsxXml::itemText(si));
            if (plain(si))
                addPlain(size() - 1);
        }
    }
    m_read = size();
}

QString XlsxSharedStrings::at(int i) const
{
    return i >= 0 && i < size() ? m_items[i] : QString();
}

size_t XlsxSharedStrings::findPlain(QStringView text, quint32 hash) const
{
    const size_t mask = m_plain.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot &s = m_plain[i];
        if (s.item < 0 || (s.hash == hash && m_items.at(s.item) == text))
            return i;
    }
}

// Room for one more plain item.
void XlsxSharedStrings::reservePlain()
{
    if (2 * (m_plainCount + 1) <= static_cast<int>(m_plain.size()))
        return;
    std::vector<Slot> old(std::max<size_t>(1024, 2 * m_plain.size()));
    old.swap(m_plain);
    for (const Slot &s : old)
        if (s.item >= 0)
            m_plain[findPlain(m_items.at(s.item), s.hash)] = s;
}

// The first of equal plain items is the one found.
void XlsxSharedStrings::addPlain(int item)
{
    reservePlain();
    const quint32 hash = textHash(m_items.at(item));
    Slot &s = m_plain[findPlain(m_items.at(item), hash)];
    if (s.item < 0) {
        s = {hash, item};
        ++m_plainCount;
    }
}

int XlsxSharedStrings::add(const QString &text)
{
    reservePlain();
    const quint32 hash = textHash(text);
    Slot &s = m_plain[findPlain(text, hash)];
    if (s.item < 0) {
        m_items.append(text);
        s = {hash, size() - 1};
        ++m_plainCount;
    }
    return s.item;
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
    // How many cells name a text is not counted; the attribute is optional.
    sst.remove_attribute("count");
    if (!sst.attribute("uniqueCount"))
        sst.append_attribute("uniqueCount");
    sst.attribute("uniqueCount").set_value(size());
    if (m_read == size())
        return XlsxXml::serialise(*doc);
    // The added items go in as bytes where a mark element is written: as
    // elements they cost more than the rest of the save.
    const char *mark = "kestrun-added-items";
    XlsxXml::appendChild(sst, mark);
    QByteArray bytes = XlsxXml::serialise(*doc);
    const QByteArray markText = '<' + QByteArray(sst.last_child().name()) + "/>";
    const QByteArray prefix = QByteArray(sst.last_child().name()).chopped(int(std::strlen(mark)));
    const QByteArray open = '<' + prefix + "si>", close = "</" + prefix + "si>", t = prefix + 't';
    QByteArray items;
    items.reserve(32 * (size() - m_read));
    for (int i = m_read; i < size(); ++i) {
        items += open;
        XlsxXml::appendText(items, t, m_items[i]);
        items += close;
    }
    return bytes.replace(bytes.lastIndexOf(markText), markText.size(), items);
}
