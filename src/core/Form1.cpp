#include "core/Form1.h"

#include "core/CoreError.h"
#include "core/Dialogs.h"
#include "core/MonthCode.h"
#include "core/ResourceStore.h"
#include "core/TextChecks.h"
#include "platform/db/Dbf.h"
#include "platform/profile/AppFolders.h"
#include "platform/profile/ProfileFile.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

TForm1::TForm1() : m_query(std::make_unique<TQuery>()) {}

TForm1::~TForm1() = default;

TForm1 &Form1()
{
    static TForm1 instance;
    return instance;
}

void TForm1::setFolders(const QString &appDir, const QString &dataDir, const QString &tempDir)
{
    m_appDir = appDir;
    m_dataDir = dataDir;
    m_tempDir = tempDir;
    m_tempNames = TempNames(tempDir + QStringLiteral("/TmpRuva"));
}

void TForm1::setDataDir(const QString &dataDir)
{
    m_dataDir = dataDir;
}

QString TForm1::TempFileName(const QString &prefix, const QString &extension)
{
    const QString name = m_tempNames.next(prefix, extension);
    if (name.isEmpty())
        throw CoreError(QStringLiteral("Nu gasesc un nume liber pentru un fisier temporar %1*%2 in %3.")
                            .arg(prefix, extension, QDir::toNativeSeparators(m_tempNames.folder())));
    return name;
}

int TForm1::MonthIndex(QStringView text)
{
    return MonthCode::index(text);
}

QString TForm1::MonthName(int month)
{
    return MonthCode::name(month);
}

QString TForm1::ReadSetting(const QString &section, const QString &key) const
{
    return ProfileFile(AppFolders::settingsPath(m_dataDir)).read(section, key);
}

void TForm1::WriteSetting(const QString &section, const QString &key, const QString &value) const
{
    ProfileFile(AppFolders::settingsPath(m_dataDir)).write(section, key, value);
}

void TForm1::UpdateSettings(const std::function<void(ProfileText &)> &change) const
{
    ProfileFile(AppFolders::settingsPath(m_dataDir)).update(change);
}

QString TForm1::ReadLocal(const QString &section, const QString &key) const
{
    return ProfileFile(m_appDir + u'/' + AppFolders::LocalFile).read(section, key);
}

void TForm1::WriteLocal(const QString &section, const QString &key, const QString &value) const
{
    ProfileFile(m_appDir + u'/' + AppFolders::LocalFile).write(section, key, value);
}

QString TForm1::ReadMachine(const QString &key)
{
    return ProfileFile(AppFolders::machineStorePath()).read(AppFolders::MachineSection, key);
}

void TForm1::WriteMachine(const QString &key, const QString &value)
{
    ProfileFile(AppFolders::machineStorePath()).write(AppFolders::MachineSection, key, value);
}

void TForm1::FillDistinct(QComboBox *combo, const QString &tablePath, const QString &condition, const QString &field)
{
    TQuery &q = *m_query;
    q.Close();
    q.SQL().clear();
    q.SQL() << QStringLiteral("SELECT DISTINCT ") + field << QStringLiteral("FROM ") + SqlQuote::table(tablePath);
    if (!condition.trimmed().isEmpty())
        q.SQL() << QStringLiteral("WHERE ") + condition;
    q.SQL() << QStringLiteral("ORDER BY ") + field;
    q.Open();
    for (q.First(); !q.Eof(); q.Next()) {
        const QString value = q.Fields().at(0)->AsString();
        if (!value.trimmed().isEmpty())
            combo->addItem(value);
    }
    q.Close();
}

void TForm1::ExtractResource(const QString &name, const QString &type, const QString &path)
{
    ResourceStore::extract(name, type, path);
}

QStringList TForm1::ExtractFiles() const
{
    return ResourceStore::extractMissing(m_dataDir);
}

QString TForm1::CleanText(QStringView text)
{
    return TextChecks::cleanText(text);
}

bool TForm1::CheckEmail(QStringView text)
{
    return TextChecks::checkEmail(text);
}

bool TForm1::CheckPhone(QStringView text)
{
    return TextChecks::checkPhone(text);
}

QString TForm1::ReplaceAll(const QString &text, const QString &find, const QString &replacement)
{
    return TextChecks::replaceAll(text, find, replacement);
}

QString TForm1::TablePath(const QString &nameOrPath) const
{
    QString path = nameOrPath;
    if (QFileInfo(path).isRelative())
        path = m_dataDir + u'/' + path;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".dbf");
    return Dbf::resolve(path);
}

void TForm1::PackTable(const QString &nameOrPath) const
{
    Dbf::pack(TablePath(nameOrPath));
}

void TForm1::RestructureField(const QString &tablePath, const QString &field, int newWidth) const
{
    Dbf::widenCharField(TablePath(tablePath), field, newWidth);
}

void TForm1::ShowProblem(const QString &text, QWidget *control)
{
    Dialogs::instance().showBalloon(control, QStringLiteral("Problema !"), text, 5000);
}
