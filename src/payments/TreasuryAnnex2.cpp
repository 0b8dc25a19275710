#include "payments/TreasuryAnnex2.h"

#include "documents/ExpXLSOLE.h"
#include "payments/PaymentValues.h"
#include "payments/TreasuryPackage.h"
#include "platform/sql/RomanianCollation.h"
#include "platform/db/Dbf.h"
#include "platform/sql/DbfVirtualTable.h"
#include "platform/sql/TDataSet.h"

#include <QDir>

#include <algorithm>
#include <array>
#include <numeric>
#include <optional>

namespace {

// The payees of one code as the treasury file holds them, by name (blank names
// first, the file's order among equal names): its NUMEPREN, NRPERS, CNP and
// SUMA, typed as a query over the file types them. Read straight from the file
// just written, only the four fields of the code's rows: a query would index
// and sort the whole file again for each code, though its rows are written in
// the order of the names already.
class CodeRows : public TDataSet
{
public:
    CodeRows(const QString &path, const QString &code) : m_path(path), m_code(code.toLatin1()) {}

protected:
    // The rows hold their records only: a row's values are read as the fill
    // comes to it.
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override
    {
        m_dbf.emplace(Dbf::open(m_path));
        const Dbf &dbf = *m_dbf;
        const auto field = [&dbf](QStringView name) { return dbf.fieldIndex(name); };
        const int code = field(u"CODAJUT");
        m_kept = {field(u"NUMEPREN"), field(u"NRPERS"), field(u"CNP"), field(u"SUMA")};
        for (const int f : m_kept) {
            const SqlColumn c = DbfSnapshot::columnOf(dbf.fields()[f]);
            columns << SqlResultColumn{c.name, c.type, c.size, c.decimals};
        }
        std::vector<QString> names; // null when blank
        DbfValue name;
        for (qint64 r = 0; r < dbf.recordCount(); ++r) {
            if (dbf.isDeleted(r) || dbf.rawField(r, code) != QByteArrayView(m_code))
                continue;
            rows.push_back({{}, r});
            dbf.read(r, m_kept[0], name);
            names.push_back(name.kind == DbfValue::Text ? name.text : QString());
        }
        const std::vector<int> order = nameOrder(names);
        std::vector<Row> byName(rows.size());
        for (size_t i = 0; i < order.size(); ++i)
            byName[i] = std::move(rows[size_t(order[i])]);
        rows.swap(byName);
    }

    void decodeRecord(qint64 record, std::vector<DbfValue> &into) const override
    {
        into.resize(m_kept.size());
        for (size_t i = 0; i < m_kept.size(); ++i)
            m_dbf->read(record, m_kept[i], into[i]);
    }

    void closeData() override { m_dbf.reset(); }

private:
    // The rows' positions by name, stable; most often the order they came in.
    static std::vector<int> nameOrder(const std::vector<QString> &names)
    {
        std::vector<int> order(names.size());
        std::iota(order.begin(), order.end(), 0);
        const auto before = [&names](int i, int j) {
            const QString &a = names[size_t(i)], &b = names[size_t(j)];
            if (a.isNull() || b.isNull())
                return a.isNull() && !b.isNull();
            return a != b && RomanianCollation::compare(a, b) < 0; // namesakes plainly compare equal
        };
        if (!std::is_sorted(order.begin(), order.end(), before))
            std::stable_sort(order.begin(), order.end(), before);
        return order;
    }

    QString m_path;
    QByteArray m_code;
    std::optional<Dbf> m_dbf;
    std::array<int, 4> m_kept{};
};

void replaceTags(TExpXLSOLE &xls, const OfficeSettings &office, const TreasuryCode &code, int payees, const QDate &date)
{
    xls.ReplaceTag(QStringLiteral("#JUDETUL"),
                   QStringLiteral("JUDETUL: ") + office.fiscalCode + QStringLiteral("  JUDETUL ") + office.county);
    xls.ReplaceTag(QStringLiteral("#UAT"), office.fiscalCode + QStringLiteral("  ") + office.localityType + QStringLiteral("  ")
                                               + office.locality.toUpper());
    xls.ReplaceTag(QStringLiteral("[SITUATIA]"), QStringLiteral("SITUATIA ") + code.caption + u' ' + code.basis);
    xls.ReplaceTag(QStringLiteral("[PRIMAR]"), office.mayor);
    xls.ReplaceTag(QStringLiteral("[NRPERS]"), payees);
    xls.ReplaceTag(QStringLiteral("[DATA]"), QStringLiteral("in ziua %1 luna %2 anul %3")
                                                 .arg(date.toString(QStringLiteral("dd")), date.toString(QStringLiteral("MM")),
                                                      date.toString(QStringLiteral("yyyy"))));
}

} // namespace

namespace TreasuryAnnex2 {

void write(const TreasuryPackage &package)
{
    TExpXLSOLE &xls = ExpXLSOLE();
    for (const TreasuryCode &code : package.codes) {
        PaymentValues::openTemplate(xls, PaymentValues::resourcePath(QStringLiteral("TrezAnx2")));
        CodeRows rows(package.dbfPath, code.code);
        rows.Open();
        replaceTags(xls, package.office, code, rows.RecordCount(), package.paymentDate);
        xls.FillFromDataSet(rows);
        rows.Close();
        const QString name = code.code == u"073" ? QStringLiteral("Anexa2_Ajutor_Lemne.xls")
                                                 : QStringLiteral("Anexa2_Supliment_Lemne.xls");
        xls.SaveTo(QDir(package.folder).filePath(name));
    }
}

} // namespace TreasuryAnnex2
