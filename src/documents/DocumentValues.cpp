#include "documents/DocumentValues.h"

#include "core/Form1.h"
#include "core/Form3.h"
#include "platform/db/Dbf.h"
#include "platform/sql/SqlValue.h"
#include "platform/sql/TQuery.h"
#include "platform/sql/Money.h"
#include "tables/SupplementKinds.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>

namespace DocumentValues {

QString courtesyTitle(const QString &cnp)
{
    const QString c = cnp.trimmed();
    const QChar first = c.isEmpty() ? QChar() : c.front();
    // Odd digits mark men (1, 3, 5, 7); 9 marks a foreigner of either sex.
    const bool man = first == u'1' || first == u'3' || first == u'5' || first == u'7';
    return man ? QStringLiteral("domnului") : QStringLiteral("doamnei");
}

QString wholeEven(double value)
{
    return QString::number(Money::wholeHalfEven(value));
}

QString date(const TField *field)
{
    if (field->IsNull())
        return QString();
    return SqlValue::formatDate(field->dateValue());
}

QString text(const TDataSet &row, const char *name)
{
    return row.FieldByName(QLatin1String(name))->AsString();
}

double value(const TDataSet &row, const char *name)
{
    return row.FieldByName(QLatin1String(name))->AsFloat();
}

QString rights(const TDataSet &row, const QString &aid, const QString &joiner, const QString &supplement)
{
    if (wholeEven(value(row, "CUANTUM")).toLongLong() <= 0)
        return supplement;
    double supplements = 0;
    for (const SupplementKind &kind : SupplementKinds::All)
        supplements += value(row, kind.amount);
    return supplements > 0 ? aid + joiner + supplement : aid;
}

QString address(const QStringList &parts)
{
    QStringList kept;
    for (const QString &part : parts)
        if (!part.trimmed().isEmpty())
            kept << part.trimmed();
    return kept.join(QStringLiteral(", "));
}

QPair<QString, QString> splitInline(const QString &full)
{
    const qsizetype blank = full.indexOf(u' ');
    if (blank < 0)
        return {full, full};
    return {full.left(blank), full.mid(blank + 1)};
}

QString dataFile(const QString &name)
{
    return Dbf::resolve(QDir(Form1().DataDir()).filePath(name));
}

QString numberRange(const QString &first, const QString &last)
{
    return first.trimmed() == last.trimmed() ? first.trimmed() : first.trimmed() + u'-' + last.trimmed();
}

int workingMonth()
{
    return TForm1::MonthIndex(Form3().LunaLucru->text());
}

void openQuery(TQuery &query, const QStringList &lines)
{
    query.Close();
    query.SQL() = lines;
    query.Open();
    letWindowsRun();
}

QueryScope::~QueryScope()
{
    m_query.Close();
}

void letWindowsRun()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace DocumentValues
