#include "platform/profile/AppFolders.h"
#include "platform/profile/ProfileError.h"
#include "platform/profile/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class ProfileFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(qEnvironmentVariable("KESTRUN_TEST_TMP", QDir::tempPath()));
        dir = std::make_unique<QTemporaryDir>(qEnvironmentVariable("KESTRUN_TEST_TMP", QDir::tempPath())
                                              + QStringLiteral("/profile-XXXXXX"));
        ASSERT_TRUE(dir->isValid());
    }

    QString path(const QString &name) const { return dir->filePath(name); }

    static QByteArray bytes(const QString &p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void put(const QString &p, const QByteArray &b)
    {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(b);
    }

    static quint64 inode(const QString &p)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(p).constData(), &st) == 0 ? st.st_ino : 0;
    }

    std::unique_ptr<QTemporaryDir> dir;
};

TEST_F(ProfileFileTest, MissingFileReadsEmptyAndFirstWriteCreatesFolderAndFile)
{
    const QString p = path(QStringLiteral("a/b/Tolvard.set"));
    ProfileFile f(p);
    EXPECT_EQ(f.read(QStringLiteral("SETARI"), QStringLiteral("Localitate")), QString());
    EXPECT_EQ(f.read(QStringLiteral("SETARI"), QStringLiteral("Localitate"), QStringLiteral("x")), QStringLiteral("x"));
    EXPECT_TRUE(f.sections().isEmpty());
    EXPECT_FALSE(QFile::exists(p)); // reading creates nothing

    f.write(QStringLiteral("SETARI"), QStringLiteral("Localitate"), QStringLiteral(u"Răcăciuni"));
    EXPECT_EQ(bytes(p), QByteArray("[SETARI]\r\nLocalitate=R\xE3\x63\xE3\x63iuni\r\n"));
    EXPECT_EQ(ProfileFile(p).read(QStringLiteral("setari"), QStringLiteral("LOCALITATE")), QStringLiteral(u"Răcăciuni"));
}

TEST_F(ProfileFileTest, ReadAfterWriteGivesWhatTheFileHolds)
{
    // Letters with comma below are stored with the cedilla the code page has;
    // a read in the same run must give what a read after a restart gives.
    const QString p = path(QStringLiteral("Tolvard.set"));
    ProfileFile(p).write(QStringLiteral("SETARI"), QStringLiteral("Judet"), QStringLiteral(u"Ștefănești 中"));
    EXPECT_EQ(bytes(p), QByteArray("[SETARI]\r\nJudet=\xAAtef\xE3ne\xBAti ?\r\n"));
    EXPECT_EQ(ProfileFile(p).read(QStringLiteral("SETARI"), QStringLiteral("Judet")), QStringLiteral(u"Ştefăneşti ?"));
}

TEST_F(ProfileFileTest, WriteReplacesTheFileByRenameAndLeavesNoTemporary)
{
    const QString p = path(QStringLiteral("Tolvard.set"));
    put(p, "[INDEX]\r\nNRCRT=1\r\n");
    const quint64 before = inode(p);
    ProfileFile f(p);
    f.write(QStringLiteral("INDEX"), QStringLiteral("NRCRT"), QStringLiteral("2"));
    EXPECT_NE(inode(p), before);
    EXPECT_EQ(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Tolvard.set")});
}

// Another program (another workstation on a shared folder) may change the file
// between two reads; the cache must not hide that, even within one clock tick
// and at the same size.
TEST_F(ProfileFileTest, ReadsSeeChangesMadeBehindTheirBack)
{
    const QString p = path(QStringLiteral("Tolvard.set"));
    ProfileFile reader(p);
    EXPECT_EQ(reader.read(QStringLiteral("INDEX"), QStringLiteral("NRCRT")), QString());

    ProfileFile writer(p);
    writer.write(QStringLiteral("INDEX"), QStringLiteral("NRCRT"), QStringLiteral("5"));
    EXPECT_EQ(reader.read(QStringLiteral("INDEX"), QStringLiteral("NRCRT")), QStringLiteral("5"));
    writer.write(QStringLiteral("INDEX"), QStringLiteral("NRCRT"), QStringLiteral("6"));
    EXPECT_EQ(reader.read(QStringLiteral("INDEX"), QStringLiteral("NRCRT")), QStringLiteral("6"));

    // The reader's own write starts from the file as it is now, keeping the other key.
    writer.write(QStringLiteral("INDEX"), QStringLiteral("NROM"), QStringLiteral("3"));
    reader.write(QStringLiteral("INDEX"), QStringLiteral("NRCRT"), QStringLiteral("7"));
    EXPECT_EQ(bytes(p), QByteArray("[INDEX]\r\nNRCRT=7\r\nNROM=3\r\n"));

    QFile::remove(p);
    EXPECT_EQ(reader.read(QStringLiteral("INDEX"), QStringLiteral("NRCRT")), QString());
}

TEST_F(ProfileFileTest, UpdateWritesSeveralKeysAtOnceOrNone)
{
    const QString p = path(QStringLiteral("Tolvard.set"));
    put(p, "; note\n[INDEX]\nNRCRT=7\n");
    ProfileFile f(p);
    f.update([](ProfileText &t) {
        t.setValue(QStringLiteral("index"), QStringLiteral("nrcrt"), QStringLiteral("8"));
        t.setValue(QStringLiteral("SETARI"), QStringLiteral("Judet"), QStringLiteral("Vaslui"));
    });
    EXPECT_EQ(bytes(p), QByteArray("; note\r\n[INDEX]\r\nNRCRT=8\r\n[SETARI]\r\nJudet=Vaslui\r\n"));

    // A change that fails half way writes nothing.
    const quint64 before = inode(p);
    EXPECT_THROW(f.update([](ProfileText &t) {
        t.setValue(QStringLiteral("INDEX"), QStringLiteral("NRCRT"), QStringLiteral("9"));
        t.setValue(QStringLiteral("INDEX"), QStringLiteral("[bad"), QStringLiteral("1"));
    }),
                 ProfileError);
    EXPECT_EQ(inode(p), before);
    EXPECT_EQ(f.read(QStringLiteral("INDEX"), QStringLiteral("NRCRT")), QStringLiteral("8"));
}

TEST_F(ProfileFileTest, RemoveKeyRewritesOnlyWhenSomethingGoes)
{
    const QString p = path(QStringLiteral("Local.set"));
    put(p, "[S]\nA=1\nB=2\n");
    const quint64 before = inode(p);
    ProfileFile f(p);
    f.removeKey(QStringLiteral("S"), QStringLiteral("C"));
    EXPECT_EQ(inode(p), before);
    f.removeKey(QStringLiteral("s"), QStringLiteral("a"));
    EXPECT_EQ(bytes(p), QByteArray("[S]\r\nB=2\r\n"));
    EXPECT_EQ(f.keys(QStringLiteral("S")), QStringList{QStringLiteral("B")});
}

TEST_F(ProfileFileTest, OversizedFileIsRefusedAndLeftAlone)
{
    const QString p = path(QStringLiteral("GMT.dII"));
    QByteArray big("[92]\r\n");
    big += QByteArray(ProfileFile::MaxSize, 'x');
    put(p, big);
    ProfileFile f(p);
    EXPECT_THROW(f.read(QStringLiteral("92"), QStringLiteral("Server")), ProfileError);
    EXPECT_THROW(f.write(QStringLiteral("92"), QStringLiteral("Server"), QStringLiteral("/srv")), ProfileError);
    EXPECT_EQ(QFileInfo(p).size(), big.size());
}

TEST_F(ProfileFileTest, UnwritablePlaceThrowsAndWritesNothing)
{
    // A file stands where the folder should be, so neither folder nor file can be made.
    put(path(QStringLiteral("Data")), "not a folder");
    ProfileFile f(path(QStringLiteral("Data/Tolvard.set")));
    try {
        f.write(QStringLiteral("SETARI"), QStringLiteral("Localitate"), QStringLiteral("x"));
        FAIL() << "no error";
    } catch (const ProfileError &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("Data")));
    }
    EXPECT_EQ(bytes(path(QStringLiteral("Data"))), QByteArray("not a folder"));
}

TEST_F(ProfileFileTest, ManyKeysKeepTheirOrder)
{
    const QString p = path(QStringLiteral("Tolvard.set"));
    ProfileFile f(p);
    QStringList expected;
    for (int i = 1; i <= 11; ++i) {
        f.write(QStringLiteral("CONSTANTE"), QStringLiteral("Lim%1").arg(i), QString::number(i * 100));
        expected << QStringLiteral("Lim%1").arg(i);
    }
    f.write(QStringLiteral("CONSTANTE"), QStringLiteral("lim3"), QStringLiteral("333.5"));
    EXPECT_EQ(ProfileFile(p).keys(QStringLiteral("CONSTANTE")), expected);
    EXPECT_EQ(ProfileFile(p).read(QStringLiteral("CONSTANTE"), QStringLiteral("Lim3")), QStringLiteral("333.5"));
}

class EnvGuard
{
public:
    explicit EnvGuard(const char *name) : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {}
    ~EnvGuard()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

TEST(AppFolders, ProgramFolderFromEnvironmentElseUnderHome)
{
    EnvGuard home("HOME"), kh("KESTRUN_HOME");
    qputenv("HOME", "/home/ana");
    const struct { const char *name; const char *kestrunHome; const char *program; } rows[] = {
        {"unset", nullptr, "/home/ana/.local/share/Kestrun"},
        {"empty", "", "/home/ana/.local/share/Kestrun"},
        {"blank", "  ", "/home/ana/.local/share/Kestrun"},
        {"given", "/srv/kestrun", "/srv/kestrun"},
        {"trailing_slash_dropped", "/srv/kestrun/", "/srv/kestrun"},
    };
    for (const auto &r : rows) {
        if (r.kestrunHome)
            qputenv("KESTRUN_HOME", r.kestrunHome);
        else
            qunsetenv("KESTRUN_HOME");
        const QString program = QString::fromUtf8(r.program);
        EXPECT_EQ(AppFolders::programDir(), program) << r.name;
        EXPECT_EQ(AppFolders::dataDir(), program + "/Data") << r.name;
        EXPECT_EQ(AppFolders::tempDir(), program + "/Temp") << r.name;
        EXPECT_EQ(AppFolders::localSettingsPath(), program + "/Local.set") << r.name;
        // The machine-level store does not move with the program folder.
        EXPECT_EQ(AppFolders::machineStorePath(), QStringLiteral("/home/ana/.config/Kestrun/GMT.dII")) << r.name;
    }
    EXPECT_EQ(AppFolders::settingsPath(QStringLiteral("/srv/date/")), QStringLiteral("/srv/date/Tolvard.set"));
}

} // namespace
