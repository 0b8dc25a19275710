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
#include "platform/sql/TQuery.h"
#include "suppliers/PostalCodes.h"
#include "suppliers/SelCEZ.h"
#include "suppliers/SelEON.h"
#include "tables/RequestTables.h"
#include "tables/RequestRules.h"
#include "tables/SupplementKinds.h"

#include <QComboBox>
#include <QDir>
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

QVariantList eonRow(const TDataSet &r, const SupplementKind &kind, const Settings &s)
{
    const double amount = value(r, kind.amount);
    const QString locality = text(r, "LOCALIT");
    QVariantList row{QVariant(), s.office.locality, text(r, "NR_DISP"), amount, amount, 0, text(r, kind.clientCode)};
    row << nameParts(text(r, kind.holder)) << (isGas(kind) ? 1010 : 8010) << nameParts(text(r, "TITULAR"));
    row << text(r, "CNP") << s.office.county << PostalCodes::read(locality) << locality << QVariant()
        << text(r, "ADRESA") << QVariant() << QVariant() << QVariant() << QVariant() << text(r, kind.point)
        << QVariant() << int(value(r, "NR_MEMBRI")) << text(r, "VENITM") << s.yyyy + s.mm;
    return row;
}

void eonWorkbook(TQuery &q, const Settings &s, const SupplementKind &kind, const QString &supplier, const QString &target)
{
    QueryScope scope(q);
    selectRequests(q, s.month, kind, supplier);
    startProgress(isGas(kind) ? QStringLiteral("Creez Raport Suplimente Gaz...") : QStringLiteral("Creez Raport Suplimente Electrica..."),
                  q.RecordCount());
    writeWorkbook(QStringLiteral("EONGaz"), target, [&](TExpXLSOLE &xls) {
        fillCells(xls, q, [&kind, &s](const TDataSet &r, int) { return eonRow(r, kind, s); });
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
