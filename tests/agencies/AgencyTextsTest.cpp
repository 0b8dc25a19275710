#include "documents/DocumentsWorld.h"

#include "agencies/AnnexNames.h"
#include "agencies/DispositionNumbers.h"
#include "agencies/IncomeBrackets.h"
#include "agencies/SupplierNames.h"

#include <QProcess>

TEST(AnnexNames, FileNamesKeepOnlyDigitsCapitalsAndUnderscores)
{
    struct Case { const char *name; QString annex, suffix, uat, month, year, expected; };
    const Case cases[] = {
        {"diacritics fold to their letters", "13", "", QStringLiteral("Sânmartin"), "Martie", "2023",
         "ANEXA_13_SANMARTIN_MARTIE_2023"},
        {"cedilla and comma below", "13", "", QStringLiteral("Ştefan cel Mare Ștei"), "Mai", "2024",
         "ANEXA_13_STEFANCELMARESTEI_MAI_2024"},
        {"blanks and hyphens go", "14", "", "SAT NOU-MARE", "noiembrie", "2022", "ANEXA_14_SATNOUMARE_NOIEMBRIE_2022"},
        {"nothing kept", "15", "", QStringLiteral(". - !"), "Mai", "2024", "ANEXA_15__MAI_2024"},
        {"suffix cleaned", "16", QStringLiteral("  E-On \"Gaz\"  Tg. Mureş "), "Bacau", "Mai", "2024",
         "ANEXA_16_BACAU_MAI_2024_EONGAZTGMURES"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AnnexNames::AnnexFileName(c.annex, c.suffix, c.uat, c.month, c.year), c.expected) << c.name;
}

TEST(AnnexNames, CsvTextNeverCarriesSeparatorsAndIncomeRoundsUpOnExactCents)
{
    struct Case { const char *name; QString value, expected; };
    const Case cases[] = {
        {"empty", "", ""},
        {"comma collapsed", "Pop, Ion", "POP ION"},
        {"address", "Str. Mare, nr. 5", "STR. MARE NR. 5"},
        {"quotes and semicolons", "a\"b;c'd", "A B C D"},
        {"diacritics fold", QStringLiteral("Ştefan Ţăran"), "STEFAN TARAN"},
        {"capitals with breve and cedilla", QStringLiteral("BĂLAN IONUŢ"), "BALAN IONUT"},
        {"comma below, both cases", QStringLiteral("VIIȘOARA str. școlii ț"), "VIISOARA STR. SCOLII T"},
        {"circumflex, both cases", QStringLiteral("Îngerul Râului âî"), "INGERUL RAULUI AI"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AnnexNames::CsvText(c.value), c.expected) << c.name;

    EXPECT_EQ(AnnexNames::WholeIncome(1386.00), 1386);
    EXPECT_EQ(AnnexNames::WholeIncome(1386.01), 1387);
    EXPECT_EQ(AnnexNames::WholeIncome(0), 0);
    EXPECT_EQ(AnnexNames::LevelText(320), "100.00");
    EXPECT_EQ(AnnexNames::LevelText(288), "90.00");
}

TEST(IncomeBrackets, BoundsBelongBelowAndSinglePersonsSkipBracketTen)
{
    const IncomeBrackets br({155, 210, 260, 310, 355, 425, 480, 540, 615, 786, 1082});
    struct Case { const char *name; double venitm; int members; int bracket; bool in; };
    const Case cases[] = {
        {"zero income in 1", 0, 2, 1, true},
        {"equal to Lim1 in 1", 155, 2, 1, true},
        {"equal to Lim1 not in 2", 155, 2, 2, false},
        {"just above Lim1 in 2", 155.01, 3, 2, true},
        {"family above Lim9 in 10", 700, 2, 10, true},
        {"family above Lim10 in none", 900, 2, 10, false},
        {"family never in 11", 700, 2, 11, false},
        {"single below Lim10 in 11", 700, 1, 11, true},
        {"single never in 10", 700, 1, 10, false},
        {"single up to Lim11 in 11", 1082, 1, 11, true},
        {"single above Lim11 in none", 1082.01, 1, 11, false},
        {"no members counts nowhere", 100, 0, 1, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(br.contains(c.bracket, c.venitm, c.members), c.in) << c.name;
}

TEST(SupplierNames, SpellingsOfOneSupplierAreOneAndFolderNamesAreSafeAndDistinct)
{
    EXPECT_EQ(SupplierNames::Distinct({"E-ON Energie", " E-On energie ", "CEZ", "cez", ""}),
              (QStringList{"E-ON Energie", "CEZ", ""}));

    struct Case { const char *name; QString in, expected; };
    const Case cases[] = {
        {"separators", "Gaz/Est\\Vest", "Gaz_Est_Vest"},
        {"parent folder", "..", "_"},
        {"climbing", "../../etc", "____etc"},
        {"control and reserved", QStringLiteral("A\x01:B*?"), "A__B__"},
        {"trailing dots", "Electrica S.A.", "Electrica S.A"},
        {"empty stays the output folder", "", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SupplierNames::SafeFileName(c.in), c.expected) << c.name;
    EXPECT_EQ(SupplierNames::DistinctFileNames({"A/B", "A:B", "a_b", "C"}),
              (QStringList{"A_B", "A_B (2)", "a_b (3)", "C"}));
}

// Every request of every month, with its number and date; an empty date
// gives the number alone. Read back by dbfread.
TEST(DispositionNumbers, TableHoldsEveryRequestWithNumberAndDate)
{
    DocumentsWorld w;
    QVariantMap undated = DocumentsWorld::request(2);
    undated.remove("DATADISP");
    QVariantMap other = DocumentsWorld::request(3);
    other["LUNACRT"] = DocumentsWorld::month() - 5;
    other["NR_DISP"] = "123456789012345";
    w.writeCereri({DocumentsWorld::request(1), undated, other});

    const QString path = DispositionNumbers::BuildAjvpsTable(QDir(w.data).filePath(RequestTables::Cereri));
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {"-c", "import sys\nfrom dbfread import DBF\n"
                    "for r in DBF(sys.argv[1]): print('%d|%s' % (r['NRCRT'], r['NR_DISP']))", path});
    ASSERT_TRUE(py.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()).trimmed(),
              QStringLiteral("1|1/16.01.2023\n2|2\n3|123456789012345/16.01.2023"));
    EXPECT_EQ(DispositionNumbers::DispositionText("7", {}), "7");
    QFile::remove(path);
}
