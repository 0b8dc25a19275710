#include "agencies/AnnexWorkbook.h"

#include "agencies/AgencyOffice.h"
#include "platform/io/KestrunError.h"
#include "core/Form1.h"
#include "documents/ExpXLSOLE.h"

#include <QDir>

void AnnexWorkbook::openResource(const QString &resource, const QString &prefix)
{
    const QString path = Form1().TempFileName(prefix, QStringLiteral(".xls"));
    TForm1::ExtractResource(resource, QStringLiteral("MODEL"), path);
    openFile(path);
}

void AnnexWorkbook::openFile(const QString &path)
{
    if (!m_x.OpenTemplate(path, false))
        throw KestrunError(QStringLiteral("Nu pot deschide modelul ") + QDir::toNativeSeparators(path) + u'.');
    m_x.BlankValue = 0;
}

void AnnexWorkbook::monthTags(const QString &monthText)
{
    m_x.ReplaceTag(QStringLiteral("[LUNA]"), monthText.left(2));
    m_x.ReplaceTag(QStringLiteral("[ANUL]"), monthText.mid(3, 4));
}

void AnnexWorkbook::officeTags(const AgencyOffice &office)
{
    m_x.ReplaceTag(QStringLiteral("[JUDET]"), office.judet);
    m_x.ReplaceTag(QStringLiteral("[UAT]"), office.uat);
    m_x.ReplaceTag(QStringLiteral("[CIF]"), office.cif);
    m_x.ReplaceTag(QStringLiteral("[PRIMAR]"), office.primar);
    m_x.ReplaceTag(QStringLiteral("[INTOCMIT]"), office.intocmit);
}

void AnnexWorkbook::listTags(const AgencyOffice &office)
{
    m_x.ReplaceTag(QStringLiteral("[JUDET]"), office.countyText);
    m_x.ReplaceTag(QStringLiteral("[LOCALIT]"), office.uat);
    m_x.ReplaceTag(QStringLiteral("[PRIMAR]"), office.primar);
    m_x.ReplaceTag(QStringLiteral("[INTOCMIT]"), office.intocmit);
    monthTags(office.monthText);
}

void AnnexWorkbook::saveAs(const QString &path)
{
    m_x.SaveTo(path);
}
