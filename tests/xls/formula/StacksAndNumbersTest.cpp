#include "FormulaTestSupport.h"

#include "xls/formula/FormulaNumbers.h"
#include "xls/formula/FormulaStack.h"
#include "xls/formula/WhiteSpaceStack.h"

#include <QLocale>

#include <cmath>

namespace {

TEST(FormulaStack, PushingClearsPendingWhitespace)
{
    TFormulaStack s;
    s.FmSpaces = QStringLiteral("  ");
    s.FmPreSpaces = QStringLiteral(" ");
    s.FmPostSpaces = QStringLiteral("\r");
    s.Push(QStringLiteral("A1"));
    EXPECT_TRUE(s.FmSpaces.isEmpty() && s.FmPreSpaces.isEmpty() && s.FmPostSpaces.isEmpty());
    s.Push(QStringLiteral("B1"));
    s.Push(QStringLiteral("C1"));
    EXPECT_EQ(s.PopJoined(2, u',', QStringLiteral("SUM("), u')'), QStringLiteral("SUM(B1,C1)"));
    EXPECT_EQ(s.Pop(), QStringLiteral("A1"));
    EXPECT_EQ(ErrorOf<std::exception>([&] { s.Pop(); }), QStringLiteral("String Stack is empty"));
    s.Push(QStringLiteral("x"));
    EXPECT_EQ(ErrorOf<std::exception>([&] { s.PopJoined(2, u','); }), QStringLiteral("String Stack is empty"));
    EXPECT_EQ(s.Count(), 1) << "a refused pop takes nothing";
}

TEST(WhiteSpaceStack, CountInTheLowByteKindInTheHigh)
{
    TWhiteSpaceStack s;
    s.Push(3, wsBeforeOpenParen);
    s.Push(255, wsBeforeCloseParen);
    quint8 count = 0, kind = 0;
    s.Peek(count, kind);
    EXPECT_EQ(count, 255);
    EXPECT_EQ(kind, wsBeforeCloseParen);
    s.Pop(count, kind);
    s.Pop(count, kind);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(kind, wsBeforeOpenParen);
    EXPECT_EQ(ErrorOf<std::exception>([&] { s.Peek(count, kind); }), QStringLiteral("WhiteSpace Stack is empty"));
    EXPECT_EQ(ErrorOf<std::exception>([&] { s.Pop(count, kind); }), QStringLiteral("WhiteSpace Stack is empty"));
}

TEST(FormulaNumbers, PointIsTheSeparatorWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania)); // "," as decimal separator
    struct Case { const char *Text; double Value; bool Ok; };
    const Case cases[] = {
        {"1.5", 1.5, true},
        {"1000.25", 1000.25, true},
        {"2.5E+10", 2.5e10, true},
        {"1e-7", 1e-7, true},
        {"1,5", 0, false},
        {"1.2.3", 0, false},
        {"1e999", 0, false}, // no infinities in a token
        {"", 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Text);
        bool ok = !c.Ok;
        EXPECT_EQ(FormulaTextToNumber(QString::fromLatin1(c.Text), &ok), c.Value);
        EXPECT_EQ(ok, c.Ok);
    }
    for (double v : {1.5, 0.1, 1000.25, 1e-7, 2.5e20, 123456789012.0, 1.0 / 3.0}) {
        const QString text = NumberToFormulaText(v);
        EXPECT_FALSE(text.contains(u',')) << text.toStdString();
        EXPECT_EQ(FormulaTextToNumber(text), v) << text.toStdString() << " reads back exactly";
    }
    EXPECT_EQ(NumberToFormulaText(2.5e20), QStringLiteral("2.5E+20"));
    EXPECT_EQ(NumberToFormulaText(1000.25), QStringLiteral("1000.25"));
    QLocale::setDefault(saved);
}

} // namespace
