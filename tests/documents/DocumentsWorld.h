#pragma once

#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/NumericF.h"
#include "core/RecordingDialogs.h"
#include "documents/CereriDocuments.h"
#include "documents/RTFReplace.h"
#include "platform/codepage/Cp1250.h"
#include "platform/db/Dbf.h"
#include "tables/RequestTables.h"
#include "platform/shell/RecordingShell.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

inline QApplication &documentsApp()
{
    static int argc = 1;
    static char name[] = "test_documents";
    static char *argv[] = {name, nullptr};
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

// A scratch folder under KESTRUN_TEST_TMP, removed afterwards.
inline std::unique_ptr<QTemporaryDir> documentsScratch(const QString &name)
{
    const QByteArray base = qgetenv("KESTRUN_TEST_TMP");
    const QString root = base.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(base);
    QDir().mkpath(root);
    return std::make_unique<QTemporaryDir>(root + u'/' + name + QStringLiteral("-XXXXXX"));
}

// The office the request documents run in: program, data and temporary
// folders, the administration's settings, a working month, scripted dialogs
// and desktop, and the request list's queries and filler. The shared forms are
// set afresh here, so no test has to put back what it changed.
class DocumentsWorld
{
public:
    // dataName lets a test put awkward characters into the data folder's path.
    explicit DocumentsWorld(const QString &dataName = QStringLiteral("Data"))
        : m_dir(documentsScratch(QStringLiteral("documents"))), m_shellScope(shell)
    {
        documentsApp();
        root = m_dir->path();
        data = root + u'/' + dataName;
        temp = root + QStringLiteral("/Temp");
        QDir().mkpath(data);
        QDir().mkpath(temp);
        Form1().setFolders(root, data, temp);
        resetSharedForms();
        context = {&c1, &sx, &rtf, nullptr};
        docs = std::make_unique<CereriDocuments>(context);
    }

    ~DocumentsWorld() { c1.Close(); sx.Close(); }

    // The administration's settings and the working month every test starts from.
    static void resetSharedForms()
    {
        TForm4 &admin = Form4();
        admin.Localit->setText(QStringLiteral("Răcăciuni"));
        admin.ComboBox1->setCurrentIndex(0);
        admin.JudetC->setCurrentIndex(admin.JudetC->findText(QStringLiteral("BACAU")));
        admin.CodJud->setMaxLength(TForm4::CountyCodeLength);
        admin.CodJud->clear();
        admin.CodFiscal->clear();
        admin.Edit7->setText(QStringLiteral("Ştefan Pătraşcu"));
        admin.SecretarN->setText(QStringLiteral("Ioana Ţurcanu"));
        admin.ContabilN->setText(QStringLiteral("Mirela Bălan"));
        admin.IntocmitN->setText(QStringLiteral("Gheorghiţă Ene"));
        admin.DirectorN->setText(QStringLiteral("Dan Ursache"));
        admin.CuOLE->setChecked(false);
        static const int amounts[] = {320, 294, 267, 240, 214, 187, 160, 134, 107, 80, 80};
        for (int i = 1; i <= TForm4::Brackets; ++i)
            admin.Cu(i)->setText(QString::number(amounts[i - 1]));
        Form3().LunaLucru->setText(QStringLiteral("01.2023"));
    }

    // The templates as the program writes them into the data folder.
    QStringList extractTemplates() const { return Form1().ExtractFiles(); }

    static int month() { return TForm1::MonthIndex(QStringLiteral("01.2023")); }

    // A request of the working month with everything a document reads;
    // the test changes what it is about.
    static QVariantMap request(int nrcrt)
    {
        return {{"NRCRT", nrcrt},           {"LUNACRT", month()},         {"TITULAR", "POPESCU ION"},
                {"CNP", "1800101040011"},    {"LOCALIT", "Răcăciuni"},     {"ADRESA", "Str. Şcolii nr. 3"},
                {"NR_MEMBRI", 2},            {"TVENIT", 1234.5},           {"VENITM", 617.25},
                {"COPII14", 0},              {"COPII18", 0},               {"STCIV", "C"},
                {"SITSCOL", "M"},            {"SITPROF", "pensionar"},     {"CUAJUT", "X"},
                {"CUANTUM", 267.0},          {"NR_LUNI", 3},               {"TOTAL", 801.0},
                {"NR_CERE", nrcrt},          {"DATACERE", QDate(2023, 1, 9)}, {"NR_DISP", QString::number(nrcrt)},
                {"DATADISP", QDate(2023, 1, 16)}, {"NR_REF", nrcrt},       {"STATUT", "APROBAT"},
                {"MODPLATA", "OP"},          {"CONT", "RO49AAAA1B31007593840000"}, {"BANCA", "Banca Ţării"},
                {"SUMAL", 0.0},              {"SUMAG", 0.0},               {"SUMAE", 0.0},
                {"SUMAT", 0.0}};
    }

    static QVariantMap member(int nrcrt, const QString &name, const QString &cnp, const QString &role,
                              double venit = 0)
    {
        return {{"NRCRT", nrcrt}, {"TITULAR", name}, {"CNP", cnp}, {"VENIT", venit}, {"CALITATE", role}};
    }

    void writeTable(const QString &file, const QList<DbfField> &fields, const QList<QVariantMap> &rows) const
    {
        Dbf t = Dbf::create(QDir(data).filePath(file), fields);
        for (const QVariantMap &row : rows) {
            const qint64 rec = t.appendBlank();
            for (auto it = row.begin(); it != row.end(); ++it)
                t.setValue(rec, t.fieldIndex(it.key()), it.value());
        }
        t.close();
    }
    void writeCereri(const QList<QVariantMap> &rows) const
    {
        writeTable(RequestTables::Cereri, RequestTables::cereriFields(), rows);
    }
    void writeOameni(const QList<QVariantMap> &rows) const
    {
        writeTable(RequestTables::Oameni, RequestTables::oameniFields(), rows);
    }

    // The request list on the request: its current row.
    void choose(int nrcrt)
    {
        c1.Close();
        c1.SQL() = QStringList{QStringLiteral("SELECT * FROM ") + SqlQuote::table(QDir(data).filePath(RequestTables::Cereri)),
                               QStringLiteral("WHERE NRCRT=") + QString::number(nrcrt)};
        c1.Open();
        ASSERT_EQ(c1.RecordCount(), 1);
    }

    // Runs the user's actions on a dialog once it is shown modally by the command.
    static void whenShown(const std::function<void()> &user) { QTimer::singleShot(0, user); }

    // The RTF as text (CP1250 decoded), for checks below LibreOffice.
    static QString rtfText(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? Cp1250::decode(f.readAll()) : QString();
    }

    QString lastOpened() const { return shell.openedDocuments.isEmpty() ? QString() : shell.openedDocuments.last(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString root, data, temp;
    RecordingDialogs dialogs;
    RecordingShell shell;
    ScopedShell m_shellScope;
    TQuery c1, sx;
    TRTFReplace rtf;
    DocumentContext context;
    std::unique_ptr<CereriDocuments> docs;
};
