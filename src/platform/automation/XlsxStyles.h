#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>

namespace pugi {
class xml_document;
} // namespace pugi

// The cell formats of a workbook package (its styles part) as far as the
// filler needs them: whether a format wraps its text, the size and weight of
// its font, and a wrapping copy of a format.
class XlsxStyles
{
public:
    struct Look
    {
        bool wrap = false;
        double size = 11;  // points
        bool bold = false;
    };

    XlsxStyles();
    ~XlsxStyles();

    // An empty part: every format reads as the default look.
    void load(const QByteArray &part, const QString &name);
    Look look(int xf) const;
    // The format like xf that wraps, added when there is none yet.
    int wrapping(int xf);
    bool changed() const { return m_changed; }
    QByteArray part() const;

private:
    std::unique_ptr<pugi::xml_document> m_doc;
    bool m_changed = false;
    std::map<int, int> m_wrapped;  // format -> its wrapping copy
    // Looks already read: a fill asks for the same few formats on every row,
    // and formats are only ever added at the end, so an index keeps its look.
    mutable std::map<int, Look> m_looks;
};
