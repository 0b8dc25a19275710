#include "FormulaTestSupport.h"

#include "xls/formula/FormulaDecoder.h"
#include "xls/formula/ParseString.h"

#include <cstring>

namespace {

QByteArray Dbl(double v)
{
    QByteArray b(8, '\0');
    std::memcpy(b.data(), &v, 8);
    return b;
}

class EncoderTest : public ::testing::Test
{
protected:
    QByteArray Encode(const QString &text, int initialClass = fmValue)
    {
        TParseString p(text, initialClass, &Refs, &Names);
        p.Parse();
        return p.Tokens();
    }
    FakeReferences Refs;
    FakeNames Names;
};

struct EncodeCase
{
    const char *Name;
    const char *Text;
    QByteArray Tokens;
};

TEST_F(EncoderTest, TextBecomesTokensInReversePolishOrder)
{
    const EncodeCase cases[] = {
        {"precedence", "=1+2*3", Bytes({0x1E, 1, 0, 0x1E, 2, 0, 0x1E, 3, 0, 0x05, 0x03})},
        {"left associative", "=8-2-1", Bytes({0x1E, 8, 0, 0x1E, 2, 0, 0x04, 0x1E, 1, 0, 0x04})},
        {"65535 is still an integer token", "=65535", Bytes({0x1E, 0xFF, 0xFF})},
        {"70000 is a double", "=70000", Bytes({0x1F}) + Dbl(70000)},
        {"1.5 is a double", "=1.5", Bytes({0x1F}) + Dbl(1.5)},
        {"integral exponent is an integer", "=2.5E+3", Bytes({0x1E, 0xC4, 0x09})},
        {"exponent", "=2.5E+10", Bytes({0x1F}) + Dbl(2.5e10)},
        {"references in operations take value class", "=A1+B1*2", Bytes({0x44, 0, 0, 0, 0xC0, 0x44, 0, 0, 1, 0xC0, 0x1E, 2, 0, 0x05, 0x03})},
        {"dollar signs clear the relative flags", "=$C$10+C$10+$C10", Bytes({0x44, 9, 0, 2, 0x00, 0x44, 9, 0, 2, 0x40, 0x03, 0x44, 9, 0, 2, 0x80, 0x03})},
        {"two-letter column and the last cell", "=IV65536", Bytes({0x44, 0xFF, 0xFF, 0xFF, 0xC0})},
        {"two spaces before a number", "=  2", Bytes({0x19, 0x40, 0x00, 0x02, 0x1E, 2, 0})},
        {"space before an operator", "=1 +2", Bytes({0x1E, 1, 0, 0x1E, 2, 0, 0x19, 0x40, 0x00, 0x01, 0x03})},
        {"spaces around a parenthesised item", "= ( 1 )", Bytes({0x19, 0x40, 0x00, 0x01, 0x1E, 1, 0, 0x19, 0x40, 0x04, 0x01, 0x19, 0x40, 0x02, 0x01, 0x15})},
        {"function without arguments", "=NOW()", Bytes({0x41, 74, 0})},
        {"variable function with no arguments", "=SUM()", Bytes({0x42, 0, 4, 0})},
        {"reference argument keeps reference class", "=SUM(A1:B2)", Bytes({0x25, 0, 0, 1, 0, 0, 0xC0, 1, 0xC0, 0x42, 1, 4, 0})},
        {"value argument", "=ROUND(A1,2)", Bytes({0x44, 0, 0, 0, 0xC0, 0x1E, 2, 0, 0x41, 27, 0})},
        {"array argument", "=SUMPRODUCT(A1:A3)", Bytes({0x65, 0, 0, 2, 0, 0, 0xC0, 0, 0xC0, 0x42, 1, 228, 0})},
        {"reference-class function result", "=IF(A1,1,2)", Bytes({0x44, 0, 0, 0, 0xC0, 0x1E, 1, 0, 0x1E, 2, 0, 0x42, 3, 1, 0})},
        {"missing argument", "=IF(A1,,2)", Bytes({0x44, 0, 0, 0, 0xC0, 0x16, 0x1E, 2, 0, 0x42, 3, 1, 0})},
        {"comma inside a plain parenthesis is a union", "=SUM((A1,B1))", Bytes({0x24, 0, 0, 0, 0xC0, 0x24, 0, 0, 1, 0xC0, 0x10, 0x15, 0x42, 1, 4, 0})},
        {"range operator", "=SUM(A1:B1:C1)", Bytes({0x25, 0, 0, 0, 0, 0, 0xC0, 1, 0xC0, 0x24, 0, 0, 2, 0xC0, 0x11, 0x42, 1, 4, 0})},
        {"comparisons", "=1<=2", Bytes({0x1E, 1, 0, 0x1E, 2, 0, 0x0A})},
        {"not equal", "=1<>2", Bytes({0x1E, 1, 0, 0x1E, 2, 0, 0x0E})},
        {"equal", "=1=2", Bytes({0x1E, 1, 0, 0x1E, 2, 0, 0x0B})},
        {"greater", "=1>2", Bytes({0x1E, 1, 0, 0x1E, 2, 0, 0x0D})},
        {"concatenation", "=\"a\"&\"b\"", Bytes({0x17, 1, 0, 'a', 0x17, 1, 0, 'b', 0x08})},
        {"power binds tighter than times", "=2*3^2", Bytes({0x1E, 2, 0, 0x1E, 3, 0, 0x1E, 2, 0, 0x07, 0x05})},
        {"sign binds tighter than power", "=-2^2", Bytes({0x1E, 2, 0, 0x13, 0x1E, 2, 0, 0x07})},
        {"signs nearest the operand first", "=-+A1", Bytes({0x44, 0, 0, 0, 0xC0, 0x12, 0x13})},
        {"percent", "=5%", Bytes({0x1E, 5, 0, 0x14})},
        {"doubled quote in text", "=\"a\"\"b\"", Bytes({0x17, 3, 0, 'a', '"', 'b'})},
        {"wide text", "=\"\u0219\"", Bytes({0x17, 1, 1, 0x19, 0x02})},
        {"error constant in any case", "=#n/a", Bytes({0x1C, 42})},
        {"booleans", "=TRUE", Bytes({0x1D, 1})},
        {"3-D reference keeps its flags", "=Sheet2!B5", Bytes({0x5A, 0, 0, 4, 0, 1, 0xC0})},
        {"sheet name without regard to case", "=sheet2!B5", Bytes({0x5A, 0, 0, 4, 0, 1, 0xC0})},
        {"quoted sheet and area", "='Foaie 3'!$A$1:$B$2", Bytes({0x5B, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0})},
        {"sheet range", "=SUM(Sheet1:Sheet2!A1)", Bytes({0x3A, 2, 0, 0, 0, 0, 0xC0, 0x42, 1, 4, 0})},
        {"whole columns keep their rows absolute", "=SUM(A:C)", Bytes({0x25, 0, 0, 0xFF, 0xFF, 0, 0x40, 2, 0x40, 0x42, 1, 4, 0})},
        {"absolute whole column", "=SUM($B:$B)", Bytes({0x25, 0, 0, 0xFF, 0xFF, 1, 0, 1, 0, 0x42, 1, 4, 0})},
        {"whole columns on another sheet", "=SUM(Sheet2!A:B)", Bytes({0x3B, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0x40, 1, 0x40, 0x42, 1, 4, 0})},
    };
    for (const EncodeCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Hex(Encode(QString::fromUtf8(c.Text))), Hex(c.Tokens));
    }
}

TEST_F(EncoderTest, NamesAreMadeInReferenceClass)
{
    EXPECT_EQ(Hex(Encode(QStringLiteral("=A1:B2"), fmReference)), Hex(Bytes({0x25, 0, 0, 1, 0, 0, 0xC0, 1, 0xC0})));
    EXPECT_EQ(Hex(Encode(QStringLiteral("=A1:B2"), fmArray)), Hex(Bytes({0x65, 0, 0, 1, 0, 0, 0xC0, 1, 0xC0})));
}

TEST_F(EncoderTest, Force3DMakesAbsoluteReferencesToTheDefaultSheet)
{
    TParseString p(QStringLiteral("=B$5:C7"), fmReference, &Refs, &Names, QStringLiteral("Sheet2"), true);
    p.Parse();
    EXPECT_EQ(Hex(p.Tokens()), Hex(Bytes({0x3B, 0, 0, 4, 0, 6, 0, 1, 0, 2, 0})));
    ASSERT_EQ(Refs.Extern.size(), 1);
    EXPECT_EQ(Refs.Extern.at(0), qMakePair(1, 1));
}

TEST_F(EncoderTest, CopyWritesTheLengthThenTheTokens)
{
    TParseString p(QStringLiteral("=1+2"), fmValue, &Refs, &Names);
    p.Parse();
    EXPECT_EQ(p.TotalSize(), 9);
    QByteArray out(12, '\xAA');
    p.CopyToPtr(out, 1);
    EXPECT_EQ(Hex(out), Hex(Bytes({0xAA, 7, 0, 0x1E, 1, 0, 0x1E, 2, 0, 0x03, 0xAA, 0xAA})));
    QByteArray small(8, '\0');
    EXPECT_THROW(p.CopyToPtr(small, 0), EExcelException);
}

TEST_F(EncoderTest, BadTextRaisesTheEngineMessages)
{
    struct ErrorCase
    {
        const char *Text;
        const char *Message;
    };
    const ErrorCase cases[] = {
        {"1+2", "Formula must start with \"=\": \"1+2\""},
        {"", "Formula must start with \"=\": \"\""},
        {"=1+2 ", "Unexpected char \" \" at pos 5 on formula: \"=1+2 \""},
        {"=1+", "Unexpected end of formula: \"=1+\""},
        {"=", "Unexpected end of formula: \"=\""},
        {"=1+)", "Unexpected char \")\" at pos 4 on formula: \"=1+)\""},
        {"=\"abc", "Unterminated string on formula: \"=\"abc\""},
        {"='Sheet2!A1", "Unterminated string on formula: \"='Sheet2!A1\""},
        {"='Sheet2'A1", "Unexpected char \"A\" at pos 10 on formula: \"='Sheet2'A1\""},
        {"=(1", "Missing closing parentheses on formula: \"=(1\""},
        {"=SUM(1", "Unexpected end of formula: \"=SUM(1\""},
        {"=SUM(1,", "Unexpected end of formula: \"=SUM(1,\""},
        {"=SUM(1;2)", "Unexpected char \";\" at pos 7 on formula: \"=SUM(1;2)\""},
        {"=Foo", "Unexpected Identifier: \"FOO\" on formula \"=Foo\""},
        {"=Foo(1)", "Function not found: \"FOO\" on formula \"=Foo(1)\""},
        {"=ROUND(1)", "Invalid number of parameters to function \"ROUND\": Expected 2 and found 1"},
        {"=NOW(1)", "Invalid number of parameters to function \"NOW\": Expected 0 and found 1"},
        {"=Nope!A1", "Invalid sheet: NOPE"},
        {"=Sheet2!XYZ", "Unexpected Identifier: \"649, 0\" on formula \"=Sheet2!XYZ\""},
        {"={1,2}", "Writing array formulas is not yet supported"},
        {"=#FOO", "Unexpected Identifier: \"#FOO\" on formula \"=#FOO\""},
        {"=#ABCDEFGH", "Unexpected Identifier: \"#ABCDEFG\" on formula \"=#ABCDEFGH\""},
        {"=A1:", "Unexpected char \":\" at pos 4 on formula: \"=A1:\""},
        {"=A0", "Unexpected Identifier: \"A0\" on formula \"=A0\""},
        {"=IW1", "Unexpected Identifier: \"IW1\" on formula \"=IW1\""},
        {"=A65537", "Unexpected Identifier: \"A65537\" on formula \"=A65537\""},
        {"=\u0219", "Unexpected char \"\u0219\" at pos 2 on formula: \"=\u0219\""},
        {"=1.2.3", "Unexpected Identifier: \"1.2.3\" on formula \"=1.2.3\""},
        {"=A:IW", "Unexpected Identifier: \"A:IW\" on formula \"=A:IW\""},
        {"=A:", "Unexpected Identifier: \"A:\" on formula \"=A:\""},
        {"=A:B1", "Unexpected Identifier: \"A:B1\" on formula \"=A:B1\""},
    };
    for (const ErrorCase &c : cases) {
        SCOPED_TRACE(c.Text);
        TParseString p(QString::fromUtf8(c.Text), fmValue, &Refs, &Names);
        EXPECT_EQ(ErrorOf<std::exception>([&] { p.Parse(); }), QString::fromUtf8(c.Message));
        EXPECT_TRUE(p.Tokens().isEmpty()) << "a failed parse leaves nothing behind";
    }
}

TEST_F(EncoderTest, FormulasUpTo1023CharactersAreAccepted)
{
    QString sum = QStringLiteral("=11");
    while (sum.size() < 1021)
        sum += QStringLiteral("+1");
    ASSERT_EQ(sum.size(), 1021);
    EXPECT_NO_THROW(Encode(sum + QStringLiteral("+1"))); // 1023 characters
    const QString tooLong = sum + QStringLiteral("+10"); // 1024
    EXPECT_EQ(ErrorOf<std::exception>([&] { Encode(tooLong); }), QStringLiteral("Formula too long: \"%1\"").arg(tooLong));
}

TEST_F(EncoderTest, HostileTextIsRefusedCleanly)
{
    // Deep nesting would otherwise recurse once per parenthesis.
    const QString deep = QStringLiteral("=") + QString(400, u'(') + u'1' + QString(400, u')');
    EXPECT_EQ(ErrorOf<std::exception>([&] { Encode(deep); }), QStringLiteral("Formula too deeply nested: \"%1\"").arg(deep));
    // A text constant holds its length in one byte.
    const QString longText = QStringLiteral("=\"") + QString(256, u'x') + u'"';
    EXPECT_EQ(ErrorOf<std::exception>([&] { Encode(longText); }), QStringLiteral("String too long on formula: \"%1\"").arg(longText));
    EXPECT_NO_THROW(Encode(QStringLiteral("=\"") + QString(255, u'x') + u'"'));
}

// What the encoder makes decodes back to the same text.
TEST_F(EncoderTest, EncodedFormulasDecodeToTheSameText)
{
    Names.Entries = {{QStringLiteral("Total"), -1}};
    const char *texts[] = {
        "=SUM(A1:A10)",
        "=SUM(C2:C25)*1.19",
        "=IF(B2>0,B2*2,\"nu\")",
        "=DATE(1900+MID(A2,2,2),MID(A2,4,2),MID(A2,6,2))",
        "=VALUE(MID(A2,2,2))",
        "=CONCATENATE(A1,\" \",B1)",
        "=Sheet2!$A$1+'Foaie 3'!B2",
        "=ROUND(A1*0.5,2)-$B$1",
        "=(A1+B1)*(C1-D1)/2",
        "=-A1%",
        "=A1&\"x\"\"y\"",
        "=IF(A1,,2)",
        "=NOW()",
        "=SUM(A1, B1)",
        "=1 + 2",
        "=#DIV/0!",
        "=TRUE",
        "=COUNTIF(A1:A5,\">2\")",
        "=SUM(Sheet1:Sheet2!A1:B2)",
        "=SUM((A1,B1))",
        "=AVERAGE(A1:A3)",
        "=SUM(A:C)",
        "=COUNTIF($B:$B,\">2\")+A1",
    };
    for (const char *t : texts) {
        SCOPED_TRACE(t);
        const QByteArray tokens = Encode(QString::fromUtf8(t));
        EXPECT_EQ(DecodeTokens(tokens, 0, tokens.size(), &Names, &Refs), QString::fromUtf8(t));
    }
}

} // namespace
