#include "TestSupport.h"

#include "core/Counties.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/NumericF.h"
#include "core/RecordingDialogs.h"
#include "platform/profile/ProfileFile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

// The administration form over a scratch program folder with its own
// machine-level store.
class Administration : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        dir = scratchDir();
        qputenv("HOME", dir->path().toLocal8Bit());
        qputenv("KESTRUN_HOME", (dir->path() + QStringLiteral("/Kestrun")).toLocal8Bit());
        data = dir->path() + QStringLiteral("/Kestrun/Data");
        QDir().mkpath(data);
        Form1().setFolders(dir->path() + QStringLiteral("/Kestrun"), data, dir->path() + QStringLiteral("/Kestrun/Temp"));
        Form3().LunaLucru->clear();
    }

    void writeSettings(const QList<std::pair<QString, QString>> &values)
    {
        ProfileFile file(data + QStringLiteral("/Tolvard.set"));
        for (const auto &[key, value] : values) {
            const QStringList parts = key.split(u'/');
            file.write(parts[0], parts[1], value);
        }
    }

    void write2022Brackets()
    {
        const int lim[] = {200, 320, 440, 560, 680, 920, 1040, 1160, 1280, 1386, 2053};
        const int cu[] = {320, 294, 267, 240, 214, 187, 160, 134, 107, 80, 80};
        QList<std::pair<QString, QString>> values;
        for (int i = 0; i < 11; ++i) {
            values.append({QStringLiteral("CONSTANTE/Lim%1").arg(i + 1), QString::number(lim[i])});
            values.append({QStringLiteral("CONSTANTE/Cu%1").arg(i + 1), QString::number(cu[i])});
        }
        writeSettings(values);
    }

    std::unique_ptr<QTemporaryDir> dir;
    QString data;
};

TEST_F(Administration, CountiesInOfficialOrderWithMatchingAbbreviations)
{
    TForm4 &f = Form4();
    ASSERT_EQ(f.JudetC->count(), 42);
    ASSERT_EQ(f.JudAbr->count(), f.JudetC->count());
    EXPECT_EQ(f.JudetC->itemText(3), QStringLiteral("BACAU"));
    EXPECT_EQ(f.JudAbr->itemText(3), QStringLiteral("BC"));
    // Brasov before Braila: the official order is the Romanian alphabet (a before a-breve).
    EXPECT_EQ(f.JudetC->itemText(7), QStringLiteral("BRASOV"));
    EXPECT_EQ(f.JudAbr->itemText(7), QStringLiteral("BV"));
    EXPECT_EQ(f.JudAbr->itemText(f.JudetC->findText(QStringLiteral("BUCURESTI"))), QStringLiteral("B"));
    EXPECT_EQ(f.JudAbr->itemText(f.JudetC->findText(QStringLiteral("VRANCEA"))), QStringLiteral("VN"));
    EXPECT_FALSE(f.JudAbr->isVisibleTo(&f));
    EXPECT_EQ(f.ComboBox1->itemText(2), QStringLiteral("MUNICIPIUL"));
}

TEST_F(Administration, LoadsTheTeamKeysAndSavesThemBack)
{
    writeSettings({{"SETARI/Localitate", "Ungureni"}, {"SETARI/TipLocalitate", "1"}, {"SETARI/CodFiscal", "4278093"},
                   {"SETARI/CodJud", "4"}, {"SETARI/Judet", "bacau"}, {"SETARI/Primar", "Ion Popa"},
                   {"SETARI/Secretar", "Ana \u015Eerban"}, {"SETARI/CuOLE", "DA"}, {"CONSTANTE/IndG", "20.5"},
                   {"SETARI/Altceva", "pastrat"}});
    write2022Brackets();
    TForm4 &f = Form4();
    f.Load();
    EXPECT_EQ(f.Localit->text(), QStringLiteral("Ungureni"));
    EXPECT_EQ(f.ComboBox1->currentText(), QStringLiteral("ORASUL"));
    EXPECT_EQ(f.JudetC->currentIndex(), 3);
    EXPECT_EQ(f.JudAbr->currentText(), QStringLiteral("BC"));
    EXPECT_EQ(f.Edit7->text(), QStringLiteral("Ion Popa"));
    EXPECT_EQ(f.SecretarN->text(), QStringLiteral("Ana \u015Eerban"));
    EXPECT_TRUE(f.CuOLE->isChecked());
    EXPECT_EQ(f.Lim(10)->text(), QStringLiteral("1386"));
    EXPECT_EQ(f.Cu(1)->Valoare(), 320);
    EXPECT_EQ(f.Lim(11)->objectName(), QStringLiteral("Lim11"));
    EXPECT_EQ(f.IndG->text(), QStringLiteral("20.5"));
    EXPECT_EQ(f.IndL->text(), QStringLiteral("0"));
    EXPECT_EQ(f.Lim(0), nullptr);
    EXPECT_EQ(f.Cu(12), nullptr);

    f.Cu(3)->setText(QStringLiteral(".5"));
    f.CuOLE->setChecked(false);
    f.Salvare->setText(dir->path() + QStringLiteral("/backup"));
    f.Save();
    const ProfileFile saved(data + QStringLiteral("/Tolvard.set"));
    EXPECT_EQ(saved.read(QStringLiteral("CONSTANTE"), QStringLiteral("Cu3")), QStringLiteral("0.5"));
    EXPECT_EQ(saved.read(QStringLiteral("SETARI"), QStringLiteral("Judet")), QStringLiteral("BACAU"));
    EXPECT_EQ(saved.read(QStringLiteral("SETARI"), QStringLiteral("CuOLE")), QStringLiteral("NU"));
    EXPECT_EQ(saved.read(QStringLiteral("SETARI"), QStringLiteral("TipLocalitate")), QStringLiteral("1"));
    EXPECT_EQ(saved.read(QStringLiteral("SETARI"), QStringLiteral("Secretar")), QStringLiteral("Ana \u015Eerban"));
    EXPECT_EQ(saved.read(QStringLiteral("CONSTANTE"), QStringLiteral("IndG")), QStringLiteral("20.5"));
    EXPECT_EQ(saved.read(QStringLiteral("CONSTANTE"), QStringLiteral("Lim10")), QStringLiteral("1386"));
    // Keys the form does not know stay as they were.
    EXPECT_EQ(saved.read(QStringLiteral("SETARI"), QStringLiteral("Altceva")), QStringLiteral("pastrat"));
    EXPECT_EQ(TForm1::ReadMachine(QStringLiteral("Salvare")), dir->path() + QStringLiteral("/backup"));
    EXPECT_TRUE(QFile::exists(dir->path() + QStringLiteral("/.config/Kestrun/GMT.dII")));
}

struct LetterCase
{
    const char *name;
    int amount;
    const char *letter;
};

class LiteraCuantum : public Administration, public ::testing::WithParamInterface<LetterCase>
{
};

TEST_P(LiteraCuantum, LetterOfTheFirstBracketWithThatAmount)
{
    write2022Brackets();
    Form4().Load();
    EXPECT_EQ(Form4().LiteraCuantum(GetParam().amount), QString::fromLatin1(GetParam().letter));
}

INSTANTIATE_TEST_SUITE_P(Cases, LiteraCuantum,
    ::testing::Values(
        LetterCase{"first", 320, "a"},
        LetterCase{"third", 267, "c"},
        LetterCase{"ninth", 107, "i"},
        // Cu10 and Cu11 are both 80: the first bracket wins.
        LetterCase{"tenth_before_eleventh", 80, "j"},
        LetterCase{"no_bracket", 100, "j"},
        LetterCase{"zero", 0, "j"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Administration, VerificaSetariNamesTheFirstMissingItem)
{
    RecordingDialogs dialogs;
    TForm4 &f = Form4();
    f.Localit->clear();
    f.JudetC->setCurrentIndex(-1);
    f.CodFiscal->clear();

    const auto check = [&](const QString &expectedWord) {
        dialogs.messages.clear();
        const bool ok = f.VerificaSetari();
        if (expectedWord.isEmpty()) {
            EXPECT_TRUE(ok);
            EXPECT_TRUE(dialogs.messages.isEmpty());
            return;
        }
        EXPECT_FALSE(ok);
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Raport AJPIS"));
        EXPECT_EQ(dialogs.messages[0].buttons, QStringList{QStringLiteral("&OK")});
        EXPECT_TRUE(dialogs.messages[0].text.contains(expectedWord)) << dialogs.messages[0].text.toStdString();
    };
    check(QStringLiteral("luna"));
    Form3().LunaLucru->setText(QStringLiteral("11.2022"));
    check(QStringLiteral("UAT"));
    f.Localit->setText(QStringLiteral("Ungureni"));
    check(QStringLiteral("judetul"));
    f.JudetC->setCurrentIndex(3);
    check(QStringLiteral("codul fiscal"));
    f.CodFiscal->setText(QStringLiteral("4278093"));
    check(QString());
}

TEST_F(Administration, BacauReportEntryFollowsTheCounty)
{
    QAction *entry = Form3().addCommand(TForm3::Menu::Liste, QStringLiteral("Raport AJPIS - BACAU"), [] {});
    Form4().JudetC->setCurrentIndex(5);
    EXPECT_FALSE(entry->isVisible());
    Form4().JudetC->setCurrentIndex(3);
    EXPECT_TRUE(entry->isVisible());
    Form4().JudetC->setCurrentIndex(-1);
    EXPECT_FALSE(entry->isVisible());
}

} // namespace
