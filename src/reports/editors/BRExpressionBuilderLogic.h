#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TBRDataSet;
class TBREvEnvironment;
struct TBRLibraryEntry;

// What the expression builder offers and composes, kept apart from its
// widgets: the datasets and their fields, the library's functions by
// category, the variables, the texts it inserts, and the check of an
// expression by evaluating it once.
class TBRExpressionBuilderLogic
{
public:
    // The environment may be none; the global one is always offered after it.
    TBRExpressionBuilderLogic(const QList<TBRDataSet *> &dataSets, TBREvEnvironment *environment)
        : m_dataSets(dataSets), m_environment(environment) {}

    const QList<TBRDataSet *> &DataSets() const { return m_dataSets; }
    TBREvEnvironment *Environment() const { return m_environment; }
    QStringList DataSetNames() const;
    QStringList FieldNames(int dataSet) const;

    // Positions in the function library: all of them for category 0, else
    // those whose argument descriptor begins with the category's digit.
    static QList<int> FunctionsOf(int category);
    // The description's parts before and after "|".
    static QString CallPattern(const TBRLibraryEntry &entry);
    // The explanation in Romanian, the call pattern as the library has it.
    static QString Explanation(const TBRLibraryEntry &entry);
    // One prompt per argument type letter: "Argumentul 1 - valoare numerică", ...
    static QStringList ArgumentPrompts(const TBRLibraryEntry &entry);
    // The heading of the nested builder of one argument.
    static QString ArgumentHeading(int number, const QString &function);

    // The builder's variables, then the global ones.
    QStringList VariableNames() const;
    // Looked up in the builder's environment first, then in the global one.
    QString VariableExpression(const QString &name) const;

    // NAME(a,b,c); a function without arguments is its name alone. An empty
    // argument adds no separator while nothing was joined yet.
    static QString FunctionCall(const QString &name, const QStringList &arguments);
    static QString OperatorText(const QString &op) { return QLatin1Char(' ') + op + QLatin1Char(' '); }
    static QString FieldText(const QString &dataSet, const QString &field) { return dataSet + QLatin1Char('.') + field; }
    // The expression without its line breaks (CR LF, CR or LF).
    static QString WithoutLineBreaks(const QString &text);

    // "Nu sunt erori. Rezultatul este: " and the value, or "EROARE: " and the
    // evaluator's message (alone when the value is an empty text); `ok` tells which.
    QString Validate(const QString &expression, bool *ok = nullptr) const;

private:
    QList<TBRDataSet *> m_dataSets;
    TBREvEnvironment *m_environment;
};
