#include "DocumentsWorld.h"

#include "core/AppStartup.h"
#include "core/NumericF.h"
#include "documents/DocumentFolder.h"
#include "documents/ListDispF.h"

#include <QDateEdit>
#include <QKeyEvent>
#include <QPushButton>
#include <QRegularExpression>

// The dispositions of a range, printed the way the clerk does it: the range
// typed into the dialog, "&Listeaza" pressed, the document opened.
namespace {

using Kind = DispositionDocuments::Kind;

// Types the range into the dialog and presses "&Listeaza".
void listRange(DocumentsWorld &w, Kind kind, const QString &first, const QString &last)
{
    TListDispF &dlg = w.docs->dispositions.dialog();
    DocumentsWorld::whenShown([&dlg, first, last] {
        dlg.Disp0->setText(first);
        dlg.Disp1->setText(last);
        dlg.DataA->setDate(QDate(2023, 2, 1));
        dlg.BitBtn1->click();
    });
    w.docs->dispositions.ListDisp(kind);
}

// The names in the order the document holds them.
QStringList namesIn(const QString &rtf, const QStringList &names)
{
    QList<QPair<qsizetype, QString>> found;
    for (const QString &n : names)
        for (qsizetype p = rtf.indexOf(n); p >= 0; p = rtf.indexOf(n, p + 1))
            found.append({p, n});
    std::sort(found.begin(), found.end());
    QStringList out;
    for (const auto &f : found)
        if (out.isEmpty() || out.last() != f.second) // a page names its request more than once
            out << f.second;
    return out;
}

} // namespace

TEST(Dispositions, RangeSelectsByNumberStatusAndMonth)
{
    DocumentsWorld w;
    w.extractTemplates();
    QVariantMap nine = DocumentsWorld::request(1), ten = DocumentsWorld::request(2), other = DocumentsWorld::request(3),
                lastMonth = DocumentsWorld::request(4), rejected = DocumentsWorld::request(5),
                eleven = DocumentsWorld::request(6);
    nine["NR_DISP"] = "9";   nine["NR_CERE"] = 20;  nine["TITULAR"] = "NOUA ANA";
    ten["NR_DISP"] = "10";   ten["NR_CERE"] = 10;   ten["TITULAR"] = "ZECE ION";
    other["NR_DISP"] = "2";  other["TITULAR"] = "DOI VASILE";
    lastMonth["NR_DISP"] = "9"; lastMonth["LUNACRT"] = DocumentsWorld::month() - 1; lastMonth["TITULAR"] = "LUNA TRECUTA";
    rejected["NR_DISP"] = "10"; rejected["STATUT"] = "RESPINS"; rejected["TITULAR"] = "RESPINS RADU";
    eleven["NR_DISP"] = "11"; eleven["TITULAR"] = "UNSPREZECE GH";
    w.writeCereri({nine, ten, other, lastMonth, rejected, eleven});
    const QStringList all{"NOUA ANA", "ZECE ION", "DOI VASILE", "LUNA TRECUTA", "RESPINS RADU", "UNSPREZECE GH"};

    struct Case
    {
        const char *name;
        Kind kind;
        QString first, last;
        QStringList expected; // in the order of NR_CERE
    };
    const Case cases[] = {
        // "10" sorts before "9" as text; as numbers both are in 9..10.
        {"numbers compared as numbers", Kind::Stabilire, "9", "10", {"ZECE ION", "NOUA ANA"}},
        {"one number", Kind::Stabilire, "2", "2", {"DOI VASILE"}},
        {"decimals typed are cut", Kind::Stabilire, "10.7", "11.2", {"UNSPREZECE GH", "ZECE ION"}},
        {"other status", Kind::Respingere, "1", "100", {"RESPINS RADU"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype before = w.shell.openedDocuments.size();
        listRange(w, c.kind, c.first, c.last);
        ASSERT_EQ(w.shell.openedDocuments.size(), before + 1);
        EXPECT_EQ(namesIn(DocumentsWorld::rtfText(w.lastOpened()), all), c.expected);
        EXPECT_FALSE(w.sx.Active()) << "the work query is closed again";
    }
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
    EXPECT_EQ(w.shell.openedDocuments.at(0),
              w.root + QStringLiteral("/Documente/01.2023/Dispozitie de Stabilire Separata nr. 9-10.rtf"));
    EXPECT_EQ(QFileInfo(w.shell.openedDocuments.at(3)).fileName(), QStringLiteral("Dispozitie de Respingere nr. 1-100.rtf"));
}

// The documents outlive the run: the same range listed again is a second
// file beside the first, and the exit, which deletes Temp, keeps both.
TEST(Dispositions, DocumentsOfTheSameKindAreKeptSideBySideAfterTheExit)
{
    DocumentsWorld w;
    w.extractTemplates();
    w.writeCereri({DocumentsWorld::request(1)});
    listRange(w, Kind::Stabilire, "1", "1");
    DocumentsWorld::rtfText(w.lastOpened()); // the clerk still has the first one open
    listRange(w, Kind::Stabilire, "1", "1");
    const QString folder = w.root + QStringLiteral("/Documente/01.2023/");
    const QStringList kept{folder + QStringLiteral("Dispozitie de Stabilire Separata nr. 1.rtf"),
                           folder + QStringLiteral("Dispozitie de Stabilire Separata nr. 1 (2).rtf")};
    EXPECT_EQ(w.shell.openedDocuments, kept);
    // What the clerk typed names no other folder or drive, and a link to
    // nothing is no free name: opening it would write where it points.
    ASSERT_TRUE(QFile::link(folder + QStringLiteral("nicaieri"), folder + QStringLiteral("Fisa a-b-c-d.rtf")));
    EXPECT_EQ(DocumentFolder::newPath(QStringLiteral("Fisa a/b\\c:d"), QStringLiteral(".rtf")),
              folder + QStringLiteral("Fisa a-b-c-d (2).rtf"));
    AppStartup::finish();
    EXPECT_FALSE(QFileInfo::exists(w.temp));
    for (const QString &path : kept)
        EXPECT_TRUE(DocumentsWorld::rtfText(path).contains(QStringLiteral("POPESCU ION"))) << path.toStdString();
}

TEST(Dispositions, ZeroRangeListsRequestsWithoutNumber)
{
    DocumentsWorld w;
    w.extractTemplates();
    QVariantMap blank = DocumentsWorld::request(1), zero = DocumentsWorld::request(2),
                numbered = DocumentsWorld::request(3);
    blank.remove("NR_DISP");
    blank["TITULAR"] = "FARA NUMAR";
    zero["NR_DISP"] = "0";
    zero["TITULAR"] = "ZERO NUMAR";
    numbered["TITULAR"] = "CU NUMAR";
    w.writeCereri({blank, zero, numbered});
    listRange(w, Kind::Stabilire, "0", "0");
    const QString text = DocumentsWorld::rtfText(w.lastOpened());
    EXPECT_EQ(namesIn(text, {"FARA NUMAR", "ZERO NUMAR", "CU NUMAR"}), (QStringList{"FARA NUMAR", "ZERO NUMAR"}));
    // No number prints as dots.
    EXPECT_TRUE(text.contains(QStringLiteral("nr. .......... din")));
}

TEST(Dispositions, ValuesOfOneRequest)
{
    DocumentsWorld w;
    w.extractTemplates();
    struct Case
    {
        const char *name;
        QVariantMap changes;
        QStringList present;
        QStringList absent;
    };
    const Case cases[] = {
        // A man's code: 1 and 5, and also 3 (1800s) and 7 (foreign resident).
        {"born 1900s man", {{"CNP", "1800101040011"}}, {"a domnului POPESCU ION"}, {"doamnei"}},
        {"born 1800s man", {{"CNP", "3800101040011"}}, {"a domnului POPESCU ION"}, {"doamnei"}},
        {"born 2000s man", {{"CNP", "5050101040011"}}, {"a domnului POPESCU ION"}, {"doamnei"}},
        {"resident man", {{"CNP", "7800101040011"}}, {"a domnului POPESCU ION"}, {"doamnei"}},
        {"woman", {{"CNP", "2800101040011"}}, {"a doamnei POPESCU ION"}, {"domnului"}},
        {"born 2000s woman", {{"CNP", "6050101040011"}}, {"a doamnei POPESCU ION"}, {"domnului"}},
        {"no code", {{"CNP", QVariant()}}, {"a doamnei POPESCU ION"}, {"domnului"}},
        // A half goes to the even neighbour; the letter is that amount's bracket.
        {"amount half down", {{"CUANTUM", 266.5}, {"TOTAL", 800.5}}, {"266 lei/lun", "800 lei."}, {}},
        {"amount half up", {{"CUANTUM", 267.5}, {"TOTAL", 801.5}}, {"268 lei/lun", "802 lei."}, {}},
        {"bracket letter", {{"CUANTUM", 267.0}}, {"lit. c)"}, {}},
        {"address and locality", {{"ADRESA", "  Str. Mare 1 "}, {"LOCALIT", " Valea Seacă "}}, {"Str. Mare 1, Valea Seacă"}, {}},
        {"address alone", {{"ADRESA", "Str. Mare 1"}, {"LOCALIT", QVariant()}}, {"\\'een Str. Mare 1, \\'eenso"}, {}},
        {"locality alone", {{"ADRESA", QVariant()}, {"LOCALIT", "Valea Seacă"}}, {"\\'een Valea Seacă, \\'eenso"}, {}},
        {"supplements", {{"SUMAL", 0.0}, {"SUMAG", 12.5}}, {"petrolieri\\cell \\pard\\intbl\\plain\\f0\\fs20  \\cell \\pard\\intbl\\plain\\f0\\fs20 0\\cell",
          "naturale\\cell \\pard\\intbl\\plain\\f0\\fs20 X\\cell \\pard\\intbl\\plain\\f0\\fs20 12.5\\cell"},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QVariantMap r = DocumentsWorld::request(1);
        for (auto it = c.changes.begin(); it != c.changes.end(); ++it)
            r[it.key()] = it.value();
        QDir(w.data).remove(RequestTables::Cereri);
        w.writeCereri({r});
        listRange(w, Kind::Stabilire, "1", "1");
        const QString text = DocumentsWorld::rtfText(w.lastOpened());
        for (const QString &p : c.present)
            EXPECT_TRUE(text.contains(p)) << p.toStdString();
        for (const QString &a : c.absent)
            EXPECT_FALSE(text.contains(a)) << a.toStdString();
    }
}

TEST(Dispositions, ThreeRowsGiveThreePagesAndOneClosingBrace)
{
    DocumentsWorld w;
    w.extractTemplates();
    w.writeCereri({DocumentsWorld::request(1), DocumentsWorld::request(2), DocumentsWorld::request(3)});
    listRange(w, Kind::Stabilire, "1", "3");
    const QString text = DocumentsWorld::rtfText(w.lastOpened());
    EXPECT_EQ(text.count(QStringLiteral("ROM\\'c2NIA")), 3);
    EXPECT_EQ(text.count(QStringLiteral("\r\n \\par \\page \r\n")), 2);
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n}\r\n")));
    EXPECT_FALSE(text.contains(u'['));
    // The braces balance: the closing line ends the one document group.
    EXPECT_EQ(text.count(u'{'), text.count(u'}'));
}

TEST(Dispositions, RefusalsWriteNothing)
{
    struct Case
    {
        const char *name;
        std::function<void(DocumentsWorld &)> arrange;
        QString title;
        QString text; // %data, %root: the data and the program folder
    };
    const Case cases[] = {
        {"empty range", [](DocumentsWorld &) {}, "Listare dispozitii",
         "\rNu exista nici un numar de dipozitie in intervalul 5 - 8 !"},
        {"missing template",
         [](DocumentsWorld &w) {
             QVariantMap r = DocumentsWorld::request(5);
             w.writeCereri({r});
             QFile::remove(w.data + QStringLiteral("/Stabilire.rtf"));
         },
         "Listare Dispozitii", "Nu exista modelul %data/Stabilire.rtf!"},
        // A file stands where the documents' folder should be.
        {"no document folder",
         [](DocumentsWorld &w) {
             w.writeCereri({DocumentsWorld::request(5)});
             QFile(w.root + QStringLiteral("/Documente")).open(QIODevice::WriteOnly);
         },
         "Listare Dispozitii", "Nu pot scrie pe harddisk! Nu pot crea directorul %root/Documente/01.2023."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentsWorld w;
        w.extractTemplates();
        w.writeCereri({});
        c.arrange(w);
        const QStringList tempBefore = QDir(w.temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        listRange(w, Kind::Stabilire, "5", "8");
        ASSERT_EQ(w.dialogs.messages.size(), 1);
        const MessageSpec &m = w.dialogs.messages.first();
        EXPECT_EQ(m.title, c.title);
        EXPECT_EQ(m.text, QString(c.text).replace(QStringLiteral("%data"), w.data).replace(QStringLiteral("%root"), w.root));
        EXPECT_EQ(m.kindCaption, QStringLiteral("Eroare"));
        EXPECT_EQ(m.buttons, QStringList{QStringLiteral("&OK")});
        EXPECT_TRUE(w.shell.openedDocuments.isEmpty());
        EXPECT_EQ(QDir(w.temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), tempBefore);
        EXPECT_FALSE(w.sx.Active());
    }
}

TEST(Dispositions, DataFolderWithQuoteInItsPath)
{
    DocumentsWorld w(QStringLiteral("Date \"vechi\" 2023"));
    w.extractTemplates();
    w.writeCereri({DocumentsWorld::request(1)});
    listRange(w, Kind::Stabilire, "1", "1");
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
    ASSERT_EQ(w.shell.openedDocuments.size(), 1);
    EXPECT_TRUE(DocumentsWorld::rtfText(w.lastOpened()).contains(QStringLiteral("POPESCU ION")));
}

// Files copied over from Windows may carry their names in capitals.
TEST(Dispositions, DataFilesFoundWhateverTheCaseOfTheirNames)
{
    DocumentsWorld w;
    w.extractTemplates();
    w.writeCereri({DocumentsWorld::request(1)});
    QDir data(w.data);
    ASSERT_TRUE(data.rename(QStringLiteral("Stabilire.rtf"), QStringLiteral("STABILIRE.RTF")));
    ASSERT_TRUE(data.rename(RequestTables::Cereri, QStringLiteral("CERERI.DBF")));
    listRange(w, Kind::Stabilire, "1", "1");
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
    ASSERT_EQ(w.shell.openedDocuments.size(), 1);
    EXPECT_TRUE(DocumentsWorld::rtfText(w.lastOpened()).contains(QStringLiteral("POPESCU ION")));
}

TEST(Dispositions, DialogRefusesBackwardRangeAndStaysOpen)
{
    DocumentsWorld w;
    w.extractTemplates();
    w.writeCereri({DocumentsWorld::request(3)});
    TListDispF &dlg = w.docs->dispositions.dialog();
    bool stillOpen = false;
    DocumentsWorld::whenShown([&] {
        dlg.Disp0->setText(QStringLiteral("5"));
        dlg.Disp1->setText(QStringLiteral("3"));
        dlg.BitBtn1->click();
        stillOpen = dlg.isVisible();
        // The clerk corrects the first number and tries again.
        dlg.Disp0->setText(QStringLiteral("3"));
        dlg.BitBtn1->click();
    });
    w.docs->dispositions.ListDisp(Kind::Stabilire);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(w.dialogs.balloons.size(), 1);
    EXPECT_EQ(w.dialogs.balloons.first().text, QStringLiteral("Intervalul ales este incorect!"));
    EXPECT_EQ(w.dialogs.balloons.first().title, QStringLiteral("Problema !"));
    EXPECT_EQ(w.dialogs.balloons.first().control, dlg.Disp0);
    EXPECT_EQ(w.shell.openedDocuments.size(), 1);
}

TEST(Dispositions, DialogCancelledPrintsNothingAndStartsAtOne)
{
    DocumentsWorld w;
    TListDispF &dlg = w.docs->dispositions.dialog();
    QString shownFirst, shownLast;
    DocumentsWorld::whenShown([&] {
        shownFirst = dlg.Disp0->text();
        shownLast = dlg.Disp1->text();
        dlg.Disp0->setText(QStringLiteral("4"));
        dlg.BitBtn2->click();
    });
    w.docs->dispositions.ListDisp(Kind::Incetare);
    EXPECT_EQ(shownFirst, QStringLiteral("1"));
    EXPECT_EQ(shownLast, QStringLiteral("1"));
    EXPECT_FALSE(dlg.confirmed());
    EXPECT_TRUE(w.shell.openedDocuments.isEmpty());
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
}

TEST(Dispositions, GrantDateStartsNextMonth)
{
    struct Case
    {
        QDate today, expected;
    };
    const Case cases[] = {{QDate(2023, 1, 31), QDate(2023, 2, 1)},
                          {QDate(2022, 12, 15), QDate(2023, 1, 1)},
                          {QDate(2024, 2, 29), QDate(2024, 3, 1)}};
    for (const Case &c : cases)
        EXPECT_EQ(TListDispF::firstOfNextMonth(c.today), c.expected) << c.today.toString().toStdString();
}

TEST(Dispositions, LocalityTypeWord)
{
    const QPair<int, QString> cases[] = {{0, "comunei "}, {1, "orasului "}, {2, "municipiului "}, {-1, ""}, {3, ""}};
    for (const auto &[index, word] : cases)
        EXPECT_EQ(DispositionDocuments::TipLocalitate(index), word) << index;
}

TEST(Dispositions, EnterInTheDateListsAtOnce)
{
    DocumentsWorld w;
    w.extractTemplates();
    w.writeCereri({DocumentsWorld::request(1)});
    TListDispF &dlg = w.docs->dispositions.dialog();
    QWidget *afterFirst = nullptr;
    DocumentsWorld::whenShown([&] {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(dlg.Disp0, &enter);
        afterFirst = dlg.focusWidget();
        QKeyEvent enterInDate(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
        QApplication::sendEvent(dlg.DataA, &enterInDate);
    });
    w.docs->dispositions.ListDisp(Kind::Stabilire);
    EXPECT_EQ(afterFirst, dlg.Disp1);
    EXPECT_TRUE(dlg.confirmed());
    EXPECT_EQ(w.shell.openedDocuments.size(), 1) << "the range 1 - 1 was listed";
}
