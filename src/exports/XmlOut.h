#pragma once

#include <QString>
#include <QXmlStreamWriter>

class QIODevice;

// Writes an export's XML: the declaration spelled as its receiver expects,
// then indented elements whose values are all attributes, in the order
// written. The stream writer escapes the text; characters XML 1.0 does not
// allow (control characters, lone surrogates, U+FFFE, U+FFFF) are dropped, so
// a stray byte in a table cannot make the file unreadable.
class XmlOut
{
public:
    explicit XmlOut(QIODevice *device);

    // <?xml version="1.0" encoding="<encoding>"?>; the bytes are UTF-8 either way.
    void declaration(const char *encoding);
    void start(const QString &name) { m_xml.writeStartElement(name); }
    void attr(const QString &name, const QString &value) { m_xml.writeAttribute(name, allowed(value)); }
    void attr(const QString &name, qint64 value) { m_xml.writeAttribute(name, QString::number(value)); }
    void end() { m_xml.writeEndElement(); }
    // Closes the elements still open.
    void finish() { m_xml.writeEndDocument(); }

    // The text without the characters XML 1.0 does not allow.
    static QString allowed(const QString &text);
    // General number form: at most 15 significant digits, "." before the
    // decimals, no trailing zeros (320, 31.25).
    static QString number(double value);

private:
    QIODevice *m_device;
    QXmlStreamWriter m_xml;
};
