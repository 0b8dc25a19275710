#include "reports/editors/BRExpressionBuilderLogic.h"

#include <QHash>

#include "reports/eval/BRDataSet.h"
#include "reports/eval/BREnvironment.h"
#include "reports/eval/BREvaluator.h"
#include "reports/eval/BRFunctionLibrary.h"

QStringList TBRExpressionBuilderLogic::DataSetNames() const
{
    QStringList out;
    for (const TBRDataSet *d : m_dataSets)
        out << d->Name();
    return out;
}

QStringList TBRExpressionBuilderLogic::FieldNames(int dataSet) const
{
    QStringList out;
    if (dataSet < 0 || dataSet >= m_dataSets.size())
        return out;
    const TBRDataSet *d = m_dataSets.at(dataSet);
    for (int i = 0; i < d->FieldCount(); ++i)
        out << d->FieldName(i);
    return out;
}

QList<int> TBRExpressionBuilderLogic::FunctionsOf(int category)
{
    const TBRFunctionLibrary &lib = FunctionLibrary();
    const QChar digit = QChar(u'0' + category);
    QList<int> out;
    for (int i = 0; i < lib.Count(); ++i)
        if (category == 0 || lib.GetEntry(i).ArgumentDescriptor.startsWith(digit))
            out << i;
    return out;
}

QString TBRExpressionBuilderLogic::CallPattern(const TBRLibraryEntry &entry)
{
    return entry.Description.section(QLatin1Char('|'), 0, 0).trimmed();
}

QString TBRExpressionBuilderLogic::Explanation(const TBRLibraryEntry &entry)
{
    // The dialog speaks Romanian; the library keeps its own English texts.
    static const QHash<QString, QString> romanian{
        {QStringLiteral("IF"), QStringLiteral("Dă <X> sau <Y>, după valoarea logică a expresiei <Exp>")},
        {QStringLiteral("STR"), QStringLiteral("Transformă numărul <X> în text")},
        {QStringLiteral("UPPER"), QStringLiteral("Scrie textul cu litere mari")},
        {QStringLiteral("LOWER"), QStringLiteral("Scrie textul cu litere mici")},
        {QStringLiteral("PRETTY"), QStringLiteral("Scrie primul caracter cu literă mare și restul cu litere mici")},
        {QStringLiteral("TIME"), QStringLiteral("Dă ora curentă, ca text")},
        {QStringLiteral("DATE"), QStringLiteral("Dă data curentă, ca text")},
        {QStringLiteral("COPY"), QStringLiteral("Dă <Len> caractere din textul <X>, începând de la poziția <St>")},
        {QStringLiteral("SUM"), QStringLiteral("Adună valorile numerice <X>")},
        {QStringLiteral("COUNT"), QStringLiteral("Numără înregistrările parcurse")},
        {QStringLiteral("MAX"), QStringLiteral("Dă cea mai mare valoare <X>")},
        {QStringLiteral("MIN"), QStringLiteral("Dă cea mai mică valoare <X>")},
        {QStringLiteral("AVERAGE"), QStringLiteral("Dă media valorilor numerice <X>")},
        {QStringLiteral("TRUE"), QStringLiteral("Valoarea logică adevărat")},
        {QStringLiteral("FALSE"), QStringLiteral("Valoarea logică fals")},
        {QStringLiteral("INT"), QStringLiteral("Dă partea întreagă a lui <X>")},
        {QStringLiteral("FRAC"), QStringLiteral("Dă partea fracționară a lui <X>")},
        {QStringLiteral("SQRT"), QStringLiteral("Dă rădăcina pătrată a lui <X>")},
        {QStringLiteral("DIV"), QStringLiteral("Împarte întreg <X> la <Y>")},
        {QStringLiteral("TYPEOF"), QStringLiteral("Dă tipul de date al expresiei <Exp>")},
        {QStringLiteral("FORMATNUMERIC"), QStringLiteral("Scrie numărul <N> după masca din <F>")},
    };
    // A function added later without a translation shows the library's own text.
    return romanian.value(entry.Name.toUpper(), entry.Description.section(QLatin1Char('|'), 1).trimmed());
}

QStringList TBRExpressionBuilderLogic::ArgumentPrompts(const TBRLibraryEntry &entry)
{
    QStringList out;
    const QString types = entry.ArgumentDescriptor.mid(1);
    for (qsizetype i = 0; i < types.size(); ++i) {
        const QChar t = types[i];
        const QString kind = t == QLatin1Char('N')   ? QStringLiteral("valoare numerică")
                             : t == QLatin1Char('B') ? QStringLiteral("valoare logică")
                             : t == QLatin1Char('S') ? QStringLiteral("valoare text")
                                                     : QStringLiteral("valoare");
        out << QStringLiteral("Argumentul %1 - %2").arg(i + 1).arg(kind);
    }
    return out;
}

QString TBRExpressionBuilderLogic::ArgumentHeading(int number, const QString &function)
{
    return QStringLiteral("Introduceți parametrul %1 pentru %2").arg(number).arg(function);
}

QStringList TBRExpressionBuilderLogic::VariableNames() const
{
    QStringList out;
    if (m_environment)
        out << m_environment->Names();
    return out << GlobalEnvironment().Names();
}

QString TBRExpressionBuilderLogic::VariableExpression(const QString &name) const
{
    const TBREvEnvironment *const lookups[] = {m_environment, &GlobalEnvironment()};
    for (const TBREvEnvironment *env : lookups) {
        const int i = env ? env->IndexOf(name) : -1;
        if (i >= 0)
            return env->Data().at(i);
    }
    return QString();
}

QString TBRExpressionBuilderLogic::FunctionCall(const QString &name, const QStringList &arguments)
{
    if (arguments.isEmpty())
        return name;
    QString joined;
    for (const QString &a : arguments) {
        if (!joined.isEmpty())
            joined += ArgSeparator();
        joined += a;
    }
    return name + QLatin1Char('(') + joined + QLatin1Char(')');
}

QString TBRExpressionBuilderLogic::WithoutLineBreaks(const QString &text)
{
    QString out = text;
    out.remove(QLatin1Char('\r'));
    out.remove(QLatin1Char('\n'));
    return out;
}

QString TBRExpressionBuilderLogic::Validate(const QString &expression, bool *ok) const
{
    TBREvEnvironment &global = GlobalEnvironment();
    global.Prepare();
    if (m_environment)
        m_environment->Prepare();
    TBREvResult value;
    {
        TBREvaluator ev;
        ev.SetDataSets(m_dataSets);
        ev.SetEnvironment(m_environment);
        value = ev.EvaluateOnce(WithoutLineBreaks(expression));
    }
    if (m_environment)
        m_environment->Unprepare();
    global.Unprepare();
    const QString text = value.isError() ? QString() : ValueToString(value);
    if (ok)
        *ok = !text.isEmpty();
    if (!text.isEmpty())
        return QStringLiteral("Nu sunt erori. Rezultatul este: ") + text;
    return QStringLiteral("EROARE: ") + (value.isError() ? value.stringValue : QString());
}
