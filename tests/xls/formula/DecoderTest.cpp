#include "FormulaTestSupport.h"

#include "xls/formula/FormulaDecoder.h"
#include "xls/formula/TokenException.h"

#include <QSet>

#include <cstring>

namespace {

QByteArray Dbl(double v)
{
    QByteArray b(8, '\0');
    std::memcpy(b.data(), &v, 8);
    return b;
}

struct DecodeCase
{
    const char *Name;
    QByteArray Tokens; // followed by array data when the formula has constants
    qsizetype TokenBytes; // -1: all of Tokens
    const char *Text;
};

class DecoderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Refs.AddExternSheet(1, 1); // 0: Sheet2
        Refs.AddExternSheet(2, 2); // 1: 'Foaie 3'
        Refs.AddExternSheet(0, 1); // 2: Sheet1:Sheet2
        Names.Entries = {{QStringLiteral("Total"), -1}, {QStringLiteral("Baza"), 0}};
    }
    QString Decode(const QByteArray &tokens, qsizetype count = -1)
    {
        return DecodeTokens(tokens, 0, count < 0 ? tokens.size() : count, &Names, &Refs);
    }
    FakeReferences Refs;
    FakeNames Names;
};

const QByteArray A1 = Bytes({0x44, 0, 0, 0x00, 0xC0});  // value-class A1, both parts relative
const QByteArray B1 = Bytes({0x24, 0, 0, 0x01, 0xC0});
const QByteArray Two = Bytes({0x1E, 2, 0});

TEST_F(DecoderTest, TokensBecomeTheTextAUserTypes)
{
    const DecodeCase cases[] = {
        {"operators keep RPN order, no parentheses added", A1 + B1 + Two + Bytes({0x05, 0x03}), -1, "=A1+B1*2"},
        {"parenthesis token", A1 + B1 + Bytes({0x03, 0x15}) + Two + Bytes({0x05}), -1, "=(A1+B1)*2"},
        {"all binary operators", Two + Two + Bytes({0x04}) + Two + Bytes({0x06}) + Two + Bytes({0x07}), -1, "=2-2/2^2"},
        {"comparisons and concatenation", A1 + B1 + Bytes({0x08}) + Two + Bytes({0x0E}), -1, "=A1&B1<>2"},
        {"unary and percent", Two + Bytes({0x13, 0x12, 0x14}), -1, "=+-2%"},
        {"two spaces before a number", Bytes({0x1E, 1, 0, 0x19, 0x40, 0x00, 0x02}) + Two + Bytes({0x03}), -1, "=1+  2"},
        {"carriage returns before an item", Bytes({0x19, 0x40, 0x01, 0x02}) + Two, -1, "=\r\r2"},
        {"spaces inside parentheses", Two + Bytes({0x19, 0x40, 0x04, 0x01, 0x19, 0x40, 0x02, 0x03, 0x15}), -1, "=   (2 )"},
        {"whitespace of an unknown kind is ignored", Bytes({0x19, 0x40, 0x06, 0x02}) + Two, -1, "=2"},
        {"text with a doubled quote", Bytes({0x17, 3, 0, 'a', '"', 'b'}), -1, "=\"a\"\"b\""},
        {"wide text", Bytes({0x17, 2, 1, 0x19, 0x02, 'x', 0}), -1, "=\"\u0219x\""},
        {"integer and double", Bytes({0x1E, 0xFF, 0xFF, 0x1F}) + Dbl(1.5) + Bytes({0x03}), -1, "=65535+1.5"},
        {"absolute parts", Bytes({0x24, 9, 0, 0x02, 0x00, 0x24, 9, 0, 0x02, 0x40, 0x24, 9, 0, 0x02, 0x80, 0x03, 0x03}), -1, "=$C$10+C$10+$C10"},
        {"last column IV", Bytes({0x24, 0xFF, 0xFF, 0xFF, 0xC0}), -1, "=IV65536"},
        {"area", Bytes({0x25, 1, 0, 4, 0, 0, 0xC0, 2, 0xC0}), -1, "=A2:C5"},
        {"whole columns with absolute columns", Bytes({0x25, 0, 0, 0xFF, 0xFF, 0x01, 0x80, 0x03, 0x80}), -1, "=$B:$D"},
        {"whole columns, relative", Bytes({0x65, 0, 0, 0xFF, 0xFF, 0x00, 0xC0, 0x02, 0xC0}), -1, "=A:C"},
        {"fixed-argument function", A1 + Two + Bytes({0x41, 27, 0}), -1, "=ROUND(A1,2)"},
        {"function without arguments", Bytes({0x41, 74, 0}), -1, "=NOW()"},
        {"variable-argument function", A1 + B1 + Two + Bytes({0x22, 0x83, 4, 0}), -1, "=SUM(A1,B1,2)"},
        {"missing argument", A1 + Bytes({0x16}) + Two + Bytes({0x42, 3, 1, 0}), -1, "=IF(A1,,2)"},
        {"sum attribute", Bytes({0x25, 0, 0, 2, 0, 0, 0xC0, 0, 0xC0, 0x19, 0x10, 0, 0}), -1, "=SUM(A1:A3)"},
        {"choose jump table is skipped", Two + Bytes({0x19, 0x04, 2, 0, 8, 0, 12, 0, 16, 0}) + A1 + B1 + Bytes({0x42, 3, 100, 0}), -1, "=CHOOSE(2,A1,B1)"},
        {"defined names", Bytes({0x43, 1, 0, 0, 0, 0x23, 2, 0, 0, 0, 0x03}), -1, "=Total+Baza"},
        {"3-D cell", Bytes({0x5A, 0, 0, 4, 0, 0x01, 0xC0}), -1, "=Sheet2!B5"},
        {"3-D area on a quoted sheet", Bytes({0x3B, 1, 0, 0, 0, 1, 0, 0, 0x00, 1, 0x00}), -1, "='Foaie 3'!$A$1:$B$2"},
        {"3-D across sheets", Bytes({0x3A, 2, 0, 0, 0, 0, 0xC0}), -1, "=Sheet1:Sheet2!A1"},
        {"extern name", Bytes({0x39, 0, 0, 1, 0, 0, 0}), -1, "=Sheet2!Total"},
        {"deleted references", Bytes({0x2A, 0, 0, 0, 0, 0x4B, 0, 0, 0, 0, 0, 0, 0, 0, 0x03, 0x3C, 0, 0, 0, 0, 0, 0, 0x03}), -1, "=#REF!+#REF!+#REF!"},
        {"memory tokens carry their bytes and show nothing", Bytes({0x29, 9, 0, 0x28, 1, 2, 3, 4, 5, 6, 0x2F, 1, 2, 3, 4, 5, 6}) + Two, -1, "=2"},
        {"array constant after the tokens", Bytes({0x60, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0x01}) + Dbl(1) + Bytes({0x02, 1, 0, 0, 'x', 0x04, 1, 0, 0, 0, 0, 0, 0, 0, 0x10, 42, 0, 0, 0, 0, 0, 0, 0}), 8, "={1,\"x\";TRUE,#N/A}"},
    };
    for (const DecodeCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Decode(c.Tokens, c.TokenBytes), QString::fromUtf8(c.Text));
    }
}

TEST_F(DecoderTest, ConstantsLeaveTheirTextsOnTheStackInOrder)
{
    // Several values cannot stand alone; inside a function they are its arguments.
    const QByteArray t = Bytes({0x1D, 1, 0x1D, 0, 0x1C, 7, 0x1C, 42, 0x1C, 99, 0x22, 5, 4, 0});
    EXPECT_EQ(Decode(t), QStringLiteral("=SUM(TRUE,FALSE,#DIV/0!,#N/A,#UNKNOWN)"));
}

TEST_F(DecoderTest, SumAttributeSaysSumWhateverItWraps)
{
    EXPECT_EQ(Decode(Two + Bytes({0x19, 0x10, 0, 0})), QStringLiteral("=SUM(2)"));
}

TEST_F(DecoderTest, ArrayAndTableFormulasComeFromTheirRecords)
{
    // ARRAY record: range, options, reserved, then 5 token bytes: =A1*2... here A1+2
    QByteArray array = Bytes({0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0}) + A1 + Two + Bytes({0x03});
    Refs.Arrays.insert(3 | (2u << 16), array);
    EXPECT_EQ(Decode(Bytes({0x01, 3, 0, 2, 0})), QStringLiteral("={=A1+2}"));

    // TABLE: two input cells (option 8): B1 and A2, stored without flags.
    QByteArray table = Bytes({0, 0, 5, 0, 1, 3, 0x08, 0, 0, 0, 1, 0, 1, 0, 0, 0});
    Refs.Tables.insert(0 | (1u << 16), table);
    EXPECT_EQ(Decode(Bytes({0x02, 0, 0, 1, 0})), QStringLiteral("={=TABLE($B$1,$A$2)}"));
    table[6] = 0;
    Refs.Tables.insert(0 | (1u << 16), table);
    EXPECT_EQ(Decode(Bytes({0x02, 0, 0, 1, 0})), QStringLiteral("={=TABLE($B$1)}"));
}

TEST_F(DecoderTest, AnArrayFormulaThatPointsAtAnArrayIsRefused)
{
    QByteArray array = Bytes({0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0x01, 0, 0, 0, 0});
    Refs.Arrays.insert(0, array);
    EXPECT_THROW(Decode(Bytes({0x01, 0, 0, 0, 0})), ETokenException);
}

TEST_F(DecoderTest, BadTokensRaiseTheEngineMessages)
{
    struct ErrorCase
    {
        const char *Name;
        QByteArray Tokens;
        const char *Message;
    };
    const ErrorCase cases[] = {
        {"0x1A cannot be walked", Bytes({0x1A, 0, 0}), "Error reading formula, Token Id: 0x1a is not supported"},
        {"0x1B cannot be walked", Bytes({0x1B, 0, 0}), "Error reading formula, Token Id: 0x1b is not supported"},
        {"id above the classes", Bytes({0x84}), "Error reading formula, Token Id: 0x84 is not supported"},
        {"unused id", Bytes({0x00}), "Error reading formula, Token Id: 0x 0 is not supported"},
        {"function 368", Bytes({0x21, 0x70, 0x01}), "The index \"368\" of the property \"Function name\" is not in the range 0-367"},
        {"name 0", Bytes({0x23, 0, 0, 0, 0}), "The index \"0\" of the property \"Name\" is not in the range 0-2"},
        {"name beyond the table", Bytes({0x23, 3, 0, 0, 0}), "The index \"3\" of the property \"Name\" is not in the range 0-2"},
        {"operator without operands", Bytes({0x03}), "String Stack is empty"},
        {"function short of arguments", Bytes({0x1E, 1, 0, 0x41, 27, 0}), "String Stack is empty"},
        {"no tokens", QByteArray(), "String Stack is empty"},
        {"unknown array constant type", Bytes({0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x07, 0, 0, 0, 0, 0, 0, 0, 0}), "Error reading formula, Token Id: 0x 7 is not supported"},
    };
    for (const ErrorCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const qsizetype count = QByteArrayView(c.Name).startsWith("unknown array") ? 8 : c.Tokens.size();
        EXPECT_EQ(ErrorOf<std::exception>([&] { Decode(c.Tokens, count); }), QString::fromUtf8(c.Message));
        EXPECT_EQ(ErrorOf<std::exception>([&] { CheckTokens(c.Tokens, 0, count, &Names, &Refs); }), QString::fromUtf8(c.Message))
            << "the encoder's check refuses the same";
    }
}

TEST_F(DecoderTest, TwoValuesLeftOverAreAnError)
{
    EXPECT_THROW(Decode(Two + Two), EExcelException);
}

TEST_F(DecoderTest, LengthBeforeTheTokensIsHonoured)
{
    // FORMULA layout: the u16 count right before the tokens; bytes after it are not tokens.
    QByteArray data = Bytes({3, 0}) + Two + Bytes({0x03, 0x03});
    EXPECT_EQ(DecodeFormula(data, 2, &Names, &Refs), QStringLiteral("=2"));
    data[0] = 9; // claims more than there is
    EXPECT_THROW(DecodeFormula(data, 2, &Names, &Refs), EExcelException);
}

// Every prefix of a good token array, placed at the very end of its buffer,
// either decodes or raises (nothing reads past the bytes given); one that
// cuts a token or the array constants always raises.
TEST_F(DecoderTest, TruncatedTokensNeverReadPastTheEnd)
{
    const QByteArray samples[] = {
        A1 + B1 + Two + Bytes({0x05, 0x03}),
        Bytes({0x17, 3, 0, 'a', '"', 'b'}),
        Bytes({0x17, 2, 1, 0x19, 0x02, 'x', 0}),
        Bytes({0x1F}) + Dbl(2.5),
        Bytes({0x3B, 1, 0, 0, 0, 1, 0, 0, 0x00, 1, 0x00}),
        Two + Bytes({0x19, 0x04, 2, 0, 8, 0, 12, 0, 16, 0}) + A1 + B1 + Bytes({0x42, 3, 100, 0}),
        Bytes({0x60, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0x01}) + Dbl(1) + Bytes({0x02, 1, 0, 0, 'x', 0x04, 1, 0, 0, 0, 0, 0, 0, 0, 0x10, 42, 0, 0, 0, 0, 0, 0, 0}),
    };
    for (const QByteArray &sample : samples) {
        SCOPED_TRACE(Hex(sample).toStdString());
        const bool constants = sample.at(0) == char(0x60);
        const qsizetype tokenPart = constants ? 8 : sample.size();
        QSet<qsizetype> between; // cuts that fall between two tokens
        for (qsizetype pos = 0; pos < tokenPart; pos += TokenSize(sample, pos, tokenPart))
            between.insert(pos);
        for (qsizetype n = 0; n < sample.size(); ++n) {
            const QByteArray cut = sample.left(n); // a copy of exactly n bytes
            bool raised = false;
            try {
                Decode(cut, qMin(n, tokenPart));
            } catch (const EExcelException &) {
                raised = true;
            }
            if (constants || !between.contains(n)) {
                EXPECT_TRUE(raised) << "cut after " << n << " bytes";
            }
        }
    }
}

TEST(ReferenceText, ColumnsRunFromAToIV)
{
    EXPECT_EQ(ColumnText(0), QStringLiteral("A"));
    EXPECT_EQ(ColumnText(25), QStringLiteral("Z"));
    EXPECT_EQ(ColumnText(26), QStringLiteral("AA"));
    EXPECT_EQ(ColumnText(255), QStringLiteral("IV"));
    EXPECT_EQ(CellRefText(0, 0xC000 | 27), QStringLiteral("AB1"));
}

} // namespace
