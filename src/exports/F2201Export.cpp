#include "exports/F2201Export.h"

#include "core/Age.h"
#include "core/Cnp.h"
#include "core/Contor.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "controls/StyledProgressBar.h"
#include "exports/XmlOut.h"
#include "tables/RequestTables.h"
#include "platform/shell/Shell.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QUrl>

#include <cmath>

namespace {

const QString Namespace = QStringLiteral("mfp:anaf:dgti:primarii:formulare:v1");
// At most this many codes are named in the final message; the rest are counted.
constexpr int ListedCodes = 20;

void run(TQuery &query, const QStringList &lines)
{
    query.Close();
    query.SQL() = lines;
    query.ExecSQL();
}

QString finalMessage(const QStringList &unknownBirth)
{
    QString text = QStringLiteral("\rXML a fost creat!\rIncarcati-l in DuckIntegrator!");
    if (unknownBirth.isEmpty())
        return text;
    text += QStringLiteral("\r\rCoduri numerice personale a caror data a nasterii nu exista in calendar (persoanele "
                           "au fost trecute ca majore, cu data nasterii necunoscuta):");
    for (qsizetype i = 0; i < unknownBirth.size() && i < ListedCodes; ++i)
        text += u'\r' + unknownBirth[i];
    if (unknownBirth.size() > ListedCodes)
        text += QStringLiteral("\r... si inca %1").arg(unknownBirth.size() - ListedCodes);
    return text;
}

} // namespace

void F2201Export::selectPersons(TQuery &query, const QString &table, const QString &dataDir, int monthCode)
{
    const QString persons = SqlQuote::table(table);
    const QString cereri = SqlQuote::table(QDir(dataDir).filePath(RequestTables::Cereri));
    const QString oameni = SqlQuote::table(QDir(dataDir).filePath(RequestTables::Oameni));
    const QString month = QString::number(monthCode);
    const QString columns = QStringLiteral("(TITULAR, CNP, NR_CERE, DATACERE)");
    run(query, {QStringLiteral("CREATE TABLE ") + persons,
                QStringLiteral("(TITULAR CHAR(32), CNP CHAR(13), NR_CERE\tDECIMAL(10,0), DATACERE\tDATE)")});
    run(query, {QStringLiteral("INSERT INTO ") + persons, columns, QStringLiteral("SELECT TITULAR, CNP, NR_CERE, DATACERE"),
                QStringLiteral("FROM ") + cereri, QStringLiteral("WHERE LUNACRT=") + month, QStringLiteral("AND ") + RequestRules::approved()});
    run(query, {QStringLiteral("INSERT INTO ") + persons, columns,
                QStringLiteral("SELECT A.TITULAR, A.CNP, B.NR_CERE, B.DATACERE"), QStringLiteral("FROM ") + oameni + " A",
                QStringLiteral("JOIN ") + cereri + " B", QStringLiteral("  ON A.NRCRT=B.NRCRT"),
                QStringLiteral("WHERE B.LUNACRT=") + month, QStringLiteral("AND ") + RequestRules::approved(QStringLiteral("B"))});
    query.SQL() = QStringList{QStringLiteral("SELECT TITULAR, CNP, MAX(NR_CERE) AS NR_CERE, MAX(DATACERE) AS DATACERE"),
                              QStringLiteral("FROM ") + persons, QStringLiteral("GROUP BY TITULAR, CNP"),
                              QStringLiteral("ORDER BY TITULAR")};
}

bool F2201Export::isExported(const QDate &born, const QDate &today)
{
    return !born.isValid() || Age::anniversary(born, 18) < today;
}

qint64 F2201Export::firstRequestId(const QDateTime &now)
{
    const double days = QDate(1899, 12, 30).daysTo(now.date()) + now.time().msecsSinceStartOfDay() / 86400000.0;
    return qint64(std::floor((days - 2017) * 10000000.0)) + 1;
}

QString F2201Export::schemaLocation(const QString &folder)
{
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + QStringLiteral("/F2201_1.xsd");
    return Namespace + QStringLiteral(" file:") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}

F2201Export::F2201Export(const QString &folder, const QString &fiscalCode, const QDateTime &now)
    : m_folder(folder), m_fiscalCode(fiscalCode), m_requestId(firstRequestId(now) - 1)
{
    m_buffer.setBuffer(&m_bytes);
    StartF2201Document();
}

F2201Export::~F2201Export() = default;

void F2201Export::StartF2201Document()
{
    ++m_requestId;
    m_doc.reset();
    m_buffer.close();
    m_bytes.clear();
    m_buffer.open(QIODevice::WriteOnly);
    m_doc = std::make_unique<XmlOut>(&m_buffer);
    XmlOut &x = *m_doc;
    x.declaration("utf-8");
    x.start(QStringLiteral("F2201"));
    x.attr(QStringLiteral("xmlns"), Namespace);
    x.attr(QStringLiteral("xmlns:xsi"), QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"));
    x.attr(QStringLiteral("xsi:schemaLocation"), schemaLocation(m_folder));
    x.attr(QStringLiteral("Req_id"), m_requestId);
    x.attr(QStringLiteral("Cui_primarie"), m_fiscalCode);
    x.attr(QStringLiteral("Data_creare_mesaj"),
           QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("yyyyMMddHHmm")));
}

void F2201Export::saveDocument()
{
    m_doc->finish();
    ++m_fileCounter;
    m_files.add(QDir(m_folder).filePath(QStringLiteral("F2201_%1.xml").arg(m_fileCounter)), m_bytes);
}

QStringList F2201Export::writePersons(TQuery &persons, const QDate &today)
{
    TField *cnp = persons.FieldByName(QStringLiteral("CNP"));
    TField *nrCere = persons.FieldByName(QStringLiteral("NR_CERE"));
    TField *dataCere = persons.FieldByName(QStringLiteral("DATACERE"));
    QStringList unknownBirth;
    int position = 1;
    for (persons.First(); !persons.Eof(); persons.Next()) {
        if (position % SplitAt == 0) {
            saveDocument();
            StartF2201Document();
        }
        const QString code = cnp->AsString();
        const QDate born = Cnp::birthDate(code, today);
        // A code whose digits form no date is exported as of unknown birth, and named at the end.
        if (!born.isValid() && Cnp::hasDateDigits(code) && !unknownBirth.contains(code))
            unknownBirth.append(code);
        if (isExported(born, today)) {
            XmlOut &x = *m_doc;
            x.start(QStringLiteral("persoane"));
            x.attr(QStringLiteral("cif"), code);
            x.attr(QStringLiteral("motiv"), QStringLiteral("2"));
            x.attr(QStringLiteral("nr_dosar"), nrCere->AsString());
            x.attr(QStringLiteral("data_dosar"), dataCere->AsString());
            x.attr(QStringLiteral("banci"), QStringLiteral("0"));
            x.attr(QStringLiteral("venituri_cu_sume"), QStringLiteral("1"));
            x.attr(QStringLiteral("venituri_fara_sume"), QStringLiteral("0"));
            x.attr(QStringLiteral("bunuri"), QStringLiteral("1"));
            x.end();
        }
        if (++position % 10 == 0)
            Contor().Pas();
    }
    return unknownBirth;
}

void F2201Export::FormularulF2201ANAFXML1Click()
{
    if (!Form4().VerificaSetari())
        return;
    TForm3 &w = Form3();
    const QString table = Form1().TempFileName(QStringLiteral("Om"), QStringLiteral(".dbf"));
    const auto cleanup = qScopeGuard([&w, &table] {
        Contor().Stop();
        w.resetShared();
        QFile::remove(table);
    });
    selectPersons(*w.Sx, table, Form1().DataDir(), TForm1::MonthIndex(w.LunaLucru->text()));
    w.Sx->Open();
    if (w.Sx->IsEmpty()) {
        TErori::Mesaj(QStringLiteral("F 2201"), QStringLiteral("\rNu aveti nicio persoana pe luna curenta!"), 1, TErori::OK);
        return;
    }
    const QString folder = Shell::instance().chooseFolder(QStringLiteral("Alegeti directorul unde punem Raportul"), QString());
    if (folder.isEmpty())
        return;
    Contor().Descr->setText(QStringLiteral("Generez XML-ul..."));
    Contor().Bar->setMaximum(w.Sx->RecordCount() / 10);
    Contor().Start();
    const QDateTime now = QDateTime::currentDateTime();
    F2201Export files(folder, Form4().CodFiscal->text(), now);
    const QStringList unknownBirth = files.writePersons(*w.Sx, now.date());
    files.saveDocument();
    // All files or none: a failure leaves no set of new and old files mixed.
    files.commit();
    Contor().Stop();
    TErori::Mesaj(QStringLiteral("ANAF F2201"), finalMessage(unknownBirth), 2, TErori::OK);
}
