#include "TestSupport.h"

#include "core/CoreError.h"
#include "core/Form1.h"
#include "core/TempNames.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

TEST(TempNames, CountsUpFromZeroAndNeverRepeatsInARun)
{
    auto dir = scratchDir();
    TempNames names(dir->path() + QStringLiteral("/TmpRuva"));
    const QString first = names.next(QStringLiteral("Anx2"), QStringLiteral(".xls"));
    EXPECT_EQ(first, dir->path() + QStringLiteral("/TmpRuva/Anx20.xls"));
    EXPECT_TRUE(QFileInfo(dir->path() + QStringLiteral("/TmpRuva")).isDir());
    // The caller never created the file, so it "could be reused" - but a viewer
    // may still hold it open: the next name must differ.
    EXPECT_EQ(names.next(QStringLiteral("Anx2"), QStringLiteral(".xls")), dir->path() + QStringLiteral("/TmpRuva/Anx21.xls"));
    // Another prefix counts on its own.
    EXPECT_EQ(names.next(QStringLiteral("Om"), QStringLiteral(".dbf")), dir->path() + QStringLiteral("/TmpRuva/Om0.dbf"));
}

TEST(TempNames, LeftoversOfAnEarlierRunAreDeletedAndReused)
{
    auto dir = scratchDir();
    const QString folder = dir->path() + QStringLiteral("/TmpRuva");
    QDir().mkpath(folder);
    writeBytes(folder + QStringLiteral("/FisaV0.rtf"), "old");
    TempNames names(folder);
    const QString name = names.next(QStringLiteral("FisaV"), QStringLiteral(".rtf"));
    EXPECT_EQ(name, folder + QStringLiteral("/FisaV0.rtf"));
    EXPECT_FALSE(QFileInfo::exists(name));
}

TEST(TempNames, SkipsNamesThatCannotBeDeleted)
{
    auto dir = scratchDir();
    const QString folder = dir->path() + QStringLiteral("/TmpRuva");
    // A folder of that name cannot be deleted as a file.
    QDir().mkpath(folder + QStringLiteral("/X0.txt"));
    TempNames names(folder);
    EXPECT_EQ(names.next(QStringLiteral("X"), QStringLiteral(".txt")), folder + QStringLiteral("/X1.txt"));
}

void holdOpen(const QString &folder, const QString &name)
{
    writeBytes(folder + QStringLiteral("/.~lock.") + name + u'#', "lock");
}

TEST(TempNames, OnceAllThousandAreSpentTheOldestNotHeldOpenIsReused)
{
    auto dir = scratchDir();
    TempNames names(dir->path());
    for (int i = 0; i < TempNames::Limit; ++i)
        ASSERT_FALSE(names.next(QStringLiteral("P"), QStringLiteral(".tmp")).isEmpty());
    // P0 is still open in the office suite; P1 was written and closed.
    holdOpen(dir->path(), QStringLiteral("P0.tmp"));
    writeBytes(dir->path() + QStringLiteral("/P1.tmp"), "old document");
    EXPECT_EQ(names.next(QStringLiteral("P"), QStringLiteral(".tmp")), dir->path() + QStringLiteral("/P1.tmp"));
    EXPECT_FALSE(QFileInfo::exists(dir->path() + QStringLiteral("/P1.tmp")));
    // P1 is now the newest, so the next turn falls to P2.
    EXPECT_EQ(names.next(QStringLiteral("P"), QStringLiteral(".tmp")), dir->path() + QStringLiteral("/P2.tmp"));
}

TEST(TempFileName, AnEmptyNameIsAnErrorForTheCaller)
{
    auto dir = scratchDir();
    TForm1 form;
    form.setFolders(dir->path(), dir->path() + QStringLiteral("/Data"), dir->path() + QStringLiteral("/Temp"));
    const QString folder = dir->path() + QStringLiteral("/Temp/TmpRuva");
    const QString first = form.TempFileName(QStringLiteral("Referat"), QStringLiteral(".rtf"));
    EXPECT_EQ(first, folder + QStringLiteral("/Referat0.rtf"));
    for (int i = 1; i < TempNames::Limit; ++i)
        form.TempFileName(QStringLiteral("Referat"), QStringLiteral(".rtf"));
    for (int i = 0; i < TempNames::Limit; ++i)
        holdOpen(folder, QStringLiteral("Referat%1.rtf").arg(i));
    EXPECT_THROW(form.TempFileName(QStringLiteral("Referat"), QStringLiteral(".rtf")), CoreError);
}

} // namespace
