#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi

// What the parts of a workbook package have in common: parsing and writing a
// part, elements found without their namespace prefix, and texts as the
// format stores them.
namespace XlsxXml {

bool named(const pugi::xml_node &n, const char *local);
pugi::xml_node child(const pugi::xml_node &n, const char *local);
// A child element with its parent's namespace prefix.
pugi::xml_node appendChild(pugi::xml_node parent, const char *local);

// Throws XlsxError naming the part when the bytes are not XML.
std::unique_ptr<pugi::xml_document> parse(const QByteArray &bytes, const QString &part);
// The declaration the format's writers put first, then the document without indentation.
QByteArray serialise(const pugi::xml_document &doc);

// All text of a string item (<si> or <is>), without its phonetic runs.
QString itemText(const pugi::xml_node &item);
// Sets the <t> element of a text: control characters escaped the format's way,
// and blanks a reader could fold marked to be kept.
void setText(pugi::xml_node t, const QString &text);
// The same element as serialise() writes it, appended to out: for a part's
// many new items, written without building an element for each.
void appendText(QByteArray &out, const QByteArray &elementName, const QString &text);

} // namespace XlsxXml
