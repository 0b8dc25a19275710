#pragma once

#include "reports/print/BRExportFilter.h"

#include <QStringList>

// The report's texts as a plain-text file (UTF-8): each row of texts on a
// page becomes a line, each text standing near its place on the sheet (one
// character for every 2 mm); pages are parted by a form feed.
class TBRTextFilter : public TBRExportFilter
{
public:
    explicit TBRTextFilter(QString path) : m_path(std::move(path)) {}

    void NewPage() override { m_pages.emplace_back(); }
    void TextOut(const QRectF &rect, const QString &text, const QFont &font, Qt::Alignment align) override;
    void Finish() override;

    // The lines of one page's texts.
    struct Run
    {
        QRectF rect;
        QString text;
        Qt::Alignment align;
    };
    static QStringList PageLines(std::vector<Run> runs);
    static constexpr double CharWidth = 20; // tenths of a millimetre

private:
    QString m_path;
    std::vector<std::vector<Run>> m_pages;
};
