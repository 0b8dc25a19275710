#include "platform/shell/RecordingShell.h"
#include "platform/shell/Shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ShellDelete : public testing::Test
{
protected:
    void SetUp() override
    {
        const QString base = qEnvironmentVariable("KESTRUN_TEST_TMP", QDir::tempPath());
        QDir().mkpath(base);
        dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/shell-XXXXXX"));
        ASSERT_TRUE(dir->isValid());
    }

    QString p(const QString &rel) const { return dir->filePath(rel); }

    void file(const QString &rel)
    {
        QDir().mkpath(QFileInfo(p(rel)).absolutePath());
        QFile f(p(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }

    std::unique_ptr<QTemporaryDir> dir;
};

TEST_F(ShellDelete, RemovesFilesAndWholeTrees)
{
    file(QStringLiteral("Raport/a.xls"));
    file(QStringLiteral("Raport/sub/.ascuns"));
    file(QStringLiteral("Raport/sub/adanc/b.csv"));
    file(QStringLiteral("single.rtf"));
    EXPECT_TRUE(Shell::removePath(p(QStringLiteral("Raport"))));
    EXPECT_FALSE(QFileInfo::exists(p(QStringLiteral("Raport"))));
    EXPECT_TRUE(Shell::removePath(p(QStringLiteral("single.rtf"))));
    EXPECT_FALSE(QFileInfo::exists(p(QStringLiteral("single.rtf"))));
    // Nothing there is nothing left.
    EXPECT_TRUE(Shell::removePath(p(QStringLiteral("never-was"))));
}

// A link inside or at the top of the tree goes, what it points at stays.
TEST_F(ShellDelete, LinksAreRemovedNotFollowed)
{
    file(QStringLiteral("keep/important.dbf"));
    QDir().mkpath(p(QStringLiteral("tree")));
    ASSERT_TRUE(QFile::link(p(QStringLiteral("keep")), p(QStringLiteral("tree/inner"))));
    ASSERT_TRUE(QFile::link(p(QStringLiteral("keep")), p(QStringLiteral("top"))));

    EXPECT_TRUE(Shell::removePath(p(QStringLiteral("top"))));
    EXPECT_FALSE(QFileInfo(p(QStringLiteral("top"))).isSymLink());
    EXPECT_TRUE(Shell::removePath(p(QStringLiteral("tree"))));
    EXPECT_FALSE(QFileInfo::exists(p(QStringLiteral("tree"))));
    EXPECT_TRUE(QFileInfo::exists(p(QStringLiteral("keep/important.dbf"))));
}

// An empty path means the current folder to QDir; the root and the home
// folder are never what a command meant to delete.
TEST_F(ShellDelete, RefusesPathsThatMeanTooMuch)
{
    const QByteArray oldHome = qgetenv("HOME");
    const QString oldCwd = QDir::currentPath();
    qputenv("HOME", QFile::encodeName(dir->path()));
    QDir::setCurrent(dir->path());
    file(QStringLiteral("Data/Cereri.dbf"));

    const struct { const char *name; QString path; } rows[] = {
        {"empty", QString()},
        {"blank", QStringLiteral("  ")},
        {"root", QStringLiteral("/")},
        {"root_spelt_long", QStringLiteral("/tmp/..")},
        {"home", dir->path()},
        {"home_with_slash", dir->path() + QStringLiteral("/")},
        {"home_relative", QStringLiteral(".")},
    };
    for (const auto &r : rows)
        EXPECT_FALSE(Shell::removePath(r.path)) << r.name;
    EXPECT_TRUE(QFileInfo::exists(p(QStringLiteral("Data/Cereri.dbf"))));

    QDir::setCurrent(oldCwd);
    qputenv("HOME", oldHome);
}

TEST(Shell, RealShellOpensNothingThatIsNotThere)
{
    Shell real;
    EXPECT_FALSE(real.openDocument(QString()));
    EXPECT_FALSE(real.openDocument(QStringLiteral("/nu/exista/Dispozitie.rtf")));
    EXPECT_FALSE(real.openFolder(QStringLiteral("/nu/exista")));
}

TEST(Shell, ScriptedShellStandsInAndIsRemoved)
{
    ShellInterface *real = &Shell::instance();
    RecordingShell rec;
    rec.chooseAnswers = {QStringLiteral("/tmp/iesire")};
    rec.reallyDelete = false;
    rec.deleteAnswer = false;
    {
        ScopedShell scope(rec);
        {
            // A nested stand-in gives the outer one back when it ends.
            RecordingShell inner;
            ScopedShell nested(inner);
            EXPECT_EQ(&Shell::instance(), &inner);
        }
        ShellInterface &sh = Shell::instance();
        EXPECT_EQ(&sh, &rec);
        EXPECT_EQ(sh.chooseFolder(QStringLiteral("Alegeti directorul unde punem Raportul"), QStringLiteral("/home")),
                  QStringLiteral("/tmp/iesire"));
        // The queue is used up: the next choice is a cancel.
        EXPECT_EQ(sh.chooseFolder(QStringLiteral("Alt prompt"), QString()), QString());
        EXPECT_TRUE(sh.openDocument(QStringLiteral("/tmp/iesire/a.rtf")));
        EXPECT_TRUE(sh.openFolder(QStringLiteral("/tmp/iesire")));
        EXPECT_FALSE(sh.deleteTree(QStringLiteral("/tmp/iesire/Trezorerie")));
    }
    EXPECT_EQ(&Shell::instance(), real);
    EXPECT_EQ(rec.prompts, (QStringList{"Alegeti directorul unde punem Raportul", "Alt prompt"}));
    EXPECT_EQ(rec.promptStarts, (QStringList{"/home", ""}));
    EXPECT_EQ(rec.openedDocuments, QStringList{"/tmp/iesire/a.rtf"});
    EXPECT_EQ(rec.openedFolders, QStringList{"/tmp/iesire"});
    EXPECT_EQ(rec.deleted, QStringList{"/tmp/iesire/Trezorerie"});
}

} // namespace
