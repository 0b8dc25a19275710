#include "reports/eval/BRDataSet.h"
#include "reports/eval/BREnvironment.h"
#include "reports/eval/BRError.h"
#include "reports/eval/BREvaluator.h"

#include <gtest/gtest.h>

namespace {

struct Expect
{
    const char *name;
    const char *expression;
    TBREvKind kind;
    const char *text; // the value as text, or the error message
};

QString shown(const TBREvResult &r)
{
    return ValueToString(r);
}

// Two fields: NUME (text) and SUMA (integer), plus a date and an unknown kind.
class RowSource : public TBRDataSet
{
public:
    QString Name() const override { return QStringLiteral("Cereri"); }
    int FindField(const QString &name) const override
    {
        const QStringList names{"NUME", "SUMA", "DATA", "POZA"};
        return int(names.indexOf(name.toUpper()));
    }
    int FieldCount() const override { return 4; }
    QString FieldName(int i) const override { return QStringList{"NUME", "SUMA", "DATA", "POZA"}.at(i); }
    TBRFieldKind FieldKind(int i) const override
    {
        static const TBRFieldKind kinds[] = {TBRFieldKind::String, TBRFieldKind::Integer, TBRFieldKind::Date,
                                             TBRFieldKind::Other};
        return kinds[i];
    }
    QVariant FieldValue(int i) const override
    {
        switch (i) {
        case 0: return name;
        case 1: return sum;
        case 2: return QStringLiteral("07.12.2026");
        default: return QVariant();
        }
    }
    QString name = QStringLiteral("Pop");
    int sum = 0;
};

TBREvResult evaluate(const QString &text, RowSource *source = nullptr)
{
    TBREvaluator ev;
    if (source)
        ev.SetDataSets({source});
    return ev.EvaluateOnce(text);
}

} // namespace

TEST(BREvaluator, ValuesAndErrors)
{
    const Expect cases[] = {
        {"precedence", "1+2*3", TBREvKind::Integer, "7"},
        {"division is float", "7/2", TBREvKind::Float, "3.5"},
        {"minus chain left to right", "10-4-3", TBREvKind::Integer, "3"},
        {"divide chain left to right", "8/4/2", TBREvKind::Float, "1"},
        {"mixed chain", "1-2+3", TBREvKind::Integer, "2"},
        {"minus then unary minus", "10--3", TBREvKind::Integer, "13"},
        {"unary minus inside a chain", "10-2--3", TBREvKind::Integer, "11"},
        {"sign after a blank", "IF(TRUE, -1, 0)", TBREvKind::Integer, "-1"},
        {"divide then multiply", "8/2*3", TBREvKind::Float, "12"},
        {"concatenation", "'ab'+'cd'", TBREvKind::String, "abcd"},
        {"string order", "'a'<'b'", TBREvKind::Boolean, "True"},
        {"prefix orders first", "'ab'<'abc'", TBREvKind::Boolean, "True"},
        {"integer against text compares texts", "1='1'", TBREvKind::Boolean, "True"},
        {"integer plus boolean joins texts", "1+TRUE", TBREvKind::String, "1True"},
        {"integer with float", "1+0.5", TBREvKind::Float, "1.5"},
        {"divide by zero", "3/0", TBREvKind::Error, "Cannot divide by 0"},
        {"float divide by zero", "3.0/0", TBREvKind::Error, "Cannot divide by 0"},
        {"open bracket", "(1+2", TBREvKind::Error, "Missing )"},
        {"open string", "'abc", TBREvKind::Error, "Missing '"},
        {"lone quote", "'", TBREvKind::Error, "Missing '"},
        {"open name", "[abc", TBREvKind::Error, "Missing ]"},
        {"bad first character", "#12", TBREvKind::Error, "Error in expression : #12"},
        {"bad numeric", "12a", TBREvKind::Error, "Illegal character in numeric contant \"12a\""},
        {"too large for an integer", "99999999999", TBREvKind::Float, "99999999999"},
        {"second comparison is a name", "1 = b = c", TBREvKind::Error, "Unknown function : B = C"},
        {"or of booleans", "TRUE or FALSE", TBREvKind::Boolean, "True"},
        {"and of booleans", "TRUE AND FALSE", TBREvKind::Boolean, "False"},
        {"or of integers is bitwise", "5 or 2", TBREvKind::Integer, "7"},
        {"or of floats", "1.5 or 2.5", TBREvKind::Error, "Operator OR is not compatible with numeric expressions"},
        {"subtract strings", "'a'-'b'", TBREvKind::Error, "Cannot subtract string expressions"},
        {"order booleans", "TRUE<FALSE", TBREvKind::Error, "Operator < is not compatible with boolean expressions"},
        {"add booleans", "TRUE+FALSE", TBREvKind::Error, "Cannot add boolean expressions"},
        {"not", "not TRUE", TBREvKind::Boolean, "False"},
        {"not of an integer", "not 1", TBREvKind::Error, "Invalid use of NOT"},
        {"not before a bracket", "not(1>2)", TBREvKind::Boolean, "True"},
        {"a name starting with not", "Notes", TBREvKind::Error, "Unknown function : NOTES"},
        {"empty expression", "", TBREvKind::String, " "},
        {"unknown function", "FOO(1)", TBREvKind::Error, "Unknown function : FOO"},
        {"unknown name in capitals", "foo", TBREvKind::Error, "Unknown function : FOO"},
        {"unknown bracketed name as written", "[foo]", TBREvKind::Error, "Unknown function : foo"},
        {"brackets keep a minus of a name", "10-[a-b]", TBREvKind::Error, "Unknown function : a-b"},
        {"quotes keep their operators", "'x'+'a-b+c'", TBREvKind::String, "xa-b+c"},
        {"left error wins", "(1/0)+'a'", TBREvKind::Error, "Cannot divide by 0"},
        {"integer overflow wraps", "2147483647+1", TBREvKind::Integer, "-2147483648"},
        {"integer product wraps", "65536*65536", TBREvKind::Integer, "0"},
        {"float overflow", "1e300*1e300", TBREvKind::Error, "Floating point overflow"},
        {"empty factor", "()", TBREvKind::Error, "Error in expression : "},
        {"trailing operator", "1+", TBREvKind::Error, "Illegal character in numeric contant \"1+\""},
        {"trailing or", "TRUE or ", TBREvKind::Error, "Error in expression :  "},
        {"empty argument", "IF(,1,2)", TBREvKind::Error, "Wrong arguments for IF"},
        {"separator in quotes", "COPY('a,b', 1, 3)", TBREvKind::String, "a,b"},
        {"separator in brackets", "IF(TRUE, [x,y], 2)", TBREvKind::Error, "Unknown function : x,y"},
        {"global variable", "AppName", TBREvKind::String, "Kestrun"},
    };
    for (const Expect &c : cases) {
        const TBREvResult r = evaluate(QString::fromUtf8(c.expression));
        EXPECT_EQ(int(r.kind), int(c.kind)) << c.name << ": " << shown(r).toStdString();
        EXPECT_EQ(shown(r), QString::fromUtf8(c.text)) << c.name;
    }
}

TEST(BREvaluator, TextKeepsAtMost255Characters)
{
    const QString part = "'" + QString(200, QLatin1Char('x')) + "'";
    const TBREvResult r = evaluate(part + "+" + part);
    EXPECT_EQ(r.stringValue, QString(255, QLatin1Char('x')));
    const QString lengthy = "(" + QString(300, QLatin1Char('1')).replace(QLatin1String("11"), QLatin1String("1+")) + "1)";
    EXPECT_EQ(evaluate(lengthy).kind, TBREvKind::Integer) << "a long bracketed expression is no Missing )";
}

TEST(BREvaluator, FieldsByKind)
{
    RowSource rows;
    rows.sum = 40;
    EXPECT_EQ(shown(evaluate("[SUMA]*2+1", &rows)), "81");
    EXPECT_EQ(shown(evaluate("UPPER(nume)+'-'+Cereri.data", &rows)), "POP-07.12.2026");
    EXPECT_EQ(shown(evaluate("poza", &rows)), "Field POZA is of unknown type");
    EXPECT_EQ(shown(evaluate("Other.nume", &rows)), "Unknown function : OTHER.NUME");
}

TEST(BREvaluator, DeepNestingIsAnErrorNotACrash)
{
    const QString deep = QString(5000, QLatin1Char('(')) + "1" + QString(5000, QLatin1Char(')'));
    EXPECT_EQ(shown(evaluate(deep)), "Expression nested too deeply");
    QString chain = "1";
    for (int i = 0; i < 3000; ++i)
        chain += "+1";
    EXPECT_EQ(evaluate(chain).kind, TBREvKind::Error);
}

TEST(BREvaluator, ValueBeforePrepareRaises)
{
    TBREvaluator ev;
    EXPECT_THROW(ev.Value(), EBRError);
}

TEST(BREvaluator, AggregatesFollowTheRecords)
{
    RowSource rows;
    TBREvaluator ev;
    ev.SetDataSets({&rows});
    ev.Prepare("SUM(SUMA)");
    EXPECT_TRUE(ev.HasAggregates());
    EXPECT_EQ(shown(ev.Value()), "0") << "before any record";
    for (int v : {1, 2, 3}) {
        rows.sum = v;
        ev.UpdateAggregates();
    }
    EXPECT_EQ(shown(ev.Value()), "6");
    ev.Reset();
    rows.sum = 5;
    ev.UpdateAggregates();
    EXPECT_EQ(shown(ev.Value()), "5") << "after Reset";
}

TEST(BREvaluator, PreparingHoldsTheGlobalEnvironmentOneForOne)
{
    TBREvEnvironment &global = GlobalEnvironment();
    const int before = global.PrepareCount();
    {
        TBREvEnvironment report;
        report.AddFunction("PAGENUMBER", "0");
        report.AddFunction("TITLU", "'Stat de plata'");
        TBREvaluator a, b;
        report.Prepare();
        a.SetEnvironment(&report);
        a.Prepare("TITLU + ' ' + STR(PAGENUMBER) + APPNAME");
        b.Prepare("APPSTARTDATE");
        EXPECT_GT(global.PrepareCount(), before);
        TBREvEnvironment::SetIntegerConstant(report.GetConstant("pagenumber"), 3);
        EXPECT_EQ(shown(a.Value()), "Stat de plata 3Kestrun");
        a.Unprepare();
        b.Unprepare();
        report.Unprepare();
        for (int i = 0; i < 5; ++i)
            b.EvaluateOnce("APPNAME");
    }
    EXPECT_EQ(global.PrepareCount(), before);
    EXPECT_EQ(global.IsPrepared(), before > 0);
}

TEST(BREvEnvironment, Variables)
{
    TBREvEnvironment env;
    env.AddFunction("a", "A+1");
    env.AddFunction("b", "2");
    env.AddFunction("B", "3"); // an existing name keeps its first expression
    env.Prepare();
    EXPECT_EQ(shown(env.Value("A")), "Recursive calls not allowed");
    EXPECT_EQ(shown(env.Value("b")), "2");
    TBREvaluator ev;
    ev.SetEnvironment(&env);
    ev.Prepare("b*10");
    env.DeleteFunction("B");
    EXPECT_EQ(shown(ev.Value()), "Unknown function : B") << "a deleted variable reads as unknown";
    ev.Unprepare();
    env.Unprepare();
    EXPECT_EQ(shown(env.Value("zzz")), "");
    EXPECT_EQ(env.Names(), QStringList({"A"}));
    EXPECT_EQ(env.Data(), QStringList({"A+1"}));
}
