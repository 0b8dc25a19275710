#include "reports/eval/BRDataSet.h"
#include "reports/eval/BREvaluator.h"
#include "reports/eval/BRFunctionLibrary.h"
#include "reports/eval/BRPictureMask.h"

#include <QLocale>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QString value(const char *expression)
{
    TBREvaluator ev;
    return ValueToString(ev.EvaluateOnce(QString::fromUtf8(expression)));
}

} // namespace

TEST(BRFunctions, Values)
{
    struct Case { const char *expression, *text; };
    const Case cases[] = {
        {"IF(1>0, 'yes', 2)", "yes"},
        {"IF(1, 2, 3)", "Wrong arguments for IF"},
        {"STR(12)+STR(1.5)+STR(TRUE)", "121.5True"},
        {"STR('a')", "Conversion error"},
        {"TYPEOF(1/0)", "ERROR"},
        {"TYPEOF(1)+TYPEOF(1.0)+TYPEOF('')+TYPEOF(TRUE)", "INTEGERFLOATSTRINGBOOLEAN"},
        {"TYPEOF(1, 2)", "Wrong arguments for TypeOf"},
        {"COPY('abcdef', 0, 3)", "abc"},
        {"COPY('abc', 2, 10)", "bc"},
        {"COPY('abc', 5, 1)", ""},
        {"COPY('abc', 2, -1)", ""},
        {"DIV(7, 2)", "3"},
        {"DIV(7.5, 2)", "4"},
        {"DIV(6.5, 1)", "6"},
        {"DIV(1, 0)", "Division by Zero"},
        {"DIV(-2147483647-1, -1)", "-2147483648"},
        {"DIV(1e20, 1)", "Wrong arguments for DIV"},
        {"SQRT(-4)", "Invalid argument to SQRT function"},
        {"SQRT(16)", "4"},
        {"INT(-2.7)", "-2"},
        {"INT(1e20)", "Wrong arguments for INT"},
        {"FRAC(-2.5)", "-0.5"},
        {"FRAC(3)", "0"},
        {"UPPER('ăbc')", "ĂBC"},
        {"LOWER('ABC', 1)", "Missing argument for LOWER"},
        {"UPPER(1/0)", "Cannot divide by 0"},
        {"PRETTY('iON popESCU')", "Ion popescu"},
        {"PRETTY('')", ""},
        {"TRUE(1)", "Too many arguments"},
        {"COUNT(1)", "COUNT - Too many arguments"},
        {"FORMATNUMERIC('#,##0.00', 1234.5)", "1,234.50"},
        {"FORMATNUMERIC('0.00', 7)", "7.00"},
        {"FORMATNUMERIC(1, 2)", "Wrong arguments for FORMATNUMERIC"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(value(c.expression), QString::fromUtf8(c.text)) << c.expression;
}

// TIME and DATE follow the program's locale: its long time (no time zone) and short date.
TEST(BRFunctions, TimeAndDateInTheLocale)
{
    struct Case { const char *name; QLocale locale; const char *time, *date; };
    const Case cases[] = {
        {"Romanian", QLocale(QLocale::Romanian, QLocale::Romania), R"(^\d\d:\d\d:\d\d$)", "dd.MM.yyyy"},
        {"American", QLocale(QLocale::English, QLocale::UnitedStates), R"(^\d{1,2}:\d\d:\d\d [AP]M$)", "M/d/yy"},
    };
    const QLocale saved;
    for (const Case &c : cases) {
        QLocale::setDefault(c.locale);
        EXPECT_TRUE(QRegularExpression(c.time).match(value("TIME")).hasMatch()) << c.name << " " << value("TIME").toStdString();
        const QDate before = QDate::currentDate();
        const QString date = value("DATE");
        EXPECT_TRUE(date == before.toString(c.date) || date == QDate::currentDate().toString(c.date)) << c.name;
    }
    QLocale::setDefault(saved);
}

// One field X whose kind follows the value of the current record.
class OneField : public TBRDataSet
{
public:
    QString Name() const override { return QStringLiteral("T"); }
    int FindField(const QString &name) const override { return name == QLatin1String("X") ? 0 : -1; }
    int FieldCount() const override { return 1; }
    QString FieldName(int) const override { return QStringLiteral("X"); }
    TBRFieldKind FieldKind(int) const override
    {
        switch (current.kind) {
        case TBREvKind::Integer: return TBRFieldKind::Integer;
        case TBREvKind::Float: return TBRFieldKind::Float;
        case TBREvKind::Boolean: return TBRFieldKind::Boolean;
        default: return TBRFieldKind::String;
        }
    }
    QVariant FieldValue(int) const override
    {
        switch (current.kind) {
        case TBREvKind::Integer: return current.intValue;
        case TBREvKind::Float: return current.floatValue;
        case TBREvKind::Boolean: return current.boolValue;
        default: return current.stringValue;
        }
    }
    TBREvResult current;
};

TEST(BRFunctions, Aggregates)
{
    struct Case { const char *name, *expression; std::vector<const char *> records; const char *text; };
    const Case cases[] = {
        {"sum", "SUM(x)", {"1", "2", "3"}, "6"},
        {"sum promotes to float", "SUM(x)", {"1", "2.5", "3"}, "6.5"},
        {"sum of a string", "SUM(x)", {"1", "'a'"}, ""},
        {"sum passes booleans over", "SUM(x)", {"1", "TRUE", "2"}, "3"},
        {"sum wraps", "SUM(x)", {"2147483647", "1"}, "-2147483648"},
        {"average", "AVERAGE(x)", {"1", "2"}, "1.5"},
        {"max of booleans", "MAX(x)", {"TRUE", "FALSE"}, "True"},
        {"min of booleans", "MIN(x)", {"TRUE", "FALSE"}, "False"},
        {"min of texts", "MIN(x)", {"'b'", "'a'", "'c'"}, "a"},
        {"max mixed numbers", "MAX(x)", {"1", "2.5", "2"}, "2.5"},
        {"count", "COUNT", {"1", "1", "1", "1"}, "4"},
    };
    for (const Case &c : cases) {
        OneField field;
        TBREvaluator agg;
        agg.SetDataSets({&field});
        agg.Prepare(QString::fromUtf8(c.expression));
        for (const char *r : c.records) {
            TBREvaluator one;
            field.current = one.EvaluateOnce(QString::fromUtf8(r));
            agg.UpdateAggregates();
        }
        EXPECT_EQ(ValueToString(agg.Value()), QString::fromUtf8(c.text)) << c.name;
    }
}

TEST(BRFunctions, LibraryEntries)
{
    const TBRFunctionLibrary &lib = FunctionLibrary();
    ASSERT_GE(lib.Count(), 21);
    EXPECT_EQ(lib.GetEntry(0).Name, "IF");
    EXPECT_EQ(lib.GetEntry(18).Description, "DIV(<X>, <Y>) | Integer division of <X> by <Y>");
    EXPECT_EQ(lib.GetEntry(20).ArgumentDescriptor, "7SN");
    EXPECT_EQ(lib.IndexOf("formatnumeric"), 20);
}

TEST(BRPictureMask, Masks)
{
    struct Case { const char *mask; double value; const char *text; };
    const Case cases[] = {
        {"", 1234, "1234"}, {"", -1234, "-1234"}, {"", 0.5, "0.5"}, {"", 0, "0"},
        {"0", 1234, "1234"}, {"0", -1234, "-1234"}, {"0", 0.5, "1"}, {"0", 0, "0"},
        {"0.00", 1234, "1234.00"}, {"0.00", -1234, "-1234.00"}, {"0.00", 0.5, "0.50"}, {"0.00", 0, "0.00"},
        {"#.##", 1234, "1234"}, {"#.##", -1234, "-1234"}, {"#.##", 0.5, ".5"}, {"#.##", 0, ""},
        {"#,##0.00", 1234, "1,234.00"}, {"#,##0.00", -1234, "-1,234.00"}, {"#,##0.00", 0.5, "0.50"},
        {"#,##0.00", 0, "0.00"},
        {"#,##0.00;(#,##0.00)", -1234, "(1,234.00)"}, {"#,##0.00;(#,##0.00)", 0.5, "0.50"},
        {"#,##0.00;;Zero", 1234, "1,234.00"}, {"#,##0.00;;Zero", -1234, "-1,234.00"}, {"#,##0.00;;Zero", 0, "Zero"},
        {"0.000E+00", 1234, "1.234E+03"}, {"0.000E+00", -1234, "-1.234E+03"}, {"0.000E+00", 0.5, "5.000E-01"},
        {"0.000E+00", 0, "0.000E+00"},
        {"#.###E-0", 1234, "1.234E3"}, {"#.###E-0", 0.5, "5E-1"}, {"#.###E-0", 0, "0E0"},
        {"#,##0", 1234567.5, "1,234,568"},
        // The decimal the value stands for rounds, not the double just below it: as a clerk adds by hand.
        {"0.00", 2.675, "2.68"}, {"0.00", 1.005, "1.01"}, {"0.00", -2.675, "-2.68"}, {"#,##0.00", 1234.565, "1,234.57"},
        {"0.0E+00", 2.25, "2.3E+00"},
        {"###0E-##0##0", 5, "5000E-3"}, // places after the exponent stay empty (read past the digits once)
        {"0.0", 0.05, "0.1"},          // halves away from zero
        {"'lei' 0.00", 3, "lei 3.00"}, // quoted text stands as it is
        {"00-00", 123, "01-23"},
        {"0;-0;'zero'", 0.2, "zero"}, // a value that rounds to zero takes the zero section
        {"0.00;(0.00)", 0, "0.00"}, {"0.00", -0.001, "0.00"}, // zero is neither negative nor bracketed
        {"0.0E+00", 9.99, "1.0E+01"}, // the carry out of leading nines moves the exponent
    };
    for (const Case &c : cases) {
        bool ok = false;
        EXPECT_EQ(formatFloatMask(QString::fromUtf8(c.mask), c.value, &ok), QString::fromUtf8(c.text))
            << c.mask << " " << c.value;
        EXPECT_TRUE(ok);
    }
    bool ok = true;
    formatFloatMask("0", std::nan(""), &ok);
    EXPECT_FALSE(ok);
}
