#include "payments/TreasuryDbf.h"

#include "documents/DocumentValues.h"
#include "payments/PaymentValues.h"
#include "payments/TipStatF.h"
#include "platform/codepage/Cp1250.h"
#include "platform/db/DbfCodec.h"
#include "tables/RequestTables.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TField.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestRules.h"

#include <QHash>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <charconv>

using namespace DocumentValues;

namespace {

// Widths of the fields, as the model lays them out.
constexpr int kCodJud = 2, kCodFisc = 10, kCnp = 13, kCode = 3, kName = 60, kMembers = 2, kSum = 10, kDate = 8;

bool digitsOnly(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Bytes right-aligned in a field of blanks at out (cut to the width); the end of the field.
char *putRight(char *out, QByteArrayView bytes, int width)
{
    const qsizetype used = std::min<qsizetype>(bytes.size(), width);
    std::copy_n(bytes.data(), used, out + width - used);
    return out + width;
}

QByteArray sumText(double amount)
{
    return detail::DbfCodec::formatNumber(amount, kSum, 2);
}

// The sums' texts, each formatted once: the aid and supplement amounts of a
// month are few, repeated over thousands of payees.
class SumTexts
{
public:
    const QByteArray &of(double amount)
    {
        const quint64 bits = std::bit_cast<quint64>(amount); // -0.0 apart from 0.0, any NaN as itself
        auto it = m_known.constFind(bits);
        if (it == m_known.constEnd())
            it = m_known.insert(bits, sumText(amount));
        return *it;
    }

private:
    QHash<quint64, QByteArray> m_known;
};

// Sums below a million (or above minus a hundred thousand) plainly have room
// for their ten characters; only the others need formatting to tell.
bool sumFits(double amount)
{
    return (amount > -1e5 && amount < 1e6) || !sumText(amount).isEmpty();
}

QString describe(const TreasuryPayment &p)
{
    return QStringLiteral("%1 (CNP %2, cod %3)").arg(p.name, p.cnp, p.code);
}

} // namespace

QList<TreasuryPayment> TreasuryDbf::select(TQuery &query, const QStringList &codes, const TTipStatF &selection)
{
    const bool byLocality = !selection.allLocalities();
    // The place is read only to test a chosen locality.
    QStringList lines{
        QStringLiteral("SELECT TITULAR AS SUBSEMN,CNP, NR_MEMBRI AS NRPERS, TOTAL, SUMAL")
            + (byLocality ? QStringLiteral(", LOCALIT, ADRESA") : QString()),
        QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri)),
        QStringLiteral("WHERE LUNACRT=") + SqlQuote::number(workingMonth()),
        QStringLiteral("AND ") + RequestRules::approved(),
        QStringLiteral("AND (TOTAL>0 OR SUMAL>0)"),
    };
    const QString locality = selection.locality();
    // LIKE would read "%" and "_" of a name as wildcards: it only narrows the
    // rows, the exact test is made below.
    if (byLocality)
        lines << QStringLiteral("AND (LOCALIT=%1 OR ADRESA LIKE %2)")
                     .arg(SqlQuote::literal(locality), SqlQuote::literal(locality + u'%'));
    lines << selection.nameConditions() << QStringLiteral("ORDER BY SUBSEMN");
    openQuery(query, lines);

    // 073 pays the aid total, 074 the solid-fuel supplement.
    const auto field = [&query](const char *name) { return query.FieldByName(QLatin1String(name)); };
    const TField *name = field("SUBSEMN"), *cnp = field("CNP"), *members = field("NRPERS");
    const TField *localit = byLocality ? field("LOCALIT") : nullptr, *adresa = byLocality ? field("ADRESA") : nullptr;
    QList<const TField *> amounts;
    for (const QString &code : codes)
        amounts << field(code == u"073" ? "TOTAL" : "SUMAL");
    QList<QList<TreasuryPayment>> byCode(codes.size());
    for (query.First(); !query.Eof(); query.Next()) {
        if (byLocality && localit->AsString() != locality && !adresa->AsString().startsWith(locality))
            continue;
        for (qsizetype i = 0; i < codes.size(); ++i) {
            const double amount = amounts[i]->AsFloat();
            if (amount > 0)
                byCode[i].append({codes[i], name->AsString(), cnp->AsString(), members->AsInteger(), amount});
        }
    }
    query.Close();
    QList<TreasuryPayment> payments;
    for (const QList<TreasuryPayment> &part : byCode)
        payments += part;
    return payments;
}

void TreasuryDbf::check(const Payer &payer, const QList<TreasuryPayment> &payments)
{
    // The codes make the file name: anything but digits could lead it elsewhere.
    if (!digitsOnly(payer.codJud) || payer.codJud.size() > kCodJud)
        PaymentValues::refuse(QStringLiteral("Codul judetului din Administrare trebuie sa aiba 1 sau 2 cifre (acum \"%1\").")
                                  .arg(payer.codJud));
    if (!digitsOnly(payer.codFiscal) || payer.codFiscal.size() > kCodFisc)
        PaymentValues::refuse(QStringLiteral("Codul fiscal din Administrare trebuie sa aiba cel mult 10 cifre, fara "
                                             "litere (acum \"%1\").")
                                  .arg(payer.codFiscal));
    const QString prefix = QStringLiteral("Cererea lui ");
    for (const TreasuryPayment &p : payments) {
        QString why;
        if (p.name.size() > kName)
            why = QStringLiteral("numele are %1 caractere, fisierul trezoreriei primeste cel mult 60").arg(p.name.size());
        else if (p.cnp.size() > kCnp)
            why = QStringLiteral("CNP-ul are %1 caractere, fisierul trezoreriei primeste cel mult 13").arg(p.cnp.size());
        else if (p.members < 0 || p.members > 99)
            why = QStringLiteral("numarul de membri %1 nu incape in 2 cifre").arg(p.members);
        else if (!sumFits(p.amount))
            why = QStringLiteral("suma %1 nu incape in 10 caractere").arg(twoDecimals(p.amount));
        if (!why.isEmpty())
            PaymentValues::refuse(prefix + describe(p) + QStringLiteral(" nu poate intra in raport: ") + why
                                  + QStringLiteral(". Corectati cererea si reincercati."));
    }
}

QString TreasuryDbf::fileName(const Payer &payer)
{
    return payer.codJud.rightJustified(2, u'0') + payer.codFiscal + u'_'
           + payer.paymentDate.toString(QStringLiteral("dd-MM-yyyy")) + QStringLiteral(".dbf");
}

QByteArray TreasuryDbf::bytes(const QByteArray &model, const Payer &payer, const QList<TreasuryPayment> &payments,
                              const QDate &today)
{
    QByteArray out = model;
    // A table nothing was appended to keeps its header as it came.
    if (payments.isEmpty())
        return out;
    out.resize(HeaderLength);
    out[1] = char(today.year() - 1900);
    out[2] = char(today.month());
    out[3] = char(today.day());
    qToLittleEndian<quint32>(quint32(payments.size()), out.data() + 4);
    const QByteArray date = payer.paymentDate.toString(QStringLiteral("yyyyMMdd")).toLatin1();
    // The records laid out in place over blanks, field after field, and the end mark.
    out.resize(HeaderLength + payments.size() * RecordLength + 1);
    SumTexts sums;
    char *record = out.data() + HeaderLength;
    std::fill(record, out.data() + out.size() - 1, ' ');
    out.back() = char(0x1A);
    for (const TreasuryPayment &p : payments) {
        char *at = record + 1; // after the deletion flag
        for (const auto &[text, width] : {std::pair{&payer.codJud, kCodJud}, {&payer.codFiscal, kCodFisc}, {&p.cnp, kCnp},
                                          {&p.code, kCode}, {&p.name, kName}}) {
            Cp1250::encode(*text, at, width);
            at += width;
        }
        char members[12];
        at = putRight(at, QByteArrayView(members, std::to_chars(members, members + sizeof members, p.members).ptr), kMembers);
        at = putRight(at, sums.of(p.amount), kSum);
        at = putRight(at, date, kDate);
        at = putRight(at, date, kDate);
        Q_ASSERT(at == record + RecordLength);
        record += RecordLength;
    }
    return out;
}
