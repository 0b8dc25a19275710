#include "payments/TreasuryAnnex3.h"

#include "documents/DocumentValues.h"
#include "documents/RTFReplace.h"
#include "payments/PaymentValues.h"
#include "payments/TreasuryPackage.h"
#include "tables/RequestTables.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/SqlValue.h"
#include "platform/sql/Money.h"
#include "platform/sql/SqlEngine.h"

#include <QDir>

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

using namespace DocumentValues;

namespace {

// How one code's payees are paid: "OP" (bank order) or any other way (CEC).
// Sums in cents: the amounts are added as they are and the sum is printed
// once, so the annex says what annex 2 and the totals text say.
struct Counts
{
    qint64 nr1 = 0, suma1 = 0, nr2 = 0, suma2 = 0;
};

// Plain ASCII, as CNPs are, goes over byte by byte.
void appendUtf8(std::string &out, const QString &text)
{
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) {
        for (QChar c : text)
            out.push_back(char(c.unicode()));
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    out.append(utf8.constData(), size_t(utf8.size()));
}

// Whether each payment of the package goes by bank order ("OP"): the payment
// mode of the month's first request in the table (whatever its status) with the
// payee's CNP. One pass over the month's rows, read as the engine gives them,
// looks up only the package's payees.
std::vector<bool> byBankOrder(const TreasuryPackage &package)
{
    // The CNPs in UTF-8, as the engine hands text over, one after another in
    // one buffer that never moves: the map looks them up in place.
    qsizetype bytes = 0;
    for (const TreasuryPayment &p : package.payments)
        bytes += p.cnp.size() * 3;
    std::string arena;
    arena.reserve(size_t(bytes));
    std::unordered_map<std::string_view, int> payee;
    payee.reserve(size_t(package.payments.size()));
    std::vector<int> payeeOf;
    payeeOf.reserve(size_t(package.payments.size()));
    for (const TreasuryPayment &p : package.payments) {
        const size_t start = arena.size();
        appendUtf8(arena, p.cnp);
        const auto [at, added] = payee.try_emplace(std::string_view(arena).substr(start), int(payee.size()));
        if (!added)
            arena.resize(start);
        payeeOf.push_back(at->second);
    }
    enum Mode : char { Unseen, Other, BankOrder };
    std::vector<Mode> modes(payee.size(), Unseen);
    const QString sql = QStringList{QStringLiteral("SELECT CNP, MODPLATA"),
                                    QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri)),
                                    QStringLiteral("WHERE LUNACRT=") + SqlQuote::number(workingMonth())}
                            .join(u'\n');
    std::string scratch;
    SqlEngine::instance().forEachRow(sql, [&](sqlite3_stmt *row) {
        const auto found = payee.find(SqlEngine::cellText(row, 0, scratch));
        if (found == payee.end() || modes[size_t(found->second)] != Unseen)
            return;
        modes[size_t(found->second)] = SqlEngine::cellText(row, 1, scratch) == "OP" ? BankOrder : Other;
    });
    std::vector<bool> bankOrder(payeeOf.size());
    for (size_t i = 0; i < payeeOf.size(); ++i)
        bankOrder[i] = modes[size_t(payeeOf[i])] == BankOrder;
    return bankOrder;
}

Counts count(const std::vector<bool> &bankOrder, const TreasuryPackage &package, const QString &code)
{
    Counts c;
    for (qsizetype i = 0; i < package.payments.size(); ++i) {
        const TreasuryPayment &p = package.payments[i];
        if (p.code != code)
            continue;
        const qint64 cents = Money::cents(p.amount);
        if (bankOrder[size_t(i)]) {
            ++c.nr2;
            c.suma2 += cents;
        } else {
            ++c.nr1;
            c.suma1 += cents;
        }
    }
    return c;
}

void addKeys(TRTFReplace &rtf, const OfficeSettings &office, const TreasuryCode &code, const Counts &c, const QDate &date)
{
    const auto add = [&rtf](const char *key, const QString &value) { rtf.AdaugaCheie(QLatin1String(key), value); };
    add("[CODJUD]", office.countyCode);
    add("[DENUMJUD]", office.county);
    add("[CODUNIT]", office.fiscalCode);
    add("[DENUMUNIT]", office.localityType + u' ' + office.locality);
    add("[CODAJUTOR]", code.code);
    add("[DENUMIREAJUTOR]", code.caption.mid(6) + u' ' + code.basis);
    add("[Primar]", office.mayor);
    add("[NR1]", QString::number(c.nr1));
    add("[SUMA1]", PaymentValues::money(c.suma1));
    add("[NR2]", QString::number(c.nr2));
    add("[SUMA2]", PaymentValues::money(c.suma2));
    add("[NR]", QString::number(c.nr1 + c.nr2));
    add("[SUMA]", PaymentValues::money(c.suma1 + c.suma2));
    add("[DATA]", SqlValue::formatDate(date));
}

} // namespace

namespace TreasuryAnnex3 {

void write(const TreasuryPackage &package, TRTFReplace &rtf)
{
    if (package.codes.isEmpty())
        return;
    const std::vector<bool> bankOrder = byBankOrder(package);
    for (const TreasuryCode &code : package.codes) {
        const Counts c = count(bankOrder, package, code.code);
        const QString name = code.code == u"073" ? QStringLiteral("Anexa3_Ajutor_Lemne.rtf")
                                                 : QStringLiteral("Anexa3_Supliment_Lemne.rtf");
        rtf.RTFSursa = PaymentValues::resourcePath(QStringLiteral("TrezAnx3"));
        rtf.RTFDest = QDir(package.folder).filePath(name);
        if (!rtf.IncepeDocument())
            PaymentValues::refuse(QStringLiteral("Nu pot scrie pe harddisk! ") + QDir::toNativeSeparators(rtf.RTFDest));
        rtf.StergeChei();
        addKeys(rtf, package.office, code, c, package.paymentDate);
        rtf.AdaugaPagini(1);
        rtf.InchideDocument();
    }
}

} // namespace TreasuryAnnex3
