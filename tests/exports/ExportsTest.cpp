#include "XmlTree.h"
#include "documents/DocumentsWorld.h"

#include "core/Form3.h"
#include "core/Form4.h"
#include "exports/AnpisExport.h"
#include "exports/F2201Export.h"
#include "platform/io/DurableFile.h"
#include "documents/SampleSeason.h"

#include <QDirIterator>
#include <QProcess>

namespace {

bool runAnpis() { return Form3().runGuarded(&AnpisExport::ExportDateAJPISXML1Click); }
bool runF2201() { return Form3().runGuarded(&F2201Export::FormularulF2201ANAFXML1Click); }

// A personal code born on `day` (the control digit is not read here).
QString code(char sex, const QDate &day)
{
    return QLatin1Char(sex) + day.toString(QStringLiteral("yyMMdd")) + QStringLiteral("040011");
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QVariantMap withValues(QVariantMap row, const QVariantMap &values)
{
    for (auto it = values.begin(); it != values.end(); ++it)
        row[it.key()] = it.value();
    return row;
}

QString python()
{
    return QStringLiteral("/usr/bin/python3");
}

} // namespace

// Two requests of the month with a total, one without, one of another month;
// supplements at their rounding borders, members with awkward names.
TEST(AnpisExport, WritesTheMonthsRequestsWithTheirRightsAndMembers)
{
    DocumentsWorld w;
    Form4().CodFiscal->setText(QStringLiteral("4540321"));
    QVariantMap full = withValues(DocumentsWorld::request(7),
        {{"NR_CERE", 2}, {"SUMAL", 20.0}, {"SUMAE", 0.5}, {"SUMAG", 1.5}, {"SUMAT", 30.0}, {"CNPG", "2800101040012"},
         {"FURNG", "Gaz & Co"}, {"PODG", "DEG1"}, {"CODCLG", "77"}, {"CNPT", "1800101040011"}, {"FURNT", "Termo"},
         {"CODCLT", "88"}, {"TOTAL", 801.0}, {"NR_MEMBRI", 3}, {"COPII14", 1}, {"COPII18", 0},
         {"ADRESA", QStringLiteral("Str. \"Mare\" & <Mica> \x01nr.\t3")}});
    full.remove("DATADISP");
    w.writeCereri({full,
                   withValues(DocumentsWorld::request(8), {{"NR_CERE", 1}, {"TOTAL", 288.0}, {"COPII14", 1},
                                                           {"COPII18", 2}, {"NR_MEMBRI", 4}}),
                   withValues(DocumentsWorld::request(9), {{"TOTAL", 0.0}}),
                   withValues(DocumentsWorld::request(10), {{"LUNACRT", DocumentsWorld::month() - 1}})});
    w.writeOameni({DocumentsWorld::member(7, "POPESCU ION VASILE", "1800101040011", "beneficiar", 1000.5),
                   DocumentsWorld::member(7, "ANA", "6100101040011", "copil", 2.5),
                   DocumentsWorld::member(7, "POPESCU MARIA", "2800101040012", "Beneficiar", 233.5),
                   DocumentsWorld::member(9, "ALTUL", "1800101040011", "beneficiar")});
    w.shell.chooseAnswers << w.root;
    ASSERT_TRUE(runAnpis());
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_EQ(w.dialogs.messages[0].text, QStringLiteral("\rXML-ul a fost creat: Date_4540321v2.xml\rTrimiteti-l la ANPIS!"));
    EXPECT_EQ(w.shell.prompts, QStringList{QStringLiteral("Alegeti directorul unde punem XML-ul")});

    const XmlTree root = XmlTree::read(w.root + QStringLiteral("/Date_4540321v2.xml"));
    ASSERT_TRUE(root.error.isEmpty()) << root.error.toStdString();
    EXPECT_EQ(root["nrCereri"], "2");
    EXPECT_EQ(root["anul"] + root["luna"], "202301");
    ASSERT_EQ(root.children.size(), 2);
    const XmlTree &small = root.children[0], &big = root.children[1];
    // By registration number, numbered from 1.
    EXPECT_EQ(small["idCerere"] + small["nrinreg"] + big["idCerere"] + big["nrinreg"], "1122");
    EXPECT_EQ(small["nrcop"] + "/" + small["nrmaj"], "3/1");
    EXPECT_EQ(small.children[2].childNames(), QStringList{"drepturiAI"});
    EXPECT_EQ(small.children[2].children[0]["procent"], "90");
    EXPECT_EQ(small.children[3]["nrpersoane"] + small.children[3]["venitpers"], "00");
    EXPECT_EQ(small.children[4]["lunav"], "12");

    EXPECT_EQ(big.children[0]["strada"], QStringLiteral("Str. \"Mare\" & <Mica> nr.\t3"));
    const XmlTree &rights = big.children[2];
    QStringList kinds;
    for (const XmlTree &r : rights.children)
        kinds << r["tipaj"] + ":" + r["suma"];
    // 0.5 of electricity rounds to 0 and is left out; 1.5 of gas is kept.
    EXPECT_EQ(kinds, (QStringList{"lemne:<none>", "lemne:20", "gaz:1.5", "termica:30"}));
    EXPECT_EQ(rights.children[0]["procent"], "250.3125");
    EXPECT_EQ(rights.children[2]["furnizor"] + rights.children[2]["codabonat"] + rights.children[2]["codloc"],
              "Gaz & CoDEG177");
    EXPECT_EQ(rights.children[3]["codabonat"], "");
    // No date is an empty value, not day zero of some calendar.
    EXPECT_EQ(rights.children[0]["datadisp"], "");
    EXPECT_EQ(rights.children[3].names().last(), "datadisp");

    const XmlTree &persons = big.children[3];
    EXPECT_EQ(persons["nrpersoane"] + "/" + persons["venitpers"], "3/1236"); // 1000 + 2 + 234
    ASSERT_EQ(persons.children.size(), 3);
    const XmlTree &head = persons.children[0], &child = persons.children[1], &other = persons.children[2];
    EXPECT_EQ(head["nume"] + "|" + head["prenume"] + "|" + head["reltit"], "POPESCU|ION VASILE|Titular");
    EXPECT_EQ(head.names(), (QStringList{"cnp", "nume", "prenume", "tipci", "serie", "nrci", "elibci", "stareciv",
                                         "sprof", "hand", "reltit", "venit"}));
    EXPECT_EQ(child["nume"] + "|" + child["prenume"] + "|" + child["venit"], "|ANA|2.5");
    // Only "beneficiar" written so carries the household's status.
    EXPECT_EQ(other.names(), (QStringList{"cnp", "nume", "prenume", "tipci", "serie", "nrci", "elibci", "hand",
                                          "reltit", "venit"}));
    EXPECT_EQ(other["reltit"], "Beneficiar");
}

TEST(AnpisExport, RefusesBeforeWritingAnything)
{
    DocumentsWorld w;
    w.writeCereri({DocumentsWorld::request(1)});
    w.writeOameni({});
    const QString target = w.root + QStringLiteral("/Date_4540321v2.xml");

    // A zero first bracket would divide the percentage by zero.
    Form4().CodFiscal->setText(QStringLiteral("RO 45/40321"));
    Form4().Cu(1)->setText(QStringLiteral("0"));
    w.shell.chooseAnswers << w.root;
    EXPECT_TRUE(runAnpis());
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_TRUE(w.dialogs.messages[0].text.contains(QStringLiteral("Cu1"))) << w.dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(w.shell.prompts.isEmpty());

    // The fiscal code's digits alone name the file; declining the replacement keeps the old one.
    Form4().Cu(1)->setText(QStringLiteral("320"));
    DurableFile::save(target, "old");
    EXPECT_TRUE(runAnpis());
    ASSERT_EQ(w.dialogs.messages.size(), 2);
    EXPECT_EQ(w.dialogs.messages[1].text,
              QStringLiteral("\r Fisierul Date_4540321v2.xml exista!\rDoriti sa-l inlocuim?"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");

    // A file that cannot be put in place leaves nothing half written, and the window usable.
    QFile::remove(target);
    QDir().mkpath(target + QStringLiteral("/x"));
    w.shell.chooseAnswers << w.root;
    w.dialogs.answers << TErori::ResultDa;
    EXPECT_FALSE(runAnpis());
    ASSERT_EQ(w.dialogs.messages.size(), 4);
    EXPECT_EQ(w.dialogs.messages[3].kindCaption, QStringLiteral("Eroare"));
    EXPECT_EQ(filesIn(w.root), (QStringList{"Data", "Date_4540321v2.xml", "Temp"}));
    EXPECT_TRUE(Form3().isEnabled());
    EXPECT_FALSE(Form3().Sx->Active());

    // Nothing of the month with a total: told so.
    QDir().mkpath(w.root + QStringLiteral("/empty"));
    Form3().LunaLucru->setText(QStringLiteral("02.2023"));
    w.shell.chooseAnswers << w.root + QStringLiteral("/empty");
    EXPECT_TRUE(runAnpis());
    EXPECT_EQ(w.dialogs.messages.last().text, QStringLiteral("\rNu aveti nicio cerere aprobata!"));
    EXPECT_TRUE(filesIn(w.root + QStringLiteral("/empty")).isEmpty());
}

struct AdultCase
{
    const char *name;
    QDate born, today;
    bool exported;
};

class F2201Adults : public ::testing::TestWithParam<AdultCase>
{
};

TEST_P(F2201Adults, OnlyThoseAlreadyEighteen)
{
    EXPECT_EQ(F2201Export::isExported(GetParam().born, GetParam().today), GetParam().exported);
}

INSTANTIATE_TEST_SUITE_P(Cases, F2201Adults,
    ::testing::Values(
        AdultCase{"turns_18_today", QDate(2008, 5, 10), QDate(2026, 5, 10), false},
        AdultCase{"turned_18_yesterday", QDate(2008, 5, 9), QDate(2026, 5, 10), true},
        AdultCase{"unknown_birth", QDate(), QDate(2026, 5, 10), true},
        // On 29 February those born on 28 February eighteen years ago are adults.
        AdultCase{"leap_day_today", QDate(2006, 2, 28), QDate(2024, 2, 29), true},
        AdultCase{"leap_day_today_born_1_march", QDate(2006, 3, 1), QDate(2024, 2, 29), false},
        // Born on 29 February: eighteen on 1 March of a common year.
        AdultCase{"leap_born_on_28_february", QDate(2008, 2, 29), QDate(2026, 2, 28), false},
        AdultCase{"leap_born_on_1_march", QDate(2008, 2, 29), QDate(2026, 3, 1), false},
        AdultCase{"leap_born_on_2_march", QDate(2008, 2, 29), QDate(2026, 3, 2), true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(F2201Export, RequestIdAndSchemaReference)
{
    // 2 January 2023, 12:00 is day 44928.5.
    EXPECT_EQ(F2201Export::firstRequestId(QDateTime(QDate(2023, 1, 2), QTime(12, 0))), 429115000001);
    // A blank or a non-ASCII letter in a folder name must not split or break the reference.
    EXPECT_EQ(F2201Export::schemaLocation(QStringLiteral("/srv/Rapoarte lunare/Răcăciuni/")),
              QStringLiteral("mfp:anaf:dgti:primarii:formulare:v1 file:/srv/Rapoarte%20lunare/R%C4%83c%C4%83ciuni/F2201_1.xsd"));
}

// Granted requests' applicants and members, each person once, adults only.
TEST(F2201Export, AdultsOfGrantedRequestsOnce)
{
    DocumentsWorld w;
    Form4().CodFiscal->setText(QStringLiteral("4540321"));
    const QDate today = QDate::currentDate();
    const QString adult = code('1', today.addYears(-40)), twice = code('2', today.addYears(-30));
    const QString residentChild = code('7', today.addYears(-10)), badDate = QStringLiteral("1990230040011");
    w.writeCereri({withValues(DocumentsWorld::request(1), {{"TITULAR", "POP ION"}, {"CNP", adult}, {"NR_CERE", 5},
                                                           {"DATACERE", QDate(2023, 1, 3)}}),
                   withValues(DocumentsWorld::request(2), {{"TITULAR", "RUS ANA"}, {"CNP", twice}, {"NR_CERE", 3},
                                                           {"DATACERE", QDate(2023, 1, 20)}, {"STATUT", "MODIFICAT"}}),
                   withValues(DocumentsWorld::request(3), {{"TITULAR", "DAN DAN"}, {"CNP", adult}, {"STATUT", "INCETAT"}})});
    QList<QVariantMap> members{DocumentsWorld::member(1, "POP ION", adult, "beneficiar"),
                               DocumentsWorld::member(1, "POP MIHAI", residentChild, "copil"),
                               DocumentsWorld::member(1, "RUS ANA", twice, "partener"),
                               DocumentsWorld::member(1, "RUS ANA MARIA", twice, "adult"),
                               DocumentsWorld::member(1, "POP FARA COD", "", "adult"),
                               DocumentsWorld::member(2, "RUS GRESIT", badDate, "adult"),
                               DocumentsWorld::member(3, "DAN ELENA", adult, "partener")};
    // 21 more codes of no date, the last one twice: 21 different in all, 20 named, one counted.
    QStringList unknown{badDate}, morePersons;
    for (int i = 0; i < 21; ++i) {
        const QString wrong = QStringLiteral("1990231%1").arg(qMin(i, 19), 6, 10, QChar(u'0'));
        members << DocumentsWorld::member(2, QStringLiteral("ZZ GRESIT %1").arg(i, 2, 10, QChar(u'0')), wrong, "adult");
        morePersons << wrong + " 3 20.01.2023";
        if (i < 19)
            unknown << wrong;
    }
    w.writeOameni(members);
    const QString out = w.root + QStringLiteral("/Rapoarte lunare");
    QDir().mkpath(out);
    w.shell.chooseAnswers << out;
    ASSERT_TRUE(runF2201());
    EXPECT_EQ(w.shell.prompts, QStringList{QStringLiteral("Alegeti directorul unde punem Raportul")});
    EXPECT_EQ(filesIn(out), QStringList{"F2201_1.xml"});
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_TRUE(w.dialogs.messages[0].text.startsWith(QStringLiteral("\rXML a fost creat!\rIncarcati-l in DuckIntegrator!\r")));
    // The codes whose digits form no date are named; the persons are exported all the same.
    EXPECT_TRUE(w.dialogs.messages[0].text.endsWith(u'\r' + unknown.join(u'\r') + QStringLiteral("\r... si inca 1")))
        << w.dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(filesIn(w.temp + QStringLiteral("/TmpRuva")).isEmpty());

    const XmlTree root = XmlTree::read(out + QStringLiteral("/F2201_1.xml"));
    ASSERT_TRUE(root.error.isEmpty()) << root.error.toStdString();
    EXPECT_EQ(root["Cui_primarie"], "4540321");
    QStringList persons;
    for (const XmlTree &p : root.children)
        persons << p["cif"] + " " + p["nr_dosar"] + " " + p["data_dosar"];
    // By name: the applicant listed among the members once; one code under two
    // names twice, with the highest number and the latest date of both requests.
    EXPECT_EQ(persons, (QStringList{"" + QStringLiteral(" 5 03.01.2023"), adult + " 5 03.01.2023",
                                    twice + " 5 20.01.2023", twice + " 5 03.01.2023", badDate + " 3 20.01.2023"}
                        + morePersons));

    // A folder that cannot be written: an error, no file, the temporary table gone, the window usable.
    w.shell.chooseAnswers << w.root + QStringLiteral("/missing");
    EXPECT_FALSE(runF2201());
    EXPECT_EQ(w.dialogs.messages.last().kindCaption, QStringLiteral("Eroare"));
    EXPECT_FALSE(QFileInfo::exists(w.root + QStringLiteral("/missing")));
    EXPECT_TRUE(filesIn(w.temp + QStringLiteral("/TmpRuva")).isEmpty());
    EXPECT_TRUE(Form3().isEnabled());
}

struct SplitCase
{
    const char *name;
    int persons;
    QList<int> perFile;
};

class F2201Split : public ::testing::TestWithParam<SplitCase>
{
};

// Files start at positions 501, 1002 ...: 500 persons in the first, 501 in the next.
TEST_P(F2201Split, ByPositionInTheSelection)
{
    DocumentsWorld w;
    Form4().CodFiscal->setText(QStringLiteral("4540321"));
    QList<QVariantMap> rows;
    for (int i = 1; i <= GetParam().persons; ++i)
        rows << withValues(DocumentsWorld::request(i),
                           {{"TITULAR", QStringLiteral("PERSOANA %1").arg(i, 5, 10, QChar(u'0'))},
                            {"CNP", code('1', QDate(1950, 1, 1).addDays(i))}});
    w.writeCereri(rows);
    w.writeOameni({});
    w.shell.chooseAnswers << w.root;
    ASSERT_TRUE(runF2201());
    QList<int> counts;
    QList<qint64> ids;
    for (int n = 1; QFile::exists(w.root + QStringLiteral("/F2201_%1.xml").arg(n)); ++n) {
        const XmlTree root = XmlTree::read(w.root + QStringLiteral("/F2201_%1.xml").arg(n));
        counts << int(root.children.size());
        ids << root["Req_id"].toLongLong();
    }
    EXPECT_EQ(counts, GetParam().perFile);
    for (int i = 1; i < ids.size(); ++i)
        EXPECT_EQ(ids[i], ids[0] + i);
}

INSTANTIATE_TEST_SUITE_P(Cases, F2201Split,
    ::testing::Values(SplitCase{"p500", 500, {500}}, SplitCase{"p501", 501, {500, 1}},
                      SplitCase{"p1002", 1002, {500, 501, 1}}),
    [](const auto &info) { return std::string(info.param.name); });

// Both exports of a generated month, read back by an independent checker
// that also reads the tables itself.
TEST(Exports, SampleMonthPassesTheIndependentCheck)
{
    DocumentsWorld w;
    // The sample ends with the month exported.
    const QString data = useSampleSeason(w, 7, 3000, QStringLiteral("03.2023"));
    Form4().CodFiscal->setText(QStringLiteral("4540321"));
    const QString anpis = w.root + QStringLiteral("/anpis"), f2201 = w.root + QStringLiteral("/f 2201");
    QDir().mkpath(anpis);
    QDir().mkpath(f2201);
    w.shell.chooseAnswers << anpis << f2201;
    ASSERT_TRUE(runAnpis());
    ASSERT_TRUE(runF2201());
    ASSERT_EQ(w.dialogs.messages.size(), 2);

    QProcess py;
    py.start(python(), {QStringLiteral(KESTRUN_SOURCE_DIR "/tests/exports/check_exports.py"), data,
                        QStringLiteral("03.2023"), QStringLiteral("320"), QDate::currentDate().toString(Qt::ISODate),
                        anpis + QStringLiteral("/Date_4540321v2.xml"), f2201});
    ASSERT_TRUE(py.waitForFinished(300000));
    EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()).trimmed(), QStringLiteral("ok"))
        << py.readAllStandardError().toStdString();
}
