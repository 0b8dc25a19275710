#include "documents/RTFReplace.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class RtfFiller : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    TRTFReplace rtf;

    QString path(const QString &name) const { return dir.filePath(name); }

    void writeTemplate(const QByteArray &bytes)
    {
        QFile f(path("model.rtf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        rtf.RTFSursa = f.fileName();
        rtf.RTFDest = path("out.rtf");
    }

    QByteArray output() const
    {
        QFile f(path("out.rtf"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    // Header, one body line per entry of body, closing brace.
    static QByteArray doc(const QList<QByteArray> &body)
    {
        QByteArray t = "{\\rtf1\\ansi\\ansicpg1250\r\n{\\fonttbl{\\f0 Arial;}}\r\n";
        for (int i = 0; i < body.size(); ++i)
            t += (i == 0 ? "\\pard " : "") + body[i] + "\r\n";
        return t + "}\r\n";
    }

    QByteArray fill(const QList<QByteArray> &body, const QList<std::pair<QString, QString>> &keys)
    {
        writeTemplate(doc(body));
        EXPECT_TRUE(rtf.IncepeDocument());
        for (const auto &[k, v] : keys)
            rtf.AdaugaCheie(k, v);
        rtf.AdaugaPagini(1);
        rtf.InchideDocument();
        const QByteArray all = output();
        const qsizetype b = all.indexOf("\\pard");
        return all.mid(b);
    }
};

const QByteArray kHeader = "{\\rtf1\\ansi\\ansicpg1250\r\n{\\fonttbl{\\f0 Arial;}}\r\n";

} // namespace

TEST_F(RtfFiller, HeaderCopiedAndDocumentClosedOnce)
{
    writeTemplate(doc({"Nume: [NUME]\\par"}));
    ASSERT_TRUE(rtf.IncepeDocument());
    EXPECT_EQ(output(), "<missing>") << "the name is taken only by the whole document";
    rtf.AdaugaCheie("[NUME]", "Pop");
    rtf.AdaugaPagini(1);
    rtf.InchideDocument();
    EXPECT_EQ(output(), kHeader + "\\pard Nume: POP\\par\r\n}\r\n");
}

TEST(RtfEscape, ValuesCannotInjectRtf)
{
    struct Row { const char *name; QString value; QByteArray bytes; } rows[] = {
        {"braces become parentheses", "a{b}c", "a(b)c"},
        {"backslash doubled", "C:\\x \\par", "C:\\\\x \\\\par"},
        {"capital S cedilla as hex", QString::fromUtf8("Ştefan"), "\\'aatefan"},
        {"capital T cedilla as hex", QString::fromUtf8("Ţuţu"), "\\'deu\xFEu"},
        {"small s cedilla unchanged", QString::fromUtf8("şi"), "\xBAi"},
        {"comma-below letters as cedilla", QString::fromUtf8("ș ț Ș"), "\xBA \xFE \\'aa"},
        {"outside the code page as \\u", QString::fromUtf8("a\xE4\xB8\xAD"), "a\\u20013?"},
        {"high code point is negative", QString(QChar(0xFFFD)), "\\u-3?"},
        {"astral as surrogate pair", QString::fromUtf8("\xF0\x9F\x98\x80"), "\\u-10179?\\u-8704?"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(TRTFReplace::escapeValue(r.value), r.bytes) << r.name;
}

TEST_F(RtfFiller, PlaceholderCaseDecidesValueCase)
{
    struct Row { const char *name; QByteArray line; QString key; QString value; QByteArray expect; } rows[] = {
        {"capital placeholder upper-cases", "[NUME]", "[nume]", "Ion", "ION"},
        {"small placeholder keeps value", "[nume]", "[NUME]", "Ion", "Ion"},
        {"mixed placeholder keeps value", "[Nume]", "[NUME]", "Ion", "Ion"},
        {"four characters never upper-cased", "[SL]", "[SL]", "ab", "ab"},
        {"upper-casing covers diacritics", "[NUME]", "[NUME]", QString::fromUtf8("Ioniţă"), "IONI\\'de\xC3"},
        {"empty value is ten dots", "[X] ok", "[X]", "", ".......... ok"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(fill({r.line}, {{r.key, r.value}}), "\\pard " + r.expect + "\r\n}\r\n") << r.name;
}

TEST_F(RtfFiller, RunOfValues)
{
    const QList<std::pair<QString, QString>> run = {{"[M]", "a"}, {"[M]", "b"}, {"[M]", "c"}};
    EXPECT_EQ(fill({"x", "[M]\\par"}, run), "\\pard x\r\na\\par\r\nb\\par\r\nc\\par\r\n}\r\n");
    EXPECT_EQ(fill({"[M] [M] [M]"}, run), "\\pard a b c\r\n}\r\n");
}

TEST(RtfRun, ClearingTheKeysEndsTheRun)
{
    TRTFReplace rtf;
    rtf.AdaugaCheie("[M]", "a");
    rtf.AdaugaCheie("[M]", "b");
    EXPECT_EQ(rtf.InlocuiesteChei("[M]"), "a"); // the run stands on "b" now
    rtf.StergeChei();
    // A new run starts at its own first value.
    rtf.AdaugaCheie("[M]", "c");
    rtf.AdaugaCheie("[M]", "d");
    EXPECT_EQ(rtf.InlocuiesteChei("[M]"), "c");
    rtf.StergeChei();
    // Fewer keys than the old run's position: nothing is read past the list.
    rtf.AdaugaCheie("[M]", "e");
    EXPECT_EQ(rtf.InlocuiesteChei("[M]"), "e");
}

TEST_F(RtfFiller, BoundedOnHostileKeysAndValues)
{
    // A value holding its own key is not filled again.
    EXPECT_EQ(fill({"[A] [A]"}, {{"[A]", "<[A]>"}}), "\\pard <[A]> <[A]>\r\n}\r\n");
    // Text brought in by one key is not matched by a later one.
    EXPECT_EQ(fill({"[A]"}, {{"[A]", "[B]"}, {"[B]", "no"}}), "\\pard [B]\r\n}\r\n");
    // An empty key matches nothing.
    EXPECT_EQ(fill({"[A]"}, {{"", "x"}}), "\\pard [A]\r\n}\r\n");
    // Two runs on one line reset each other; the line is written a bounded number of times.
    const QByteArray two = fill({"[A][B]"}, {{"[A]", "1"}, {"[A]", "2"}, {"[B]", "3"}, {"[B]", "4"}});
    EXPECT_LE(two.count("\r\n"), 6);
}

TEST_F(RtfFiller, TwoPagesAndNewPage)
{
    writeTemplate(doc({"[N]\\par"}));
    ASSERT_TRUE(rtf.IncepeDocument());
    rtf.AdaugaCheie("[N]", "1");
    rtf.AdaugaPagini(2);
    rtf.PaginaNoua();
    rtf.AdaugaCheie("[N]", "2");
    rtf.AdaugaPagini(1);
    rtf.InchideDocument();
    EXPECT_EQ(output(), kHeader + "\\pard 1\\par\r\n\\page\r\n\\pard 1\\par\r\n"
                                  " \\par \\page \r\n\\pard 2\\par\r\n}\r\n");
}

TEST_F(RtfFiller, TemplateReadOncePerDocument)
{
    writeTemplate(doc({"old [N]\\par"}));
    ASSERT_TRUE(rtf.IncepeDocument());
    rtf.AdaugaCheie("[N]", "1");
    rtf.AdaugaPagini(1);
    // Edited while the document is being written: its pages stay alike.
    writeTemplate(doc({"new [N]\\par"}));
    rtf.PaginaNoua();
    rtf.AdaugaCheie("[N]", "2");
    rtf.AdaugaPagini(1);
    rtf.InchideDocument();
    EXPECT_EQ(output(), kHeader + "\\pard old 1\\par\r\n \\par \\page \r\n\\pard old 2\\par\r\n}\r\n");
    // The next document reads the template as it is now.
    ASSERT_TRUE(rtf.IncepeDocument());
    rtf.AdaugaCheie("[N]", "3");
    rtf.AdaugaPagini(1);
    rtf.InchideDocument();
    EXPECT_EQ(output(), kHeader + "\\pard new 3\\par\r\n}\r\n");
    // So does a document written whole.
    writeTemplate(doc({"Anexa [N]\\par"}));
    rtf.AdaugaCheie("[N]", "4");
    rtf.CompleteazaDocument("Anexa");
    rtf.InchideDocument();
    EXPECT_EQ(output(), kHeader + "\\pard Anexa 4\\par\r\n}\r\n");
}

TEST_F(RtfFiller, ClosingLineCutAtTheDocumentBrace)
{
    // The closing brace shares a line with text and a nested group.
    writeTemplate(kHeader + "\\pard a\r\n{\\b [X]}\\par}\r\n");
    ASSERT_TRUE(rtf.IncepeDocument());
    rtf.AdaugaCheie("[X]", "v");
    rtf.AdaugaPagini(1);
    rtf.InchideDocument();
    EXPECT_EQ(output(), kHeader + "\\pard a\r\n{\\b v}\\par\r\n}\r\n");

    // A template cut short keeps its last line whole instead of losing a character.
    writeTemplate(kHeader + "\\pard a\r\n[X]\\par\r\n");
    ASSERT_TRUE(rtf.IncepeDocument());
    rtf.AdaugaCheie("[X]", "v");
    rtf.AdaugaPagini(1);
    rtf.InchideDocument();
    EXPECT_TRUE(output().endsWith("\\pard a\r\nv\\par\r\n}\r\n"));
}

TEST_F(RtfFiller, TemplatesThatCannotStartADocument)
{
    struct Row { const char *name; QByteArray bytes; } rows[] = {
        {"empty", ""},
        {"no \\pard", "{\\rtf1\\ansi\r\nplain text\r\n}\r\n"},
    };
    for (const Row &r : rows) {
        writeTemplate(r.bytes);
        QFile(path("out.rtf")).open(QIODevice::WriteOnly); // an old output must not survive
        EXPECT_FALSE(rtf.IncepeDocument()) << r.name;
        EXPECT_FALSE(QFile::exists(path("out.rtf"))) << r.name;
    }
    rtf.RTFSursa = path("missing.rtf");
    EXPECT_FALSE(rtf.IncepeDocument());
    rtf.RTFSursa.clear();
    EXPECT_FALSE(rtf.IncepeDocument());
}

TEST_F(RtfFiller, CompleteazaDocumentFillsFromTheAnchor)
{
    writeTemplate("{\\rtf1 [A] before\r\n\\pard Anexa [a] [B] [A]\r\n[b]\\par}\r\n");
    rtf.AdaugaCheie("[A]", "x[B]");
    rtf.AdaugaCheie("[A]", "second");
    rtf.AdaugaCheie("[B]", "");
    rtf.CompleteazaDocument("Anexa");
    rtf.InchideDocument();
    // Lines before the anchor untouched; the first entry of a repeated key fills
    // all; an empty value leaves nothing; inserted text is not matched again;
    // exactly one closing brace.
    EXPECT_EQ(output(), "{\\rtf1 [A] before\r\n\\pard Anexa x[B]  x[B]\r\n\\par}\r\n");
}

TEST(RtfBraces, NumaraAcolade)
{
    EXPECT_EQ(TRTFReplace::NumaraAcolade("{\\b x}"), 0);
    EXPECT_EQ(TRTFReplace::NumaraAcolade("{{"), 2);
    EXPECT_EQ(TRTFReplace::NumaraAcolade("\\}}"), -2); // escaped braces count too
}
