#pragma once

#include <QFile>
#include <QList>
#include <QStringList>
#include <QXmlStreamReader>

#include <utility>

// An XML file read back as a tree of elements with their attributes in
// document order (values unescaped by Qt's reader); errors in `error`.
struct XmlTree
{
    QString name;
    QList<std::pair<QString, QString>> attrs;
    QList<XmlTree> children;
    QString error;

    QStringList names() const
    {
        QStringList out;
        for (const auto &a : attrs)
            out << a.first;
        return out;
    }
    QString operator[](const QString &attr) const
    {
        for (const auto &a : attrs)
            if (a.first == attr)
                return a.second;
        return QStringLiteral("<none>");
    }
    QStringList childNames() const
    {
        QStringList out;
        for (const XmlTree &c : children)
            out << c.name;
        return out;
    }

    static XmlTree read(const QString &path)
    {
        QFile f(path);
        XmlTree top;
        if (!f.open(QIODevice::ReadOnly)) {
            top.error = QStringLiteral("cannot open ") + path;
            return top;
        }
        QXmlStreamReader r(&f);
        QList<XmlTree *> stack{&top};
        while (!r.atEnd()) {
            switch (r.readNext()) {
            case QXmlStreamReader::StartElement: {
                XmlTree e;
                e.name = r.qualifiedName().toString();
                for (const QXmlStreamAttribute &a : r.attributes())
                    e.attrs.append({a.qualifiedName().toString(), a.value().toString()});
                stack.last()->children.append(e);
                stack.append(&stack.last()->children.last());
                break;
            }
            case QXmlStreamReader::EndElement: stack.removeLast(); break;
            default: break;
            }
        }
        if (r.hasError() || top.children.size() != 1) {
            top.error = r.errorString();
            return top;
        }
        return top.children.first();
    }
};
