#include "documents/RequestForms.h"

#include "core/Erori.h"
#include "core/Form4.h"
#include "documents/DocumentError.h"
#include "documents/DocumentFolder.h"
#include "documents/DocumentValues.h"
#include "documents/RTFReplace.h"
#include "tables/RequestTables.h"
#include "platform/sql/Money.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "requests/RequestCodes.h"
#include "tables/SupplementKinds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

using namespace DocumentValues;

namespace {

const QString kMembersTitle = QStringLiteral("Cerere/Ancheta");

QString today()
{
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
}

QString mark(bool on)
{
    return on ? QStringLiteral("X") : QStringLiteral(" ");
}

// "X" in the box of the code's position in the editor's list, a blank in the
// others; the forms find the code without regard to case.
void addBoxes(TRTFReplace &rtf, const char *prefix, int boxes, const QStringList &codes, const QString &code)
{
    int position = -1;
    for (int i = 0; i < codes.size() && position < 0; ++i)
        if (codes[i].compare(code.trimmed(), Qt::CaseInsensitive) == 0)
            position = i;
    for (int n = 1; n <= boxes; ++n)
        rtf.AdaugaCheie(QStringLiteral("[%1%2]").arg(QLatin1String(prefix)).arg(n), mark(n - 1 == position));
}

void requireTemplate(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw EInOutError("Nu exista modelul " + QDir::toNativeSeparators(path).toStdString() + "!");
}

} // namespace

RequestForms::RequestForms(const DocumentContext &context) : m_ctx(context) {}

QPair<QString, QString> RequestForms::SplitName(const QString &full)
{
    const qsizetype blank = full.indexOf(u' ');
    if (blank < 0)
        return {QString(), full};
    return {full.left(blank), full.mid(blank + 1)};
}

void RequestForms::requireRequest() const
{
    // An empty list has no request: a form stored as "C.rtf" would belong to none.
    if (!m_ctx.C1->Active() || m_ctx.C1->IsEmpty())
        throw DocumentError("Alegeti mai intai o cerere din lista!");
}

QString RequestForms::storedPath(Form form) const
{
    requireRequest();
    static const char *const prefixes[] = {"C", "CS", "A"};
    const QString nrcrt = text(*m_ctx.C1, "NRCRT");
    return dataFile(QLatin1String(prefixes[static_cast<int>(form)]) + nrcrt + QStringLiteral(".rtf"));
}

void RequestForms::openMembers(const QString &role, bool ordered) const
{
    QStringList sql{QStringLiteral("SELECT * FROM ") + SqlQuote::table(dataFile(RequestTables::Oameni)),
                    QStringLiteral("WHERE NRCRT=") + SqlQuote::number(value(*m_ctx.C1, "NRCRT")),
                    QStringLiteral("AND CALITATE=") + SqlQuote::literal(role)};
    if (ordered)
        sql << QStringLiteral("ORDER BY TITULAR");
    openQuery(*m_ctx.Sx, sql);
}

int RequestForms::countMembers(const QString &role) const
{
    QueryScope scope(*m_ctx.Sx);
    openMembers(role, false);
    return m_ctx.Sx->RecordCount();
}

QString RequestForms::templateFor(Form form) const
{
    switch (form) {
    case Form::Anexa1:
        // The full form has room for six children; a larger household needs the long one.
        return dataFile(countMembers(QStringLiteral("copil")) > 6 ? QStringLiteral("ModCerere10c.rtf")
                                                                   : QStringLiteral("ModCerere.rtf"));
    case Form::Anexa2: return dataFile(QStringLiteral("ModCerereS.rtf"));
    case Form::Ancheta: break;
    }
    return dataFile(QStringLiteral("ModelAncheta2.rtf"));
}

void RequestForms::ListCereB(Form form)
{
    TRTFReplace &rtf = *m_ctx.RTF1;
    const bool useWord = Form4().CuOLE->isChecked();
    const QString stored = storedPath(form);
    if (QFileInfo::exists(stored)) {
        // Filled once: later clicks show the stored form with the user's changes.
        rtf.RTFDest = stored;
        rtf.DeschideRezultat(useWord);
        return;
    }
    rtf.RTFSursa = templateFor(form);
    requireTemplate(rtf.RTFSursa);
    rtf.RTFDest = stored;
    // The whole form is written in one go, under its name only once complete,
    // so a failure on the way leaves no half-filled form to be shown later;
    // nothing needs the header a started document would write.
    rtf.StergeChei();
    addRequestKeys();
    addMembers();
    rtf.CompleteazaDocument(QStringLiteral("Anexa"));
    rtf.InchideDocument();
    rtf.DeschideRezultat(useWord);
}

void RequestForms::addRequestKeys()
{
    const TDataSet &row = *m_ctx.C1;
    TRTFReplace &rtf = *m_ctx.RTF1;
    const TForm4 &admin = Form4();
    auto add = [&rtf](const QString &key, const QString &v) { rtf.AdaugaCheie(key, v); };

    const QString titular = text(row, "TITULAR");
    const auto [surname, given] = splitInline(titular);
    add("[UAT]", admin.Localit->text());
    add("[NR_CERE]", text(row, "NR_CERE"));
    add("[DATAAZI]", today());
    add("[DATACERE]", date(row.FieldByName(QStringLiteral("DATACERE"))));
    add("[NUME]", surname);
    add("[PRENUME]", given);
    add("[CNP]", text(row, "CNP"));
    // The templates write the domicile "[LOCALITATEA], [ADRESA]", those
    // already in the data folder too: filled as one, a missing part leaves
    // no lone comma, and a missing domicile a gap to fill in by hand.
    const QString domicile = address({text(row, "LOCALIT"), text(row, "ADRESA")});
    add("[LOCALITATEA], [ADRESA]", domicile.isEmpty() ? QLatin1String(TRTFReplace::EmptyValue) : domicile);
    add("[ADRESA]", text(row, "ADRESA"));
    add("[LOCALITATEA]", text(row, "LOCALIT"));
    add("[JUDET]", admin.JudetC->currentText());
    addBoxes(rtf, "S", 4, RequestCodes::SitScolCod(), text(row, "SITSCOL"));
    addBoxes(rtf, "C", 6, RequestCodes::StCivCod(), text(row, "STCIV"));
    // Only the first eight occupations have a box.
    addBoxes(rtf, "P", 8, RequestCodes::SitProf(), text(row, "SITPROF"));
    add("[TVENIT]", Money::twoDecimals(value(row, "TVENIT")));
    add("[VENITM]", Money::twoDecimals(value(row, "VENITM")));
    const bool transfer = text(row, "MODPLATA").trimmed() == u"OP";
    add("[M1]", mark(!transfer));
    add("[M2]", mark(transfer));
    add("[CONT]", transfer ? text(row, "CONT") : QStringLiteral("-"));
    add("[BANCA]", transfer ? text(row, "BANCA") : QStringLiteral("-"));
    add("[NUMET]", titular);
    const QString cuajut = text(row, "CUAJUT");
    add("[AI]", cuajut.isEmpty() ? QStringLiteral(" ") : cuajut);
    double supplements = 0;
    for (const SupplementKind &kind : SupplementKinds::All) {
        const double amount = value(row, kind.amount);
        supplements += amount;
        add(QStringLiteral("[S%1]").arg(QLatin1Char(kind.letter)), mark(amount > 0));
    }
    add("[SU]", mark(supplements > 0));
    for (const char *f : {"FURNT", "FURNG", "FURNE", "CODCLT", "CODCLG", "CODCLE", "PODG", "PODE"})
        add(QStringLiteral("[%1]").arg(QLatin1String(f)), text(row, f));
    const int children = row.FieldByName(QStringLiteral("COPII14"))->AsInteger()
                         + row.FieldByName(QStringLiteral("COPII18"))->AsInteger();
    add("[NR_MEMBRI]", QString::number(row.FieldByName(QStringLiteral("NR_MEMBRI"))->AsInteger() - children));
    add("[NR_COPII]", QString::number(children));
}

void RequestForms::addMembers()
{
    TQuery &sx = *m_ctx.Sx;
    TRTFReplace &rtf = *m_ctx.RTF1;
    QueryScope scope(sx);
    // Beneficiary and partner: one each; the first row fills the form.
    for (const auto &[role, group] : {std::pair{"beneficiar", "B"}, std::pair{"partener", "P"}}) {
        openMembers(QLatin1String(role), false);
        const bool none = sx.IsEmpty();
        for (sx.First(); !none && !sx.Eof(); sx.Next()) {
            const auto [surname, given] = splitInline(text(sx, "TITULAR"));
            rtf.AdaugaCheie(QStringLiteral("[NUME%1]").arg(QLatin1String(group)), surname);
            rtf.AdaugaCheie(QStringLiteral("[PRENUME%1]").arg(QLatin1String(group)), given);
            rtf.AdaugaCheie(QStringLiteral("[CNP%1]").arg(QLatin1String(group)), text(sx, "CNP"));
            rtf.AdaugaCheie(QStringLiteral("[VENIT%1]").arg(QLatin1String(group)), Money::twoDecimals(value(sx, "VENIT")));
        }
        if (none)
            for (const char *key : {"NUME", "PRENUME", "CNP", "VENIT"})
                rtf.AdaugaCheie(QStringLiteral("[%1%2]").arg(QLatin1String(key), QLatin1String(group)),
                                QStringLiteral("-"));
    }
    // The form has boxes for four adults and ten children, and keys for more.
    openMembers(QStringLiteral("adult"), true);
    addMemberSlots({"NUMEA", "PRENUMEA", "CNPA", "VENITA"}, 4, 16,
                   QStringLiteral("ATENTIE!!\rSunt mai mult de patru adulti!\rVerificati adultii de pe formular!"));
    openMembers(QStringLiteral("copil"), true);
    addMemberSlots({"NUMEC", "PRENUMEC", "CNPC"}, 10, 17,
                   QStringLiteral("ATENTIE!!\rSunt mai mult de zece copii!\rVerificati copiii de pe formular!"));
}

// The k-th member of the open query fills the keys numbered k; the slots
// after the last member, up to the last slot, print "-".
void RequestForms::addMemberSlots(const QStringList &keys, int boxes, int lastSlot, const QString &warning)
{
    const int keyCount = int(keys.size());
    TQuery &sx = *m_ctx.Sx;
    TRTFReplace &rtf = *m_ctx.RTF1;
    int k = 0;
    for (sx.First(); !sx.Eof(); sx.Next()) {
        ++k;
        const auto [surname, given] = splitInline(text(sx, "TITULAR"));
        const QString values[] = {surname, given, text(sx, "CNP"), Money::twoDecimals(value(sx, "VENIT"))};
        for (int i = 0; i < keyCount; ++i)
            rtf.AdaugaCheie(QStringLiteral("[%1%2]").arg(keys[i]).arg(k), values[i]);
    }
    if (k > boxes)
        TErori::Mesaj(kMembersTitle, warning, 0, TErori::OK);
    for (int slot = k + 1; slot <= lastSlot; ++slot)
        for (int i = 0; i < keyCount; ++i)
            rtf.AdaugaCheie(QStringLiteral("[%1%2]").arg(keys[i]).arg(slot), QStringLiteral("-"));
}

void RequestForms::AnchShowClick()
{
    TRTFReplace &rtf = *m_ctx.RTF1;
    const QString path = storedPath(Form::Ancheta);
    if (!QFileInfo::exists(path)) {
        TErori::Mesaj(QStringLiteral("Arata Ancheta"),
                      QStringLiteral("\rLa aceasta Cerere, nu aveti Ancheta!\rApasati mai intai butonul Adauga!"), 1,
                      TErori::OK);
        return;
    }
    rtf.RTFDest = path;
    rtf.DeschideRezultat(Form4().CuOLE->isChecked());
}

void RequestForms::AnchDelClick()
{
    const QString title = QStringLiteral("Stergere Ancheta");
    const QString path = storedPath(Form::Ancheta);
    if (!QFileInfo::exists(path)) {
        TErori::Mesaj(title, QStringLiteral("\rLa aceasta Cerere nu aveti Ancheta!"), 1, TErori::OK);
        return;
    }
    if (TErori::Mesaj(title, QStringLiteral("Vreti sa stergeti ancheta?"), 0, TErori::Da | TErori::Nu)
        != TErori::ResultDa)
        return;
    if (!QFile::remove(path))
        TErori::Mesaj(title, QStringLiteral("\rAncheta este deschisa! N-o pot sterge!"), 1, TErori::OK);
}

void RequestForms::FisaVBClick()
{
    requireRequest();
    const TDataSet &row = *m_ctx.C1;
    TRTFReplace &rtf = *m_ctx.RTF1;
    rtf.RTFSursa = dataFile(QStringLiteral("FisaV.rtf"));
    requireTemplate(rtf.RTFSursa);
    rtf.RTFDest = DocumentFolder::newPath(QStringLiteral("Fisa de verificare a cererii nr. ") + text(row, "NR_CERE").trimmed(),
                                          QStringLiteral(".rtf"));
    if (!rtf.IncepeDocument())
        throw EInOutError("Nu pot scrie fisierul " + QDir::toNativeSeparators(rtf.RTFDest).toStdString());
    const auto [surname, given] = SplitName(text(row, "TITULAR"));
    const QString op = Form4().IntocmitN->text();
    const auto [opSurname, opGiven] = SplitName(op);
    rtf.AdaugaCheie(QStringLiteral("[NRC]"), text(row, "NR_CERE"));
    rtf.AdaugaCheie(QStringLiteral("[DATAC]"), date(row.FieldByName(QStringLiteral("DATACERE"))));
    rtf.AdaugaCheie(QStringLiteral("[DATAF]"), today());
    rtf.AdaugaCheie(QStringLiteral("[NUMES]"), surname);
    rtf.AdaugaCheie(QStringLiteral("[PRENUMES]"), given);
    rtf.AdaugaCheie(QStringLiteral("[OPERATOR]"), op);
    rtf.AdaugaCheie(QStringLiteral("[NUMEOP]"), opSurname);
    rtf.AdaugaCheie(QStringLiteral("[PRENUMEOP]"), opGiven);
    rtf.AdaugaPagini(1);
    rtf.InchideDocument();
    rtf.DeschideRezultat(false);
}
