#pragma once

#include "core/TempNames.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <memory>

class ProfileText;
class QComboBox;
class QWidget;
class TQuery;

// The services every form and document uses: folders, settings, temporary
// names, month codes, text checks, resources and table maintenance. It only
// forwards to the small classes that hold the logic.
class TForm1
{
public:
    TForm1();
    ~TForm1();
    TForm1(const TForm1 &) = delete;
    TForm1 &operator=(const TForm1 &) = delete;

    // --- folders (no trailing slash) ---
    QString AppDir() const { return m_appDir; }
    QString DataDir() const { return m_dataDir; }
    QString TempDir() const { return m_tempDir; }
    // The archive opened on the command line; empty when working on a folder.
    QString ArchivePath() const { return m_archivePath; }
    // Points the program at its folders; the temporary names start afresh.
    void setFolders(const QString &appDir, const QString &dataDir, const QString &tempDir);
    void setDataDir(const QString &dataDir);
    void setArchivePath(const QString &path) { m_archivePath = path; }

    // --- temporary files ---
    // <TempDir>/TmpRuva/<prefix><n><extension>: the first name not handed out
    // before in this run whose file is absent or could be deleted. Throws
    // CoreError when none of the thousand names is free.
    QString TempFileName(const QString &prefix, const QString &extension);

    // --- month codes ---
    static int MonthIndex(QStringView text);
    static QString MonthName(int month);

    // --- settings: Tolvard.set in the data folder, Local.set in the program
    // folder, section "92" of the machine-level store ---
    QString ReadSetting(const QString &section, const QString &key) const;
    void WriteSetting(const QString &section, const QString &key, const QString &value) const;
    // Several settings in one rewrite of Tolvard.set: all of them or none.
    void UpdateSettings(const std::function<void(ProfileText &)> &change) const;
    QString ReadLocal(const QString &section, const QString &key) const;
    void WriteLocal(const QString &section, const QString &key, const QString &value) const;
    static QString ReadMachine(const QString &key);
    static void WriteMachine(const QString &key, const QString &value);

    // --- lists ---
    // Appends to the combo box every non-blank distinct value of the field,
    // in the order of the field; the list is not cleared first.
    void FillDistinct(QComboBox *combo, const QString &tablePath, const QString &condition, const QString &field);

    // --- resources ---
    static void ExtractResource(const QString &name, const QString &type, const QString &path);
    // Writes the editable templates the data folder lacks; returns their names.
    QStringList ExtractFiles() const;

    // --- text ---
    static QString CleanText(QStringView text);
    static bool CheckEmail(QStringView text);
    static bool CheckPhone(QStringView text);
    static QString ReplaceAll(const QString &text, const QString &find, const QString &replacement);

    // --- tables ---
    // A bare table name is taken from the data folder (".dbf" added when it has no extension).
    QString TablePath(const QString &nameOrPath) const;
    void PackTable(const QString &nameOrPath) const;
    void RestructureField(const QString &tablePath, const QString &field, int newWidth) const;

    // --- feedback ---
    // The "Problema !" balloon beside the control for 5 seconds.
    static void ShowProblem(const QString &text, QWidget *control);

private:
    QString m_appDir;
    QString m_dataDir;
    QString m_tempDir;
    QString m_archivePath;
    TempNames m_tempNames;
    std::unique_ptr<TQuery> m_query; // the helper routines' shared query
};

// The one instance of the services.
TForm1 &Form1();
