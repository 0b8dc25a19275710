#include "payments/TreasuryAnnex2.h"

#include "documents/DocumentValues.h"
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

using namespace DocumentValues;

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
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override
    {
        read(Dbf::open(m_path), columns, rows);
        std::vector<Row> byName(rows.size());
        const std::vector<int> order = nameOrder(rows);
        for (size_t i = 0; i < order.size(); ++i)
            byName[i] = std::move(rows[size_t(order[i])]);
        rows.swap(byName);
    }

private:
    void read(const Dbf &dbf, QList<SqlResultColumn> &columns, std::vector<Row> &rows) const
    {
        const QList<DbfField> &fields = dbf.fields();
        const auto field = [&dbf](QStringView name) { return dbf.fieldIndex(name); };
        const int code = field(u"CODAJUT");
        const std::array<int, 4> kept{field(u"NUMEPREN"), field(u"NRPERS"), field(u"CNP"), field(u"SUMA")};
        for (int i : kept) {
            const SqlColumn c = DbfSnapshot::columnOf(fields[i]);
            columns << SqlResultColumn{c.name, c.type, c.size, c.decimals};
        }
        // A field with the bytes it had in the row before (a namesake, a
        // household size, an amount) gets the value read there.
        std::array<QByteArrayView, kept.size()> lastRaw;
        std::array<QVariant, kept.size()> lastValue;
        bool first = true;
        for (qint64 r = 0; r < dbf.recordCount(); ++r) {
            if (dbf.isDeleted(r) || dbf.rawField(r, code) != QByteArrayView(m_code))
                continue;
            Row row;
            row.record = r;
            row.values.reserve(kept.size());
            for (size_t i = 0; i < kept.size(); ++i) {
                const QByteArrayView raw = dbf.rawField(r, kept[i]);
                if (first || raw != lastRaw[i]) {
                    QVariant v = dbf.value(r, kept[i]);
                    if (columns[qsizetype(i)].type == SqlType::Text && v.toString().isEmpty())
                        v = QVariant(); // blank text is null, as in a query
                    lastRaw[i] = raw;
                    lastValue[i] = std::move(v);
                }
                row.values << lastValue[i];
            }
            first = false;
            rows.push_back(std::move(row));
        }
    }

    // The rows' positions by name, stable; most often the order they came in.
    static std::vector<int> nameOrder(const std::vector<Row> &rows)
    {
        std::vector<int> order(rows.size());
        std::iota(order.begin(), order.end(), 0);
        const auto before = [&rows](int i, int j) {
            const QVariant &x = rows[size_t(i)].values[0], &y = rows[size_t(j)].values[0];
            if (x.isNull() || y.isNull())
                return x.isNull() && !y.isNull();
            const QString a = x.toString(), b = y.toString();
            return a != b && RomanianCollation::compare(a, b) < 0; // namesakes plainly compare equal
        };
        if (!std::is_sorted(order.begin(), order.end(), before))
            std::stable_sort(order.begin(), order.end(), before);
        return order;
    }

    QString m_path;
    QByteArray m_code;
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
