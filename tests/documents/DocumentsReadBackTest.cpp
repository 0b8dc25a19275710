#include "DocumentsWorld.h"
#include "LibreOfficeText.h"

#include "core/NumericF.h"
#include "documents/AlegeCere.h"
#include "documents/ListDispF.h"
#include "sample-data/SampleGenerator.h"

#include <QDateEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>

// Every kind of document, made over the sample commune and over households
// built for the forms' edge cases, is read back by LibreOffice in one run:
// the filled values are there, diacritics included, and no placeholder is
// left.
namespace {

struct Produced
{
    QString name;     // what it is, for failure messages
    QString path;     // a copy under a unique name
    QStringList values;
    int pages = 0;        // pages to count; 0 for a form of its own layout
    QStringList inOrder;  // values that follow one another in the text
};

// ş and ţ are what the code page holds for ș and ț.
QString cedilla(QString s)
{
    s.replace(u'ș', u'ş').replace(u'ț', u'ţ').replace(u'Ș', u'Ş').replace(u'Ț', u'Ţ');
    return s;
}

// A comma after a blank: a part of a sentence was missing ("în , Str. Mare").
const QRegularExpression kLoneComma(QStringLiteral("\\s,"));

class Batch
{
public:
    Batch() : m_dir(documentsScratch(QStringLiteral("readback"))) {}

    void add(const QString &name, const QString &made, const QStringList &values, int pages,
             const QStringList &inOrder = {})
    {
        const QString copy = m_dir->filePath(QStringLiteral("doc%1.rtf").arg(m_docs.size()));
        ASSERT_TRUE(QFile::copy(made, copy)) << name.toStdString();
        m_docs.append({name, copy, values, pages, inOrder});
    }

    // One LibreOffice run for every document of the batch.
    void convert()
    {
        QStringList files;
        for (const Produced &d : m_docs)
            files << d.path;
        m_texts = libreOfficeText(files, m_dir->path());
    }

    // The text LibreOffice read from the document of that name, ş and ţ for ș and ț.
    QString text(const QString &name) const
    {
        for (const Produced &d : m_docs)
            if (d.name == name)
                return cedilla(m_texts.value(d.path));
        ADD_FAILURE() << "no document " << name.toStdString();
        return {};
    }
    QString path(const QString &name) const
    {
        for (const Produced &d : m_docs)
            if (d.name == name)
                return d.path;
        return {};
    }

    void check() const
    {
        for (const Produced &d : m_docs) {
            SCOPED_TRACE(d.name.toStdString());
            const QString text = cedilla(m_texts.value(d.path));
            ASSERT_FALSE(text.isEmpty()) << "LibreOffice read nothing";
            EXPECT_FALSE(text.contains(u'[')) << "placeholder left";
            EXPECT_FALSE(text.contains(kLoneComma)) << "lone comma";
            for (const QString &v : d.values)
                EXPECT_TRUE(text.contains(cedilla(v))) << v.toStdString();
            // Each page starts on a page of its own; the text export marks none,
            // so count a line each page carries once.
            qsizetype at = 0;
            for (const QString &v : d.inOrder) {
                at = text.indexOf(cedilla(v), at);
                ASSERT_GE(at, 0) << "out of order: " << v.toStdString();
            }
            if (d.pages > 0) {
                EXPECT_EQ(text.count(QStringLiteral("ROMÂNIA")), d.pages) << "pages";
            }
        }
    }

    const QList<Produced> &docs() const { return m_docs; }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<Produced> m_docs;
    QHash<QString, QString> m_texts;
};

// Lists the dispositions of one kind numbered first to last, granting from grantedFrom.
void listDispositions(DocumentsWorld &w, DispositionDocuments::Kind kind, int first, double last, const QDate &grantedFrom)
{
    TListDispF &dlg = w.docs->dispositions.dialog();
    DocumentsWorld::whenShown([&dlg, first, last, grantedFrom] {
        dlg.Disp0->setText(QString::number(first));
        dlg.Disp1->setText(QString::number(last, 'f', 0));
        dlg.DataA->setDate(grantedFrom);
        dlg.BitBtn1->click();
    });
    w.docs->dispositions.ListDisp(kind);
}

void listReports(DocumentsWorld &w, int first, int last, const QDate &day)
{
    TAlegeCere &dlg = w.docs->reports.dialog();
    DocumentsWorld::whenShown([&dlg, first, last, day] {
        dlg.Ref0->setText(QString::number(first));
        dlg.Ref1->setText(QString::number(last));
        dlg.DataR->setDate(day);
        dlg.BitBtn1->click();
    });
    w.docs->reports.BitBtn10Click();
}

struct SampleRow
{
    double nrCere;
    QString titular;
    QString cnp;
};

// The sample's rows of the month read straight from the table, not through SQL.
QList<SampleRow> sampleRows(const QString &data, int month, const QString &status, const char *numberField, double first,
                            double last)
{
    Dbf t = Dbf::open(QDir(data).filePath(RequestTables::Cereri));
    const int luna = t.fieldIndex(u"LUNACRT"), statut = t.fieldIndex(u"STATUT"), nr = t.fieldIndex(QString::fromLatin1(numberField)),
              cere = t.fieldIndex(u"NR_CERE"), titular = t.fieldIndex(u"TITULAR"), cnp = t.fieldIndex(u"CNP");
    QList<SampleRow> rows;
    for (qint64 r = 0; r < t.recordCount(); ++r) {
        if (t.isDeleted(r) || t.number(r, luna) != month || t.text(r, statut) != status)
            continue;
        bool ok = false;
        const double n = t.text(r, nr).toDouble(&ok);
        if (ok && n >= first && n <= last)
            rows.append({t.number(r, cere), t.text(r, titular), t.text(r, cnp)});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const SampleRow &a, const SampleRow &b) { return a.nrCere < b.nrCere; });
    return rows;
}

void sampleDocuments(Batch &batch)
{
    DocumentsWorld w;
    const SampleGenerator::Summary summary = SampleGenerator::generate({w.data, 11, 300});
    ASSERT_FALSE(summary.months.isEmpty());
    Form4().Load();
    ASSERT_FALSE(Form4().Localit->text().isEmpty());
    Form4().IntocmitN->setText(QStringLiteral("Gheorghiţă Ene"));
    Form3().LunaLucru->setText(summary.months.last());
    const int month = TForm1::MonthIndex(summary.months.last());
    w.extractTemplates();
    const QString uat = Form4().Localit->text();

    using Kind = DispositionDocuments::Kind;
    for (Kind kind : {Kind::Stabilire, Kind::Modificare, Kind::Incetare, Kind::Respingere}) {
        const QString status = QLatin1String(DispositionDocuments::info(kind).status);
        const double last = kind == Kind::Stabilire ? 20 : 1000000;
        const QList<SampleRow> rows = sampleRows(w.data, month, status, "NR_DISP", 1, last);
        ASSERT_FALSE(rows.isEmpty()) << status.toStdString();
        listDispositions(w, kind, 1, last, QDate(2023, 4, 1));
        QStringList values{uat.toUpper()};
        if (kind != Kind::Respingere) // a rejection grants nothing from any date
            values << QStringLiteral("01.04.2023");
        QStringList names;
        for (const SampleRow &r : rows) {
            values << r.cnp;
            names << r.titular.toUpper();
        }
        batch.add(status, w.lastOpened(), values, int(rows.size()), names);
    }

    const QList<SampleRow> granted = sampleRows(w.data, month, QStringLiteral("APROBAT"), "NR_REF", 1, 12);
    ASSERT_FALSE(granted.isEmpty());
    listReports(w, 1, 12, QDate(2023, 3, 28));
    QStringList reportValues{QStringLiteral("28.03.2023"), uat};
    QStringList reportNames;
    for (const SampleRow &r : granted) {
        reportValues << r.cnp;
        reportNames << r.titular.toUpper();
    }
    batch.add(QStringLiteral("Referat"), w.lastOpened(), reportValues, int(granted.size()), reportNames);
    EXPECT_TRUE(w.dialogs.messages.isEmpty());

    // The forms of the month's first request.
    const QList<SampleRow> first = sampleRows(w.data, month, QStringLiteral("APROBAT"), "NR_REF", 1, 1);
    ASSERT_EQ(first.size(), 1);
    w.c1.SQL() = QStringList{QStringLiteral("SELECT * FROM ") + SqlQuote::table(w.data + QStringLiteral("/Cereri.dbf")),
                             QStringLiteral("WHERE LUNACRT=") + QString::number(month) + QStringLiteral(" AND NR_REF=1")};
    w.c1.Open();
    const auto [surname, given] = RequestForms::SplitName(first.first().titular);
    for (const auto &[f, name] : {std::pair{RequestForms::Form::Anexa1, "Anexa 1"}, std::pair{RequestForms::Form::Anexa2, "Anexa 2"},
                                  std::pair{RequestForms::Form::Ancheta, "Ancheta"}}) {
        w.docs->forms.ListCereB(f);
        batch.add(QLatin1String(name), w.lastOpened(), {surname, given, first.first().cnp, uat}, 0);
    }
    w.docs->forms.FisaVBClick();
    batch.add(QStringLiteral("FisaV"), w.lastOpened(), {surname.toUpper(), given.toUpper(), QStringLiteral("GHEORGHIŢĂ")}, 0);
}

// Households the sample may not hold: many children, no partner, payment at
// the post office, a domicile with a part missing.
void craftedForms(Batch &batch)
{
    struct Case
    {
        const char *name;
        int children;
        bool partner;
        QString payment;
        QStringList values;
        QVariantMap changes = {};  // of the request
        bool everyForm = false;    // the short form and the inquiry too
    };
    const Case cases[] = {
        {"six children", 6, true, "OP", {"COPIL6", "ŞTEFĂNIŢĂ", "POPESCU", "ANA", "RO49AAAA1B31007593840000"}},
        {"seven children", 7, true, "OP", {"COPIL7", "ŞTEFĂNIŢĂ"}},
        {"no partner, CEC", 1, false, "CEC", {"COPIL1", "cont bancar -, deschis la -"}},
        {"no locality", 1, true, "OP", {"Str. Şcolii nr. 3"}, {{"LOCALIT", QString()}}, true},
        {"no address", 1, true, "OP", {"Valea Seacă"}, {{"LOCALIT", "Valea Seacă"}, {"ADRESA", QString()}}, true},
        // Nothing known: a gap to fill in by hand.
        {"no locality nor address", 1, true, "OP", {".........."}, {{"LOCALIT", QString()}, {"ADRESA", QString()}}, true},
    };
    for (const Case &c : cases) {
        DocumentsWorld w;
        w.extractTemplates();
        QVariantMap r = DocumentsWorld::request(9);
        r["MODPLATA"] = c.payment;
        r["TITULAR"] = "POPESCU ION";
        r["BANCA"] = "Banca Ţării";
        for (auto it = c.changes.begin(); it != c.changes.end(); ++it)
            r[it.key()] = it.value();
        w.writeCereri({r});
        QList<QVariantMap> m{DocumentsWorld::member(9, "POPESCU ION", "1800101040011", "beneficiar", 1200)};
        if (c.partner)
            m << DocumentsWorld::member(9, "POPESCU ANA", "2820202040012", "partener");
        for (int k = 1; k <= c.children; ++k)
            m << DocumentsWorld::member(9, QStringLiteral("COPIL%1 ŞTEFĂNIŢĂ").arg(k), "5100404040014", "copil");
        w.writeOameni(m);
        w.choose(9);
        w.docs->forms.ListCereB(RequestForms::Form::Anexa1);
        batch.add(QLatin1String(c.name), w.lastOpened(), c.values, 0);
        // Paid at the post office, the bank's name stays out.
        if (c.payment == u"CEC") {
            EXPECT_FALSE(DocumentsWorld::rtfText(w.lastOpened()).contains(QStringLiteral("Banca \\'deării")));
        }
        using Form = RequestForms::Form;
        for (const auto &[f, form] : {std::pair{Form::Anexa2, ", Anexa 2"}, std::pair{Form::Ancheta, ", Ancheta"}}) {
            if (!c.everyForm)
                break;
            w.docs->forms.ListCereB(f);
            batch.add(QLatin1String(c.name) + QLatin1String(form), w.lastOpened(), c.values, 0);
        }
    }
}

// Granted the supplement alone: the dispositions and the report grant it, or
// end it, and say nothing of an aid.
void supplementOnly(Batch &batch)
{
    DocumentsWorld w;
    w.extractTemplates();
    QList<QVariantMap> rows;
    for (const char *status : {"APROBAT", "MODIFICAT", "INCETAT"}) {
        QVariantMap r = DocumentsWorld::request(int(rows.size()) + 1);
        r["STATUT"] = status;
        r["CUAJUT"] = "";
        r["CUANTUM"] = 0.0;
        r["TOTAL"] = 0.0;
        r["SUMAE"] = 30.0;
        rows << r;
    }
    w.writeCereri(rows);
    using Kind = DispositionDocuments::Kind;
    for (Kind kind : {Kind::Stabilire, Kind::Modificare, Kind::Incetare}) {
        listDispositions(w, kind, 1, 3, QDate(2023, 2, 1));
        batch.add(QStringLiteral("supplement only, ") + QLatin1String(DispositionDocuments::info(kind).status),
                  w.lastOpened(), {QStringLiteral("suplimentul pentru energie")}, 1);
    }
    listReports(w, 1, 3, QDate(2023, 1, 20));
    batch.add(QStringLiteral("supplement only, Referat"), w.lastOpened(), {QStringLiteral("suplimentului pentru energie")}, 1);
    EXPECT_TRUE(w.dialogs.messages.isEmpty());
}

// Every document of every test here, read by LibreOffice in one run.
class DocumentsReadBack : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        batch = new Batch;
        sampleDocuments(*batch);
        craftedForms(*batch);
        supplementOnly(*batch);
        batch->convert();
    }
    static void TearDownTestSuite()
    {
        delete batch;
        batch = nullptr;
    }
    static inline Batch *batch = nullptr;
};

const QRegularExpression kCapitalLetter(QStringLiteral("lit\\. [A-Z]\\)"));

} // namespace

TEST_F(DocumentsReadBack, LibreOfficeFindsTheFilledValues)
{
    ASSERT_EQ(batch->docs().size(), 25);
    batch->check();
}

TEST_F(DocumentsReadBack, SupplementAloneIsGrantedWithoutAZeroAid)
{
    for (const char *name : {"supplement only, APROBAT", "supplement only, MODIFICAT", "supplement only, INCETAT",
                             "supplement only, Referat"}) {
        SCOPED_TRACE(name);
        const QString text = batch->text(QLatin1String(name));
        for (const char *wrong : {" 0 lei", "lei/lun", "literei", "din tabelul"})
            EXPECT_FALSE(text.contains(QLatin1String(wrong))) << wrong;
    }
}

// Read as the secretary who signs them.
TEST_F(DocumentsReadBack, WordingASecretarySigns)
{
    for (const char *name : {"APROBAT", "MODIFICAT", "INCETAT", "RESPINS", "Referat"}) {
        SCOPED_TRACE(name);
        const QString text = batch->text(QLatin1String(name));
        // "depusă de" wants "domnul"; the templates use the genitive, "a domnului".
        EXPECT_TRUE(text.contains(QStringLiteral(" a domnului ")) || text.contains(QStringLiteral(" a doamnei ")));
        for (const char *wrong : {"DOMNULUI", "DOAMNEI", "de domnului", "de doamnei", "literei", "de 0 lei", "COMUNEI"})
            EXPECT_FALSE(text.contains(QLatin1String(wrong))) << wrong;
        EXPECT_FALSE(text.contains(kCapitalLetter));
    }
    EXPECT_TRUE(batch->text(QStringLiteral("APROBAT")).contains(QRegularExpression(QStringLiteral("lit\\. [a-k]\\) din"))));

    // "1 adulţi" would not do: the counts stand after their words.
    EXPECT_TRUE(batch->text(QStringLiteral("Anexa 1")).contains(QRegularExpression(QStringLiteral("adulţi \\d+, copii \\d+"))));
    const QString shortForm = batch->text(QStringLiteral("Anexa 2"));
    EXPECT_TRUE(shortForm.contains(QRegularExpression(QStringLiteral("(^|\\n)I\\. Componen"))));
    EXPECT_TRUE(shortForm.contains(QStringLiteral("IV. Modalitatea de plat")));

    const QString inquiry = batch->text(QStringLiteral("Ancheta"));
    EXPECT_TRUE(inquiry.contains(cedilla(QStringLiteral("Condițiile de locuit: tipul locuinței"))));
    EXPECT_TRUE(inquiry.contains(QStringLiteral("Asistent social: ____")));

    // Member incomes carry two decimals, like the totals.
    EXPECT_TRUE(batch->text(QStringLiteral("six children")).contains(QStringLiteral("1200.00")));
    // Every option has its box: empty beside the ticked one.
    const QString rtf = DocumentsWorld::rtfText(batch->path(QStringLiteral("six children")));
    EXPECT_TRUE(rtf.contains(QStringLiteral("\\chbrdr\\brdrs\\brdrw10 X}")));
    EXPECT_TRUE(rtf.contains(QStringLiteral("\\chbrdr\\brdrs\\brdrw10  }")));
}
