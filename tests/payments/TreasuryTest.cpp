#include "PaymentsWorld.h"

#include "documents/LibreOfficeText.h"
#include "documents/DocumentError.h"
#include "payments/RTrez.h"
#include "payments/TreasuryAnnex2.h"
#include "payments/TreasuryDbf.h"
#include "payments/TreasuryTotals.h"
#include "platform/db/Dbf.h"
#include "xls/support/IndependentReaders.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>

#include "core/Erori.h"
#include "platform/io/DurableFile.h"

namespace IR = IndependentReaders;

// The treasury package: the file's bytes, the selection of the payments
// against an independent reading of the requests, the companion files as
// others read them, and the folder rules.
namespace {

const QDate kPaid(2023, 1, 25);
const QDate kToday(2023, 1, 20);

void writeRequests(PaymentsWorld &w)
{
    using W = PaymentsWorld;
    const auto r = [](int n, const char *name, const QVariantMap &changes) {
        return W::with(W::request(n), W::with({{"TITULAR", QString::fromUtf8(name)},
                                               {"CNP", QStringLiteral("28001010400%1").arg(n, 2, 10, QLatin1Char('0'))}},
                                              changes));
    };
    w.writeCereri({
        r(1, "POPESCU ION", {{"TOTAL", 800.50}, {"SUMAL", 0.0}, {"NR_MEMBRI", 2}, {"MODPLATA", "OP"}}),
        // The locality only in the address.
        r(2, "marin ana", {{"LOCALIT", QVariant()}, {"ADRESA", "Răcăciuni, str. Mare 5"}, {"TOTAL", 400.0},
                           {"SUMAL", 300.25}, {"NR_MEMBRI", 3}, {"MODPLATA", "CEC"}}),
        // Modified with nothing left to pay: no row.
        r(3, "ŞTEFAN VASILE", {{"STATUT", "MODIFICAT"}, {"TOTAL", 0.0}, {"SUMAL", 0.0}}),
        r(4, "TUDOR ANA", {{"LOCALIT", "Sat 100%"}, {"ADRESA", "nr. 4"}, {"TOTAL", 267.0}, {"MODPLATA", "MANDAT POSTAL"}}),
        // "Sat 100%" read as a pattern would take this one too.
        r(5, "SANDU ELENA", {{"LOCALIT", "Sat 1000"}, {"ADRESA", "Sat 1000 nr. 2"}, {"TOTAL", 120.0}, {"SUMAL", 50.0}}),
        r(6, "ZAMFIR ION", {{"STATUT", "RESPINS"}, {"TOTAL", 500.0}}),
        r(7, "ŢURCANU DAN", {{"TOTAL", 80.0}, {"SUMAL", 100.0}, {"MODPLATA", "OP"}}),
        W::with(r(8, "ALTA LUNA", {{"TOTAL", 90.0}}), {{"LUNACRT", W::month() + 1}}),
    });
}

struct TreasuryRun
{
    bool aid = true, supplement = true;
    QString locality, first = QStringLiteral("A"), last = QStringLiteral("Z");
};

// Runs "Raport Trezorerie" as the clerk does, into `parent`.
void runTreasury(PaymentsWorld &w, const TreasuryRun &run, const QString &parent, QList<int> answers = {})
{
    TRTrez &dlg = RTrez();
    dlg.Today = [] { return kToday; };
    w.shell.chooseAnswers = {parent};
    w.dialogs.answers = answers;
    DocumentsWorld::whenShown([&dlg, run] {
        dlg.DataVirarii->setDate(kPaid);
        dlg.Ajut->setChecked(run.aid);
        dlg.Suplim->setChecked(run.supplement);
        PaymentsWorld::select(run.locality, run.first, run.last);
        dlg.BitBtn4->click();
        if (dlg.isVisible())
            dlg.CancelBut->click();
    });
    dlg.Execute();
}

QString python(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray model()
{
    return readAll(QStringLiteral(":/MODEL/MODELTRZ.dbf"));
}

} // namespace

TEST(TreasuryDbf, ModelAndTwoRowsByteForByte)
{
    // The model as the treasury's tools know it: 32 bytes of header, nine
    // 32-byte field descriptors, the terminator and 263 reserved bytes.
    QByteArray want = QByteArray::fromHex("30080b1b" "00000000" "4802" "7500") + QByteArray(16, 0)
                      + QByteArray::fromHex("00030000");
    const struct { const char *name; char type; int offset, length, decimals; } fields[] = {
        {"CODJUD", 'C', 1, 2, 0},    {"CODFISC", 'C', 3, 10, 0},   {"CNP", 'C', 13, 13, 0},
        {"CODAJUT", 'C', 26, 3, 0},  {"NUMEPREN", 'C', 29, 60, 0}, {"NRPERS", 'N', 89, 2, 0},
        {"SUMA", 'N', 91, 10, 2},    {"DTPLATCRT", 'D', 101, 8, 0}, {"DATA_PREL", 'D', 109, 8, 0},
    };
    for (const auto &f : fields)
        want += QByteArray(f.name).leftJustified(11, '\0') + f.type + char(f.offset) + QByteArray(3, 0) + char(f.length)
                + char(f.decimals) + QByteArray(14, 0);
    want += '\x0d' + QByteArray(263, 0);
    ASSERT_EQ(want.size(), 584);
    EXPECT_EQ(model().toHex(), want.toHex());
    // The generator in tools/ still makes what the program carries.
    const QString made = IR::scratchDir(QStringLiteral("modeltrz")) + QStringLiteral("/MODELTRZ.dbf");
    python({QStringLiteral(KESTRUN_SOURCE_DIR "/tools/treasury-model/make-modeltrz.py"), made});
    EXPECT_EQ(readAll(made).toHex(), want.toHex());

    const TreasuryDbf::Payer payer{QStringLiteral("5"), QStringLiteral("4353519"), kPaid};
    EXPECT_EQ(TreasuryDbf::bytes(model(), payer, {}, kToday), model()) << "no rows: the model unchanged";
    const QList<TreasuryPayment> rows = {
        {QStringLiteral("073"), QStringLiteral("POPESCU ION"), QStringLiteral("1800101040011"), 2, 800.5},
        {QStringLiteral("074"), QStringLiteral("ŢURCANU ŞTEFAN"), QStringLiteral("2800101040012"), 12, 1234567.125},
    };
    QByteArray header = model();
    header.replace(1, 7, QByteArray::fromHex("7b0114" "02000000")); // 20.01.2023, two records
    const QByteArray records =
        QByteArray(" 5 4353519   1800101040011073POPESCU ION") + QByteArray(49, ' ') + " 2    800.50" + "2023012520230125"
        + " 5 4353519   2800101040012074\xde" "URCANU \xaa" "TEFAN" + QByteArray(46, ' ') + "121234567.13"
        + "2023012520230125" + '\x1a';
    EXPECT_EQ(TreasuryDbf::bytes(model(), payer, rows, kToday).toHex(), (header + records).toHex());
    // A sum met again is written alike.
    const QByteArray twice = TreasuryDbf::bytes(model(), payer, {rows[0], rows[1], rows[0]}, kToday);
    EXPECT_EQ(twice.mid(584 + 91, 10), QByteArray("    800.50"));
    EXPECT_EQ(twice.mid(584 + 2 * 117 + 91, 10), QByteArray("    800.50"));
    EXPECT_EQ(TreasuryDbf::fileName(payer), QStringLiteral("054353519_25-01-2023.dbf"));
}

TEST(TreasuryDbf, PackageAgainstAnIndependentReading)
{
    PaymentsWorld w;
    writeRequests(w);
    Form4().CodJud->setText(QStringLiteral("4"));
    Form4().CodFiscal->setText(QStringLiteral("4353519"));
    struct Case
    {
        const char *name;
        TreasuryRun run;
        int rows;
    };
    const Case cases[] = {
        {"both codes, everyone", {}, 8},
        {"only the supplement", {false, true, {}, QStringLiteral("A"), QStringLiteral("Z")}, 3},
        {"locality in LOCALIT or at the start of ADRESA", {true, true, QStringLiteral("Răcăciuni")}, 5},
        {"percent sign taken literally", {true, true, QStringLiteral("Sat 100%")}, 1},
        {"A to M: lower case counts", {true, true, {}, QStringLiteral("A"), QStringLiteral("M")}, 2},
        {"S to S holds Ş, T to Z holds Ţ", {true, true, {}, QStringLiteral("S"), QStringLiteral("S")}, 2},
        {"T to Z", {true, true, {}, QStringLiteral("T"), QStringLiteral("Z")}, 3},
        {"nobody", {true, true, {}, QStringLiteral("B"), QStringLiteral("C")}, 0},
    };
    const QString checker = QStringLiteral(KESTRUN_SOURCE_DIR "/tests/payments/treasury_expected.py");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString parent = w.root + u'/' + QString::fromLatin1(c.name).left(12).replace(u' ', u'_');
        QDir().mkpath(parent);
        runTreasury(w, c.run, parent);
        const QString folder = parent + QStringLiteral("/Lemne_Trezorerie");
        ASSERT_EQ(w.shell.openedFolders.value(w.shell.openedFolders.size() - 1), folder);
        QJsonObject p{{QStringLiteral("month"), DocumentsWorld::month()},
                      {QStringLiteral("locality"), c.run.locality},
                      {QStringLiteral("first"), c.run.first},
                      {QStringLiteral("last"), c.run.last},
                      {QStringLiteral("county"), QStringLiteral("4")},
                      {QStringLiteral("fiscal"), QStringLiteral("4353519")},
                      {QStringLiteral("kind"), QStringLiteral("COMUNA")},
                      {QStringLiteral("uat"), QStringLiteral("Răcăciuni")},
                      {QStringLiteral("date"), QStringLiteral("25.01.2023")}};
        QJsonArray codes;
        if (c.run.aid)
            codes.append(QStringLiteral("073"));
        if (c.run.supplement)
            codes.append(QStringLiteral("074"));
        p.insert(QStringLiteral("codes"), codes);
        const QString params = parent + QStringLiteral("/params.json");
        DurableFile::save(params, QJsonDocument(p).toJson());
        EXPECT_EQ(python({checker, w.data + QStringLiteral("/Cereri.dbf"), folder, params}), QStringLiteral("ok"));
        const QByteArray dbf = readAll(RTrez().dbfPath());
        EXPECT_EQ(dbf.size(), 584 + (c.rows ? c.rows * 117 + 1 : 0));
        if (c.rows == 0) {
            EXPECT_EQ(dbf, model());
        }
        // Only the ticked codes have annexes; nothing else is left beside the folder.
        EXPECT_EQ(QFileInfo::exists(folder + QStringLiteral("/Anexa2_Ajutor_Lemne.xls")), c.run.aid);
        EXPECT_EQ(QFileInfo::exists(folder + QStringLiteral("/Anexa3_Supliment_Lemne.rtf")), c.run.supplement);
        EXPECT_EQ(QDir(parent).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Lemne_Trezorerie")});
    }
}

TEST(TreasuryDbf, Annex2TakesTheCodesRowsByName)
{
    PaymentsWorld w;
    // Blank names first, equal names in the file's order, the other code's rows left out.
    const auto pay = [](const char *code, const char *name, const char *cnp) {
        return TreasuryPayment{QString::fromLatin1(code), QString::fromLatin1(name), QString::fromLatin1(cnp), 1, 10};
    };
    const QList<TreasuryPayment> rows = {pay("073", "POP ION", "2"), pay("074", "ALB", "9"), pay("073", "ALB DAN", "3"),
                                         pay("073", "POP ION", "1"), pay("073", "", "4")};
    Form4().CodJud->setText(QStringLiteral("4"));
    Form4().CodFiscal->setText(QStringLiteral("4353519"));
    const TreasuryPackage package{w.root, w.root + QStringLiteral("/t.dbf"), kPaid,
                                  {{QStringLiteral("073"), QStringLiteral("073 - A"), QStringLiteral("- B")}}, rows,
                                  Form4().office()};
    DurableFile::save(package.dbfPath, TreasuryDbf::bytes(model(), {QStringLiteral("4"), QStringLiteral("4353519"), kPaid},
                                                          rows, kToday));
    TreasuryAnnex2::write(package);
    const IR::XlrdBook book = IR::readWithXlrd(w.root + QStringLiteral("/Anexa2_Ajutor_Lemne.xls"));
    ASSERT_EQ(book.sheets.size(), 1);
    QStringList got;
    for (int r = 8; r < 12; ++r)
        got << book.sheets[0].cell(r, 1).text + u'/' + book.sheets[0].cell(r, 3).text;
    EXPECT_EQ(got, (QStringList{"/4", "ALB DAN/3", "POP ION/2", "POP ION/1"}));
    EXPECT_EQ(book.sheets[0].cell(12, 1).text, QStringLiteral("TOTAL"));
    // A treasury file that cannot be read reaches the clerk as the table's own error.
    QFile::remove(package.dbfPath);
    EXPECT_THROW(TreasuryAnnex2::write(package), DbfError);
}

TEST(TreasuryDbf, TotalLineAddsTheCents)
{
    PaymentsWorld w;
    w.writeCereri({PaymentsWorld::with(PaymentsWorld::request(1), {{"TOTAL", 1200.50}, {"SUMAL", 19.99}})});
    Form4().CodJud->setText(QStringLiteral("4"));
    Form4().CodFiscal->setText(QStringLiteral("4353519"));
    runTreasury(w, {}, w.root);
    const QString text = QString::fromLatin1(readAll(w.root + QStringLiteral("/Lemne_Trezorerie/StatTo_044353519_25-01-2023.txt")));
    EXPECT_TRUE(text.contains(QStringLiteral(" 073           1        1200.50   -073 - ")));
    // 19.99 is 1998.99999... cents as a double: it must still show as 19.99.
    EXPECT_TRUE(text.contains(QStringLiteral(" 074           1          19.99   -074 - "))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(" Total:        2        1220.49\r\n")));
    EXPECT_EQ(TreasuryTotals::PadLeft(QStringLiteral("12345"), 3), QStringLiteral("12345"));
}

TEST(TreasuryDbf, RefusedBeforeAnythingIsWritten)
{
    PaymentsWorld w;
    struct Case
    {
        const char *name;
        QVariantMap request;
        QString codJud, codFiscal;
        QString message; // the start of it
    };
    const Case cases[] = {
        {"household of 100", {{"NR_MEMBRI", 100}}, "4", "4353519", "Cererea lui POPESCU ION (CNP 1800101040011, cod 073)"},
        {"fiscal code over 10", {}, "4", "12345678901", "Codul fiscal din Administrare"},
        {"fiscal code with letters", {}, "4", "RO4353519", "Codul fiscal din Administrare"},
        {"county code with a slash", {}, "/4", "4353519", "Codul judetului din Administrare"},
        {"county code of three digits", {}, "123", "4353519", "Codul judetului din Administrare"},
        {"household of -1", {{"NR_MEMBRI", -1}}, "4", "4353519", "Cererea lui POPESCU ION (CNP 1800101040011, cod 073)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        w.writeCereri({PaymentsWorld::with(PaymentsWorld::request(1), c.request)});
        Form4().CodJud->setMaxLength(32767);
        Form4().CodJud->setText(c.codJud);
        Form4().CodFiscal->setText(c.codFiscal);
        w.dialogs.messages.clear();
        w.shell.prompts.clear();
        runTreasury(w, {}, w.root);
        ASSERT_EQ(w.dialogs.messages.size(), 1);
        EXPECT_TRUE(w.dialogs.messages.first().text.startsWith(c.message)) << w.dialogs.messages.first().text.toStdString();
        EXPECT_TRUE(w.shell.prompts.isEmpty()) << "no folder asked for";
        EXPECT_FALSE(QFileInfo::exists(w.root + QStringLiteral("/Lemne_Trezorerie")));
    }
    // A widened name field could hold more than the treasury's 60 characters.
    const QString tooLong = QString(61, u'A');
    const auto checkOne = [](const QString &name, double amount) {
        TreasuryDbf::check({QStringLiteral("4"), QStringLiteral("4353519"), kPaid},
                           {{QStringLiteral("073"), name, QStringLiteral("1800101040011"), 2, amount}});
    };
    EXPECT_THROW(checkOne(tooLong, 80), DocumentError);
    // Sums on either side of ten characters, as the file rounds them.
    const struct { double amount; bool fits; } sums[] = {
        {999999.999, true}, {9999999.99, true}, {9999999.995, false}, {-99999.999, true}, {-999999.99, true}, {-999999.995, false},
    };
    for (const auto &s : sums) {
        SCOPED_TRACE(s.amount);
        if (s.fits)
            EXPECT_NO_THROW(checkOne(QStringLiteral("A"), s.amount));
        else
            EXPECT_THROW(checkOne(QStringLiteral("A"), s.amount), DocumentError);
    }
}

TEST(TreasuryDbf, ExistingFolderIsReplacedOnlyWhenAgreed)
{
    PaymentsWorld w;
    writeRequests(w);
    Form4().CodJud->setText(QStringLiteral("4"));
    Form4().CodFiscal->setText(QStringLiteral("4353519"));
    const QString folder = w.root + QStringLiteral("/Lemne_Trezorerie");
    QDir().mkpath(folder);
    DurableFile::save(folder + QStringLiteral("/vechi.txt"), "vechi");
    runTreasury(w, {}, w.root, {TErori::ResultNu});
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_EQ(w.dialogs.messages.first().text,
              QStringLiteral("\rDirectorul ") + folder + QStringLiteral(" exista!\rIl inlocuim?"));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/vechi.txt")));
    EXPECT_TRUE(w.shell.openedFolders.isEmpty());

    // Without an application to open the folder, the clerk learns where the files are.
    w.shell.openAnswer = false;
    runTreasury(w, {}, w.root, {TErori::ResultDa});
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/vechi.txt")));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 6);
    EXPECT_EQ(w.shell.openedFolders, QStringList{folder});
    EXPECT_EQ(w.dialogs.messages.last().text,
              QStringLiteral("Fisierele au fost salvate in %1.").arg(QDir::toNativeSeparators(folder)));

    // The payment date cannot be saved (a folder in the settings file's place):
    // the run fails, leaving the old package and no work folder or journal.
    QFile::remove(w.data + QStringLiteral("/Tolvard.set"));
    QDir().mkpath(w.data + QStringLiteral("/Tolvard.set"));
    EXPECT_ANY_THROW(runTreasury(w, {}, w.root, {TErori::ResultDa}));
    EXPECT_EQ(QDir(w.root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"Data", "Inlocuiri", "Lemne_Trezorerie", "Temp"}));
    EXPECT_TRUE(QDir(w.root + QStringLiteral("/Inlocuiri")).isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 6);
}

TEST(TreasuryDbf, AnnexesReadByOthers)
{
    PaymentsWorld w;
    writeRequests(w);
    Form4().CodJud->setText(QStringLiteral("4"));
    Form4().CodFiscal->setText(QStringLiteral("4353519"));
    runTreasury(w, {}, w.root);
    const QString folder = w.root + QStringLiteral("/Lemne_Trezorerie");
    const QString aid = folder + QStringLiteral("/Anexa2_Ajutor_Lemne.xls");
    const QString wood = folder + QStringLiteral("/Anexa2_Supliment_Lemne.xls");

    const IR::XlrdBook book = IR::readWithXlrd(aid);
    ASSERT_EQ(book.sheets.size(), 1);
    const IR::XlrdSheet &s = book.sheets[0];
    EXPECT_EQ(s.name, QStringLiteral("Anexa2"));
    EXPECT_EQ(s.cell(0, 0).text, QStringLiteral("JUDETUL: 4353519  JUDETUL BACAU"));
    EXPECT_EQ(s.cell(1, 2).text, QStringLiteral("4353519  COMUNA  RĂCĂCIUNI"));
    EXPECT_EQ(s.cell(4, 0).text, QStringLiteral("in ziua 25 luna 01 anul 2023"));
    EXPECT_EQ(s.cell(8, 1).text, QStringLiteral("marin ana"));  // Romanian order: m before P
    EXPECT_EQ(s.cell(14, 0).number, 5); // [NrPers] below four inserted rows: five payees of 073

    // LibreOffice sums every inserted row.
    const QString out = IR::scratchDir(QStringLiteral("treasury-annexes"));
    IR::exportCsvWithSoffice({aid, wood}, out, false);
    const QVector<QStringList> aidCsv = IR::readCsv(out + QStringLiteral("/Anexa2_Ajutor_Lemne-Anexa2.csv"));
    const QVector<QStringList> woodCsv = IR::readCsv(out + QStringLiteral("/Anexa2_Supliment_Lemne-Anexa2.csv"));
    ASSERT_GT(aidCsv.size(), 13);
    EXPECT_EQ(aidCsv[13][1], QStringLiteral("TOTAL"));
    EXPECT_EQ(aidCsv[13][4], QStringLiteral("1667.5")); // 800.50 + 400 + 267 + 120 + 80
    EXPECT_EQ(aidCsv[13][2], QStringLiteral("11"));      // household members
    EXPECT_EQ(woodCsv[11][4], QStringLiteral("450.25"));

    // Annex 3: OP payees on the second row, every other mode on the first;
    // the amounts are added as they are, so its total is annex 2's.
    const auto texts = libreOfficeText({folder + QStringLiteral("/Anexa3_Ajutor_Lemne.rtf"),
                                        folder + QStringLiteral("/Anexa3_Supliment_Lemne.rtf")},
                                       out);
    const QString aid3 = texts.value(folder + QStringLiteral("/Anexa3_Ajutor_Lemne.rtf")).simplified();
    EXPECT_TRUE(aid3.contains(QStringLiteral("JUDETUL 4 BACAU"))) << aid3.toStdString();
    EXPECT_TRUE(aid3.contains(QStringLiteral("1 2 CEC 667.00"))) << aid3.toStdString(); // 400 + 267 (MANDAT POSTAL)
    EXPECT_TRUE(aid3.contains(QStringLiteral("2 3 OP 1000.50"))) << aid3.toStdString(); // 800.50 + 120 + 80
    EXPECT_TRUE(aid3.contains(QStringLiteral("TOTAL 5 ") + QString::number(aidCsv[13][4].toDouble(), 'f', 2))) << aid3.toStdString();
    EXPECT_TRUE(aid3.contains(QStringLiteral("reprezentand Ajutorul pentru incalzirea locuintei"))) << aid3.toStdString();
    const QString wood3 = texts.value(folder + QStringLiteral("/Anexa3_Supliment_Lemne.rtf")).simplified();
    EXPECT_TRUE(wood3.contains(QStringLiteral("cod 074"))) << wood3.toStdString();
    EXPECT_TRUE(wood3.contains(QStringLiteral("TOTAL 3 ") + QString::number(woodCsv[11][4].toDouble(), 'f', 2))) << wood3.toStdString();
}
