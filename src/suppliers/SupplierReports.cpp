#include "suppliers/SupplierReports.h"

#include "documents/DocumentOpener.h"
#include "core/Contor.h"
#include "core/Erori.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "controls/StyledProgressBar.h"
#include "documents/DocumentValues.h"
#include "documents/ExpXLSOLE.h"
#include "documents/OutputFolder.h"
#include "payments/PaymentValues.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TField.h"
#include "platform/sql/TQuery.h"
#include "suppliers/PostalCodes.h"
#include "suppliers/SelCEZ.h"
#include "suppliers/SelEON.h"
#include "tables/RequestTables.h"
#include "tables/RequestRules.h"
#include "tables/SupplementKinds.h"

#include <QComboBox>
#include <QDir>
#include <QHash>
#include <QLabel>
#include <QLineEdit>

#include <functional>

using namespace DocumentValues;

namespace {

constexpr int kProgressStep = 50;

struct Report
{
    QString title, finalTitle, prompt, subFolder;
};

// What a command reads of the forms before it writes: the office and the working month.
struct Settings
{
    OfficeSettings office;
    int month = 0;    // its code
    QString mm, yyyy; // its "MM" and "YYYY"
};

Settings currentSettings()
{
    const QString month = Form3().LunaLucru->text();
    return {Form4().office(), workingMonth(), month.left(2), month.mid(3, 4)};
}

// The common frame: the folder, the progress window, the workbooks, the message.
void run(const Report &report, const std::function<void(const QString &folder)> &write)
{
    OutputFolder folder({report.title, report.subFolder, report.prompt});
    if (!folder.choose())
        return;
    folder.fill(0, [&write](const QString &work) {
        letWindowsRun();
        write(work);
    });
    TErori::Mesaj(report.finalTitle, QStringLiteral("\rRaportul a fost creat!"), 2, TErori::OK);
    DocumentOpener::openFolder(folder.target());
}

// The granted requests of the month with that supply from the supplier, by
// holder. The names compare trimmed and whatever their letter case.
void selectRequests(TQuery &q, int month, const SupplementKind &kind, const QString &name)
{
    openQuery(q, {QStringLiteral("SELECT *"), QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri)),
                  QStringLiteral("WHERE (LUNACRT=%1)").arg(month),
                  QStringLiteral("AND %1 AND %2>0").arg(RequestRules::approved(), QLatin1String(kind.amount)),
                  QStringLiteral("AND UPPER(TRIM(%1))=").arg(QLatin1String(kind.supplier)) + SqlQuote::literal(name.trimmed().toUpper()),
                  QStringLiteral("ORDER BY TITULAR")});
}

void startProgress(const QString &text, int rows)
{
    TContor &progress = Contor();
    progress.Descr->setText(text);
    progress.Bar->setPosition(0);
    progress.Bar->setMaximum(rows / kProgressStep);
}

using RowValues = std::function<QVariantList(const TDataSet &row, int number)>;

// One row per request from row 2, cell by cell; an empty text leaves the cell empty.
void fillCells(TExpXLSOLE &xls, TQuery &q, const RowValues &values)
{
    int number = 0;
    for (q.First(); !q.Eof(); q.Next()) {
        ++number;
        const QVariantList cells = values(q, number);
        for (int col = 0; col < cells.size(); ++col) {
            const QVariant &v = cells.at(col);
            if (v.isValid() && !(v.typeId() == QMetaType::QString && v.toString().isEmpty()))
                xls.SetCell(number + 1, col + 1, v);
        }
        if (number % kProgressStep == 0)
            Contor().Pas();
    }
}

// Writes one workbook from the template into the folder under that name.
void writeWorkbook(const QString &templateName, const QString &target, const std::function<void(TExpXLSOLE &)> &fill)
{
    TExpXLSOLE &xls = ExpXLSOLE();
    PaymentValues::openTemplate(xls, PaymentValues::resourcePath(templateName));
    fill(xls);
    xls.SaveTo(target);
}

// The first word of a name and the rest after the first blank.
QVariantList nameParts(const QString &full)
{
    const auto parts = splitInline(full);
    return {parts.first, parts.second};
}

// The supplier's report takes the gas and the electricity supplements.
bool isGas(const SupplementKind &kind)
{
    return kind.letter == SupplementKinds::Gas.letter;
}

// The columns an E-ON row reads, found by name once per report rather than
// on every row; postal codes read from the settings once per locality.
class EonRows
{
public:
    EonRows(const SupplementKind &kind, const Settings &s) : m_kind(kind), m_s(s) {}

    QVariantList row(const TDataSet &r)
    {
        if (!m_amount)
            find(r);
        const double amount = m_amount->AsFloat();
        const QString locality = m_locality->AsString();
        QVariantList row{QVariant(), m_s.office.locality, m_disp->AsString(), amount, amount, 0, m_clientCode->AsString()};
        row << nameParts(m_holder->AsString()) << (isGas(m_kind) ? 1010 : 8010) << nameParts(m_titular->AsString());
        row << m_cnp->AsString() << m_s.office.county << postalCode(locality) << locality << QVariant()
            << m_address->AsString() << QVariant() << QVariant() << QVariant() << QVariant() << m_point->AsString()
            << QVariant() << int(m_members->AsFloat()) << m_income->AsString() << m_s.yyyy + m_s.mm;
        return row;
    }

private:
    void find(const TDataSet &r)
    {
        const auto f = [&r](const char *name) { return r.FieldByName(QLatin1String(name)); };
        m_amount = f(m_kind.amount);
        m_locality = f("LOCALIT");
        m_disp = f("NR_DISP");
        m_clientCode = f(m_kind.clientCode);
        m_holder = f(m_kind.holder);
        m_titular = f("TITULAR");
        m_cnp = f("CNP");
        m_address = f("ADRESA");
        m_point = f(m_kind.point);
        m_members = f("NR_MEMBRI");
        m_income = f("VENITM");
    }

    const QString &postalCode(const QString &locality)
    {
        auto it = m_postalCodes.find(locality);
        if (it == m_postalCodes.end())
            it = m_postalCodes.insert(locality, PostalCodes::read(locality));
        return *it;
    }

    const SupplementKind &m_kind;
    const Settings &m_s;
    const TField *m_amount = nullptr, *m_locality = nullptr, *m_disp = nullptr, *m_clientCode = nullptr,
                 *m_holder = nullptr, *m_titular = nullptr, *m_cnp = nullptr, *m_address = nullptr, *m_point = nullptr,
                 *m_members = nullptr, *m_income = nullptr;
    QHash<QString, QString> m_postalCodes;
};

void eonWorkbook(TQuery &q, const Settings &s, const SupplementKind &kind, const QString &supplier, const QString &target)
{
    QueryScope scope(q);
    selectRequests(q, s.month, kind, supplier);
    startProgress(isGas(kind) ? QStringLiteral("Creez Raport Suplimente Gaz...") : QStringLiteral("Creez Raport Suplimente Electrica..."),
                  q.RecordCount());
    EonRows rows(kind, s);
    writeWorkbook(QStringLiteral("EONGaz"), target, [&](TExpXLSOLE &xls) {
        fillCells(xls, q, [&rows](const TDataSet &r, int) { return rows.row(r); });
    });
}

QVariantList cezRow(const TDataSet &r, int number, const QString &fiscalCode)
{
    return {number,
            text(r, "TITULAR"),
            text(r, "CNP"),
            text(r, "LOCALIT"),
            text(r, "ADRESA"),
            QVariant(),
            QVariant(),
            QVariant(),
            QVariant(),
            text(r, SupplementKinds::Electricity.clientCode),
            text(r, SupplementKinds::Electricity.point),
            int(value(r, "NR_MEMBRI")),
            value(r, "TVENIT"),
            text(r, "NR_DISP"),
            value(r, SupplementKinds::Electricity.amount),
            0,
            fiscalCode};
}

} // namespace

namespace SupplierReports {

void FormatEOnGazTgMures1Click()
{
    if (!SelEON().Execute())
        return;
    const QString supplier = SelEON().FurnE->currentText();
    const Settings s = currentSettings();
    run({QStringLiteral("Raport E-ON"), QStringLiteral("Raport E-On Gaz"), QStringLiteral("Alegeti directorul unde punem Raportul E-On"),
         QStringLiteral("EON_RAPORT_LEMNE")},
        [&](const QString &folder) {
            TQuery &q = *Form3().Sx;
            eonWorkbook(q, s, SupplementKinds::Electricity, supplier, QDir(folder).filePath(QStringLiteral("Suplimente_Electrica.xlsx")));
            eonWorkbook(q, s, SupplementKinds::Gas, supplier, QDir(folder).filePath(QStringLiteral("Suplimente_Gaz.xlsx")));
        });
}

void FormatCEZSuplimentElectrica1Click()
{
    if (!SelCEZ().Execute(QStringLiteral("CEZ")))
        return;
    const QString supplier = SelCEZ().FurnE->currentText();
    const Settings s = currentSettings();
    const QString file =
        QStringLiteral("S_EE_%1_%2_%3_%4.xls").arg(s.office.countyCode, SelCEZ().Siruta->text(), s.mm, s.yyyy);
    run({QStringLiteral("Raport CEZ"), QStringLiteral("Raport CEZ"), QStringLiteral("Alegeti directorul unde punem Raportul CEZ"),
         QStringLiteral("CEZ_RAPORT_LEMNE_SE")},
        [&](const QString &folder) {
            TQuery &q = *Form3().Sx;
            QueryScope scope(q);
            selectRequests(q, s.month, SupplementKinds::Electricity, supplier);
            startProgress(QStringLiteral("Creez Raport CEZ - Suplimente Electrica..."), q.RecordCount());
            writeWorkbook(QStringLiteral("CEZ"), QDir(folder).filePath(file), [&](TExpXLSOLE &xls) {
                fillCells(xls, q, [&s](const TDataSet &r, int number) { return cezRow(r, number, s.office.fiscalCode); });
            });
        });
}

void FormatPremierEnergy1Click()
{
    if (!SelCEZ().Execute(QStringLiteral("PREMIER")))
        return;
    const QString supplier = SelCEZ().FurnE->currentText();
    const Settings s = currentSettings();
    const QString file = QStringLiteral("S_EE_%1_%2_%3.xlsx").arg(SelCEZ().Siruta->text(), s.mm, s.yyyy);
    run({QStringLiteral("Raport Premier Energy"), QStringLiteral("Raport Premier Energy"),
         QStringLiteral("Alegeti directorul unde punem Raportul Premier Energy"),
         QStringLiteral("PREMIER_RAPORT_LEMNE_SE_%1_%2").arg(s.mm, s.yyyy)},
        [&](const QString &folder) {
            TQuery &q = *Form3().Sx;
            QueryScope scope(q);
            selectRequests(q, s.month, SupplementKinds::Electricity, supplier);
            startProgress(QStringLiteral("Creez Raport Premier E.- Suplimente Electrica..."), 0);
            writeWorkbook(QStringLiteral("PREMIER"), QDir(folder).filePath(file), [&](TExpXLSOLE &xls) {
                xls.ReplaceTag(QStringLiteral("[CIF]"), s.office.fiscalCode);
                xls.BlankValue = QStringLiteral("0");
                xls.FillFromDataSet(q);
            });
        });
}

void install(TForm3 &window)
{
    const auto add = [&window](const QString &caption, void (*command)()) {
        window.addCommand(TForm3::Menu::Furnizori, caption, [&window, command] { window.runReport(command); });
    };
    add(QStringLiteral("Format E-On Gaz Tg.Mures"), &FormatEOnGazTgMures1Click);
    add(QStringLiteral("Format CEZ - Supliment Electrica"), &FormatCEZSuplimentElectrica1Click);
    add(QStringLiteral("Format Premier Energy - Supliment Electrica"), &FormatPremierEnergy1Click);
}

} // namespace SupplierReports
