#include "DocumentsWorld.h"

#include "documents/DocumentError.h"
#include "documents/DocumentValues.h"

#include <QDirIterator>

// The request forms, the inquiry and the field-verification sheet of the
// request list's current request.
namespace {

using Form = RequestForms::Form;

// A household: the applicant, an optional partner, adults and children.
struct Household
{
    int nrcrt = 7;
    bool partner = true;
    int adults = 0;
    int children = 0;
};

void writeHousehold(DocumentsWorld &w, const Household &h, QVariantMap request = {})
{
    QVariantMap r = DocumentsWorld::request(h.nrcrt);
    for (auto it = request.begin(); it != request.end(); ++it)
        r[it.key()] = it.value();
    w.writeCereri({r});
    QList<QVariantMap> m{DocumentsWorld::member(h.nrcrt, "POPESCU ION", "1800101040011", "beneficiar", 1200)};
    if (h.partner)
        m << DocumentsWorld::member(h.nrcrt, "POPESCU ANA", "2820202040012", "partener", 34.5);
    // Added in reverse, so the order by name is the form's own work.
    for (int k = h.adults; k >= 1; --k)
        m << DocumentsWorld::member(h.nrcrt, QStringLiteral("ADULT%1 MARIA").arg(k, 2, 10, QChar(u'0')),
                                    "2900303040013", "adult");
    for (int k = h.children; k >= 1; --k)
        m << DocumentsWorld::member(h.nrcrt, QStringLiteral("COPIL%1 ŞTEFAN").arg(k, 2, 10, QChar(u'0')),
                                    "5100404040014", "copil");
    w.writeOameni(m);
    w.choose(h.nrcrt);
}

// A template of our own whose "Anexa" line shows the keys between bars.
void writeProbeTemplate(const DocumentsWorld &w, const QString &file, const QString &keys)
{
    QFile f(QDir(w.data).filePath(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(Cp1250::encode(QStringLiteral("{\\rtf1\\ansi\r\n\\pard [NUME] above\r\n\\pard Anexa|") + keys
                           + QStringLiteral("|\\par\r\n}\r\n")));
}

QString probeLine(const QString &rtf)
{
    const qsizetype a = rtf.indexOf(QStringLiteral("Anexa|"));
    return a < 0 ? QString() : rtf.mid(a + 6, rtf.indexOf(QStringLiteral("|\\par"), a) - a - 6);
}

// Files written on the way to a form: temporary names beside the final one.
QStringList leftovers(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.tmp"), QStringLiteral("*.rtf.*")}, QDir::Files | QDir::Hidden);
}

} // namespace

TEST(RequestForms, FullFormTemplateByChildren)
{
    struct Case
    {
        const char *name;
        int children;
        bool longForm;
    };
    const Case cases[] = {{"six children fit the form", 6, false}, {"seven need the long form", 7, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentsWorld w;
        w.extractTemplates();
        writeHousehold(w, {7, true, 1, c.children});
        w.docs->forms.ListCereB(Form::Anexa1);
        const QString stored = w.data + QStringLiteral("/C7.rtf");
        ASSERT_EQ(w.shell.openedDocuments, QStringList{stored});
        const QString text = DocumentsWorld::rtfText(stored);
        EXPECT_EQ(text.contains(QStringLiteral("COPIL07\\cell")), c.longForm);
        EXPECT_TRUE(text.contains(QStringLiteral("COPIL06\\cell")));
        EXPECT_TRUE(text.contains(QStringLiteral("\\'aaTEFAN\\cell")));
        EXPECT_FALSE(text.contains(u'['));
        EXPECT_TRUE(w.dialogs.messages.isEmpty());
        EXPECT_TRUE(leftovers(w.data).isEmpty());
        EXPECT_FALSE(w.sx.Active());
    }
}

TEST(RequestForms, EachFormIsStoredUnderItsOwnName)
{
    struct Case
    {
        Form form;
        const char *stored;
        const char *templateFile;
    };
    const Case cases[] = {{Form::Anexa1, "C7.rtf", "ModCerere.rtf"},
                          {Form::Anexa2, "CS7.rtf", "ModCerereS.rtf"},
                          {Form::Ancheta, "A7.rtf", "ModelAncheta2.rtf"}};
    DocumentsWorld w;
    w.extractTemplates();
    writeHousehold(w, {});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored);
        w.docs->forms.ListCereB(c.form);
        const QString stored = QDir(w.data).filePath(QLatin1String(c.stored));
        EXPECT_EQ(w.lastOpened(), stored);
        // The lines above the anchor are the template's own.
        const QString templ = DocumentsWorld::rtfText(QDir(w.data).filePath(QLatin1String(c.templateFile)));
        const QString head = templ.left(templ.indexOf(QStringLiteral("Anexa")));
        EXPECT_TRUE(DocumentsWorld::rtfText(stored).startsWith(head));
    }
}

TEST(RequestForms, StoredFormOpensAgainWithoutRefilling)
{
    DocumentsWorld w;
    w.extractTemplates();
    writeHousehold(w, {});
    w.docs->forms.ListCereB(Form::Anexa1);
    const QString stored = w.data + QStringLiteral("/C7.rtf");
    const QString first = DocumentsWorld::rtfText(stored);
    writeHousehold(w, {}, {{"TITULAR", "SCHIMBAT NUME"}});
    w.docs->forms.ListCereB(Form::Anexa1);
    EXPECT_EQ(w.shell.openedDocuments, (QStringList{stored, stored}));
    EXPECT_EQ(DocumentsWorld::rtfText(stored), first);
}

TEST(RequestForms, RequestValues)
{
    const QString keys = QStringLiteral("[M1]|[M2]|[CONT]|[BANCA]|[S1][S2][S3][S4]|[C1][C2][C3][C4][C5][C6]|"
                                        "[P1][P2][P3][P4][P5][P6][P7][P8]|[TVENIT]|[VENITM]|[AI]|[SU][SL][SG][SE][ST]|"
                                        "[NR_MEMBRI]|[NR_COPII]|[NUME]|[PRENUME]|[NUMET]");
    struct Case
    {
        const char *name;
        QVariantMap changes;
        QString expected;
    };
    const Case cases[] = {
        {"bank transfer", {{"BANCA", "BT"}},
         " |X|RO49AAAA1B31007593840000|BT|  X |X     | X      |1234.50|617.25|X|     |2|0|POPESCU|ION|POPESCU ION"},
        {"CEC payment", {{"MODPLATA", "CEC"}},
         "X| |-|-|  X |X     | X      |1234.50|617.25|X|     |2|0|POPESCU|ION|POPESCU ION"},
        // Codes are found without regard to case; one not in a list marks no box.
        {"codes in small letters", {{"SITSCOL", "fs"}, {"STCIV", "d"}, {"SITPROF", "ELEV"}, {"BANCA", "BT"}},
         " |X|RO49AAAA1B31007593840000|BT|X   |     X|       X|1234.50|617.25|X|     |2|0|POPESCU|ION|POPESCU ION"},
        {"codes without a box", {{"SITSCOL", QVariant()}, {"STCIV", "XX"}, {"SITPROF", "fara venituri"}, {"BANCA", "BT"}},
         " |X|RO49AAAA1B31007593840000|BT|    |      |        |1234.50|617.25|X|     |2|0|POPESCU|ION|POPESCU ION"},
        {"children and supplements",
         {{"NR_MEMBRI", 5}, {"COPII14", 2}, {"COPII18", 1}, {"SUMAG", 10.0}, {"SUMAT", 0.5}, {"CUAJUT", QVariant()},
          {"TVENIT", 0.005}, {"BANCA", "BT"}},
         " |X|RO49AAAA1B31007593840000|BT|  X |X     | X      |0.01|617.25| |X X X|2|3|POPESCU|ION|POPESCU ION"},
        {"name without a blank", {{"TITULAR", "IONESCU"}, {"BANCA", "BT"}},
         " |X|RO49AAAA1B31007593840000|BT|  X |X     | X      |1234.50|617.25|X|     |2|0|IONESCU|IONESCU|IONESCU"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentsWorld w;
        writeProbeTemplate(w, QStringLiteral("ModCerere.rtf"), keys);
        writeHousehold(w, {}, c.changes);
        w.docs->forms.ListCereB(Form::Anexa1);
        const QString text = DocumentsWorld::rtfText(w.data + QStringLiteral("/C7.rtf"));
        EXPECT_EQ(probeLine(text), c.expected);
        // Above the anchor nothing is filled.
        EXPECT_TRUE(text.contains(QStringLiteral("\\pard [NUME] above")));
    }
}

TEST(RequestForms, MembersFillNumberedSlots)
{
    const QString keys = QStringLiteral("[NUMEB] [PRENUMEB] [CNPB] [VENITB]|[NUMEP] [PRENUMEP] [CNPP] [VENITP]|"
                                        "[NUMEA1]|[NUMEA5]|[VENITA5]|[NUMEA6]|[CNPA16]|[NUMEA17]|"
                                        "[NUMEC1]|[PRENUMEC2]|[NUMEC10]|[NUMEC11]|[CNPC17]|[NUMEC18]");
    struct Case
    {
        const char *name;
        Household household;
        QString expected;
        QStringList warnings;
    };
    const QString adultWarning = QStringLiteral("ATENTIE!!\rSunt mai mult de patru adulti!\rVerificati adultii de pe formular!");
    const QString childWarning = QStringLiteral("ATENTIE!!\rSunt mai mult de zece copii!\rVerificati copiii de pe formular!");
    const Case cases[] = {
        {"nobody but the applicant", {7, false, 0, 0},
         "POPESCU ION 1800101040011 1200.00|- - - -|-|-|-|-|-|[NUMEA17]|-|-|-|-|-|[NUMEC18]", {}},
        {"four adults, ten children", {7, true, 4, 10},
         "POPESCU ION 1800101040011 1200.00|POPESCU ANA 2820202040012 34.50|ADULT01|-|-|-|-|[NUMEA17]|"
         "COPIL01|ŞTEFAN|COPIL10|-|-|[NUMEC18]",
         {}},
        // The slots go on past the form's boxes, and the clerk is warned.
        {"five adults, eleven children", {7, true, 5, 11},
         "POPESCU ION 1800101040011 1200.00|POPESCU ANA 2820202040012 34.50|ADULT01|ADULT05|0.00|-|-|[NUMEA17]|"
         "COPIL01|ŞTEFAN|COPIL10|COPIL11|-|[NUMEC18]",
         {adultWarning, childWarning}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentsWorld w;
        writeProbeTemplate(w, QStringLiteral("ModCerereS.rtf"), keys);
        writeHousehold(w, c.household);
        w.docs->forms.ListCereB(Form::Anexa2);
        EXPECT_EQ(probeLine(DocumentsWorld::rtfText(w.data + QStringLiteral("/CS7.rtf"))).replace(QStringLiteral("\\'aa"), QStringLiteral("Ş")),
                  c.expected);
        QStringList shown;
        for (const MessageSpec &m : w.dialogs.messages) {
            EXPECT_EQ(m.title, QStringLiteral("Cerere/Ancheta"));
            EXPECT_EQ(m.kindCaption, QStringLiteral("Atentie !"));
            EXPECT_EQ(m.buttons, QStringList{QStringLiteral("&OK")});
            shown << m.text;
        }
        EXPECT_EQ(shown, c.warnings);
        // The document is made all the same.
        EXPECT_EQ(w.shell.openedDocuments.size(), 1);
    }
}

TEST(RequestForms, FailureLeavesNoStoredForm)
{
    struct Case
    {
        const char *name;
        std::function<void(DocumentsWorld &)> arrange;
        const char *error;
    };
    const Case cases[] = {
        {"missing template", [](DocumentsWorld &w) { QFile::remove(w.data + QStringLiteral("/ModCerere.rtf")); },
         "Nu exista modelul"},
        // The members table is gone: the form fails half-way.
        {"members unreadable", [](DocumentsWorld &w) { QFile::remove(w.data + QStringLiteral("/Oameni.dbf")); }, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentsWorld w;
        w.extractTemplates();
        writeHousehold(w, {});
        c.arrange(w);
        try {
            w.docs->forms.ListCereB(Form::Anexa1);
            ADD_FAILURE() << "no error";
        } catch (const std::exception &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QLatin1String(c.error))) << e.what();
        }
        EXPECT_FALSE(QFileInfo::exists(w.data + QStringLiteral("/C7.rtf")));
        EXPECT_TRUE(leftovers(w.data).isEmpty());
        EXPECT_TRUE(w.shell.openedDocuments.isEmpty());
        EXPECT_FALSE(w.sx.Active());
    }
}

TEST(RequestForms, InquiryShowAndDelete)
{
    enum class Stored { None, File, Held };
    struct Case
    {
        const char *name;
        Stored stored;
        bool del;
        QList<int> answers;
        QStringList texts; // messages in order
        bool opened;
        bool remains;
    };
    const Case cases[] = {
        {"show without inquiry", Stored::None, false, {},
         {"\rLa aceasta Cerere, nu aveti Ancheta!\rApasati mai intai butonul Adauga!"}, false, false},
        {"show", Stored::File, false, {}, {}, true, true},
        {"delete without inquiry", Stored::None, true, {}, {"\rLa aceasta Cerere nu aveti Ancheta!"}, false, false},
        {"delete, answered Nu", Stored::File, true, {TErori::ResultNu}, {"Vreti sa stergeti ancheta?"}, false, true},
        {"delete, answered Da", Stored::File, true, {TErori::ResultDa}, {"Vreti sa stergeti ancheta?"}, false, false},
        {"delete while held", Stored::Held, true, {TErori::ResultDa},
         {"Vreti sa stergeti ancheta?", "\rAncheta este deschisa! N-o pot sterge!"}, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentsWorld w;
        w.extractTemplates();
        writeHousehold(w, {});
        const QString stored = w.data + QStringLiteral("/A7.rtf");
        if (c.stored == Stored::File)
            w.docs->forms.ListCereB(Form::Ancheta);
        else if (c.stored == Stored::Held) // something that cannot be deleted as a file
            QDir(w.data).mkpath(QStringLiteral("A7.rtf/held"));
        w.shell.openedDocuments.clear();
        w.dialogs.answers = c.answers;
        if (c.del)
            w.docs->forms.AnchDelClick();
        else
            w.docs->forms.AnchShowClick();
        QStringList texts;
        for (const MessageSpec &m : w.dialogs.messages) {
            texts << m.text;
            EXPECT_EQ(m.title, c.del ? QStringLiteral("Stergere Ancheta") : QStringLiteral("Arata Ancheta"));
        }
        EXPECT_EQ(texts, c.texts);
        if (c.texts.value(0) == QStringLiteral("Vreti sa stergeti ancheta?")) {
            EXPECT_EQ(w.dialogs.messages.first().kindCaption, QStringLiteral("Atentie !"));
            EXPECT_EQ(w.dialogs.messages.first().buttons, (QStringList{QStringLiteral("&Da"), QStringLiteral("&Nu")}));
        }
        EXPECT_EQ(w.shell.openedDocuments, c.opened ? QStringList{stored} : QStringList{});
        EXPECT_EQ(QFileInfo::exists(stored), c.remains);
    }
}

TEST(RequestForms, FieldVerificationSheet)
{
    struct Case
    {
        const char *name;
        QString titular;
        QString operatorName;
        QString applicantLine;
        QString operatorLine;
    };
    const Case cases[] = {
        {"two names", "POPESCU ION", "Gheorghiţă Ene", "nume POPESCU, prenume ION",
         "GHEORGHI\\'deĂ ENE\\cell"},
        // Without a blank the surname is empty (dots) and the whole name is the given name.
        {"one name", "IONESCU", "Ene", "nume .........., prenume IONESCU", ".......... ENE\\cell"},
        {"several blanks", "POP ANA MARIA", "Ene  Dan", "nume POP, prenume ANA MARIA", "ENE  DAN\\cell"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DocumentsWorld w;
        w.extractTemplates();
        writeHousehold(w, {}, {{"TITULAR", c.titular}});
        Form4().IntocmitN->setText(c.operatorName);
        Form4().CuOLE->setChecked(true); // the sheet opens through the shell all the same
        w.docs->forms.FisaVBClick();
        ASSERT_EQ(w.shell.openedDocuments.size(), 1);
        const QString sheet = w.lastOpened();
        EXPECT_EQ(sheet, w.root + QStringLiteral("/Documente/01.2023/Fisa de verificare a cererii nr. 7.rtf"));
        const QString text = DocumentsWorld::rtfText(sheet);
        EXPECT_TRUE(text.contains(c.applicantLine)) << text.toStdString();
        EXPECT_TRUE(text.contains(c.operatorLine));
        EXPECT_TRUE(text.contains(QStringLiteral("Cererea nr. 7 din 09.01.2023")));
        EXPECT_FALSE(text.contains(u'['));
    }
}

TEST(RequestForms, NameSplitting)
{
    struct Case
    {
        QString full, surname, given, inlineSurname, inlineGiven;
    };
    const Case cases[] = {
        {"POPESCU ION", "POPESCU", "ION", "POPESCU", "ION"},
        {"POP ANA MARIA", "POP", "ANA MARIA", "POP", "ANA MARIA"},
        {"IONESCU", "", "IONESCU", "IONESCU", "IONESCU"},
        {"", "", "", "", ""},
        {" ION", "", "ION", "", "ION"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(RequestForms::SplitName(c.full), qMakePair(c.surname, c.given)) << c.full.toStdString();
        EXPECT_EQ(DocumentValues::splitInline(c.full), qMakePair(c.inlineSurname, c.inlineGiven)) << c.full.toStdString();
    }
}

TEST(RequestForms, NothingWithoutAChosenRequest)
{
    DocumentsWorld w;
    w.extractTemplates();
    writeHousehold(w, {});
    const QStringList before = QDir(w.data).entryList(QDir::Files);
    // The month holds no request: the list is empty.
    w.c1.Close();
    w.c1.SQL() = QStringList{QStringLiteral("SELECT * FROM ") + SqlQuote::table(w.data + QStringLiteral("/Cereri.dbf")),
                             QStringLiteral("WHERE LUNACRT=1")};
    w.c1.Open();
    const std::pair<const char *, std::function<void()>> commands[] = {
        {"Anexa 1", [&] { w.docs->forms.ListCereB(Form::Anexa1); }},
        {"Adauga", [&] { w.docs->forms.ListCereB(Form::Ancheta); }},
        {"Arata", [&] { w.docs->forms.AnchShowClick(); }},
        {"Sterge", [&] { w.docs->forms.AnchDelClick(); }},
        {"Fisa", [&] { w.docs->forms.FisaVBClick(); }},
    };
    for (const auto &[name, run] : commands) {
        SCOPED_TRACE(name);
        EXPECT_THROW(run(), DocumentError);
        EXPECT_EQ(QDir(w.data).entryList(QDir::Files), before);
        EXPECT_TRUE(w.shell.openedDocuments.isEmpty());
        EXPECT_TRUE(w.dialogs.messages.isEmpty());
    }
}
