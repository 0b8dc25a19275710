#include "CereriFields.h"
#include "reports/editors/BREnvironmentEditorLogic.h"
#include "reports/editors/BRExpressionBuilderLogic.h"
#include "reports/eval/BREnvironment.h"
#include "reports/eval/BRFunctionLibrary.h"

#include <gtest/gtest.h>

namespace {

QStringList functionNames(int category)
{
    QStringList out;
    for (int i : TBRExpressionBuilderLogic::FunctionsOf(category))
        out << FunctionLibrary().GetEntry(i).Name;
    return out;
}

} // namespace

TEST(ExpressionBuilderLogic, ValidateShowsTheValueOrTheEvaluatorsError)
{
    CereriFields cereri;
    TBREvEnvironment env;
    env.AddFunction(QStringLiteral("dublu"), QStringLiteral("2*3"));
    const TBRExpressionBuilderLogic logic({&cereri}, &env);
    struct Case
    {
        const char *name, *expression, *shown;
    } cases[] = {
        {"sum", "1+1", "Nu sunt erori. Rezultatul este: 2"},
        {"divide by zero", "1/0", "EROARE: Cannot divide by 0"},
        // an empty text counts as no result, with no message to show
        {"empty text", "''", "EROARE: "},
        {"line breaks dropped", "1+\r\n1+\n1", "Nu sunt erori. Rezultatul este: 3"},
        {"field of a listed dataset", "Cereri.TITULAR+'!'", "Nu sunt erori. Rezultatul este: Pop!"},
        {"builder's variable", "dublu+1", "Nu sunt erori. Rezultatul este: 7"},
        {"float", "7/2", "Nu sunt erori. Rezultatul este: 3.5"},
        {"boolean", "1<2", "Nu sunt erori. Rezultatul este: True"},
        {"unknown name", "NIMIC", "EROARE: Unknown function : NIMIC"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(logic.Validate(QString::fromLatin1(c.expression)), QString::fromUtf8(c.shown)) << c.name;
    EXPECT_EQ(env.PrepareCount(), 0);
    EXPECT_EQ(GlobalEnvironment().PrepareCount(), 0);
}

TEST(ExpressionBuilderLogic, ListsAndInsertedTexts)
{
    CereriFields cereri;
    TBREvEnvironment env;
    env.AddFunction(QStringLiteral("Titlu"), QStringLiteral("'Lista'"));
    const TBRExpressionBuilderLogic logic({&cereri}, &env);
    EXPECT_EQ(logic.DataSetNames(), QStringList{"Cereri"});
    EXPECT_EQ(logic.FieldNames(0), (QStringList{"TITULAR", "NR_MEMBRI"}));
    EXPECT_TRUE(logic.FieldNames(1).isEmpty());
    EXPECT_EQ(logic.VariableNames(), (QStringList{"TITLU", "APPSTARTTIME", "APPSTARTDATE", "APPNAME"}));
    EXPECT_EQ(logic.VariableExpression("titlu"), "'Lista'");
    EXPECT_TRUE(logic.VariableExpression("AppName").startsWith('\'')) << "found in the global environment";
    EXPECT_EQ(logic.VariableExpression("NIMIC"), "");

    EXPECT_EQ(functionNames(0).size(), FunctionLibrary().Count());
    EXPECT_EQ(functionNames(0).size(), 21);
    EXPECT_EQ(functionNames(1), (QStringList{"TIME", "DATE"}));
    EXPECT_EQ(functionNames(5), (QStringList{"IF", "TRUE", "FALSE"}));
    EXPECT_TRUE(functionNames(4).isEmpty());

    const TBRLibraryEntry &div = FunctionLibrary().GetEntry(FunctionLibrary().IndexOf("DIV"));
    EXPECT_EQ(TBRExpressionBuilderLogic::CallPattern(div), "DIV(<X>, <Y>)");
    EXPECT_EQ(TBRExpressionBuilderLogic::Explanation(div), "Împarte întreg <X> la <Y>");
    const TBRLibraryEntry &copy = FunctionLibrary().GetEntry(FunctionLibrary().IndexOf("COPY"));
    EXPECT_EQ(TBRExpressionBuilderLogic::ArgumentPrompts(copy),
              (QStringList{"Argumentul 1 - valoare text", "Argumentul 2 - valoare numerică",
                           "Argumentul 3 - valoare numerică"}));

    struct Call
    {
        const char *name;
        QStringList arguments;
        const char *text;
    } calls[] = {
        {"IF", {"a>1", "'x'", "'y'"}, "IF(a>1,'x','y')"},
        {"TIME", {}, "TIME"},
        // the separator goes before an argument only once something was joined
        {"COPY", {"", "1", "2"}, "COPY(1,2)"},
        {"DIV", {"7", ""}, "DIV(7,)"},
    };
    for (const Call &c : calls)
        EXPECT_EQ(TBRExpressionBuilderLogic::FunctionCall(c.name, c.arguments), c.text) << c.text;
    EXPECT_EQ(TBRExpressionBuilderLogic::OperatorText("<>"), " <> ");
    EXPECT_EQ(TBRExpressionBuilderLogic::FieldText("Cereri", "TITULAR"), "Cereri.TITULAR");
}

TEST(EnvironmentEditorLogic, EditsRenamesAddsAndDeletesUnlessPrepared)
{
    TBREvEnvironment env;
    env.AddFunction(QStringLiteral("A"), QStringLiteral("1"));
    env.AddFunction(QStringLiteral("B"), QStringLiteral("A+1"));
    TBREnvironmentEditorLogic logic(&env, false);
    EXPECT_TRUE(logic.ShowsLocal());
    EXPECT_FALSE(logic.GlobalEnabled());
    logic.ShowLocal(false);
    EXPECT_TRUE(logic.ShowsLocal());

    EXPECT_EQ(logic.Rename(1, "doi"), "DOI");
    EXPECT_EQ(env.Names(), (QStringList{"A", "DOI"}));
    EXPECT_EQ(logic.Rename(1, "a"), "DOI") << "a name another entry holds";
    EXPECT_EQ(logic.Rename(1, "  "), "DOI") << "an empty name";
    EXPECT_EQ(logic.EditExpression(0, "5"), "5");

    env.Prepare();
    EXPECT_EQ(logic.EditExpression(0, "7"), "5") << "a prepared environment keeps its expression";
    EXPECT_EQ(env.Value("DOI").intValue, 6);
    EXPECT_FALSE(logic.Delete(0));
    EXPECT_TRUE(logic.Add("trei", "3"));
    EXPECT_EQ(env.Value("TREI").intValue, 3) << "added while prepared: prepared at once";
    env.Unprepare();

    EXPECT_FALSE(logic.Add("Trei", "4"));
    EXPECT_FALSE(logic.Add("", "4"));
    EXPECT_TRUE(logic.Delete(0));
    EXPECT_EQ(env.Names(), (QStringList{"DOI", "TREI"}));

    TBREnvironmentEditorLogic globalOnly(nullptr, false);
    EXPECT_FALSE(globalOnly.LocalEnabled());
    EXPECT_TRUE(globalOnly.GlobalEnabled());
    EXPECT_EQ(&globalOnly.Current(), &GlobalEnvironment());
}

TEST(ExpressionBuilderLogic, EveryFunctionIsExplainedInRomanian)
{
    for (int i = 0; i < FunctionLibrary().Count(); ++i) {
        const TBRLibraryEntry &e = FunctionLibrary().GetEntry(i);
        EXPECT_NE(TBRExpressionBuilderLogic::Explanation(e), e.Description.section(QLatin1Char('|'), 1).trimmed()) << e.Name.toStdString();
    }
}
