#include "TestSupport.h"

#include "controls/StyledProgressBar.h"
#include "core/Contor.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/RecordingDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct KindCase
{
    const char *name;
    int kind;
    const char *caption;
    bool beep;
};

class MessageKind : public ::testing::TestWithParam<KindCase>
{
};

TEST_P(MessageKind, CaptionAndBeepByKind)
{
    const MessageSpec spec = TErori::specFor(QStringLiteral("T"), QStringLiteral("M"), GetParam().kind, TErori::OK);
    EXPECT_EQ(spec.kindCaption, QString::fromLatin1(GetParam().caption));
    EXPECT_EQ(spec.beep, GetParam().beep);
}

INSTANTIATE_TEST_SUITE_P(Cases, MessageKind,
    ::testing::Values(
        KindCase{"warning", 0, "Atentie !", false},
        KindCase{"error", 1, "Eroare", true},
        KindCase{"information", 2, "Informatie", false},
        KindCase{"confirmation", 3, "Confirmare", false},
        // Any other kind is an error.
        KindCase{"unknown_is_error", 7, "Eroare", true},
        KindCase{"negative_is_error", -1, "Eroare", true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Mesaj, ButtonsInTheOrderDaNuRenuntOK)
{
    const MessageSpec all = TErori::specFor({}, {}, 3, TErori::OK | TErori::Renunt | TErori::Nu | TErori::Da);
    EXPECT_EQ(all.buttons, (QStringList{"&Da", "&Nu", "&Renunt", "&OK"}));
    EXPECT_EQ(all.results, (QList<int>{6, 7, 2, 1}));
    const MessageSpec two = TErori::specFor({}, {}, 3, TErori::OK | TErori::Nu);
    EXPECT_EQ(two.buttons, (QStringList{"&Nu", "&OK"}));
    // Bits beyond the four buttons are ignored.
    EXPECT_EQ(TErori::specFor({}, {}, 3, 16 | TErori::Da).buttons, QStringList{"&Da"});
}

TEST(Mesaj, ReturnsTheAnswerAndRecordsWhatWasShown)
{
    RecordingDialogs dialogs;
    dialogs.answers = {7};
    EXPECT_EQ(TErori::Mesaj(QStringLiteral("Salvare"), QStringLiteral("Salvati?"), 3, TErori::Da | TErori::Nu), 7);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Salvare"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Salvati?"));
}

TEST(Mesaj, WithoutButtonsShowsNothingAndReturnsRenunt)
{
    RecordingDialogs dialogs;
    EXPECT_EQ(TErori::Mesaj(QStringLiteral("T"), QStringLiteral("M"), 1, 0), 2);
    EXPECT_EQ(TErori::Mesaj(QStringLiteral("T"), QStringLiteral("M"), 1, 16), 2);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// The real dialog: its buttons give the modal results, closing gives Renunt.
TEST(Mesaj, RealDialogButtonsGiveTheirResults)
{
    testApp();
    const MessageSpec spec = TErori::specFor(QStringLiteral("T"), QStringLiteral("M"), 0, TErori::Da | TErori::Nu | TErori::OK);
    for (const QString &caption : {QStringLiteral("&Nu"), QStringLiteral("&OK")}) {
        TErori dialog(spec);
        QTimer::singleShot(0, &dialog, [&dialog, caption] {
            for (QPushButton *b : dialog.findChildren<QPushButton *>())
                if (b->text() == caption)
                    b->click();
        });
        EXPECT_EQ(dialog.exec(), caption == QStringLiteral("&Nu") ? 7 : 1);
    }
    TErori dialog(spec);
    QTimer::singleShot(0, &dialog, &QDialog::reject);
    EXPECT_EQ(dialog.exec(), 0); // the real dialogs turn this into Renunt
}

TEST(ShowProblem, BalloonTitledProblemaForFiveSeconds)
{
    testApp();
    RecordingDialogs dialogs;
    QLineEdit edit;
    TForm1::ShowProblem(QStringLiteral("Email incorect!!"), &edit);
    ASSERT_EQ(dialogs.balloons.size(), 1);
    EXPECT_EQ(dialogs.balloons[0].title, QStringLiteral("Problema !"));
    EXPECT_EQ(dialogs.balloons[0].text, QStringLiteral("Email incorect!!"));
    EXPECT_EQ(dialogs.balloons[0].control, &edit);
    EXPECT_EQ(dialogs.balloons[0].timeoutMs, 5000);
}

TEST(Contor, DisablesTheActiveFormUntilStop)
{
    testApp();
    QWidget form;
    form.show();
    QApplication::setActiveWindow(&form);
    TContor contor;
    contor.Bar->setMaximum(3);
    contor.Descr->setText(QStringLiteral("Calculez..."));
    contor.Bar->setPosition(2);
    contor.Start();
    EXPECT_EQ(contor.Bar->position(), 0);
    EXPECT_TRUE(contor.isVisible());
    EXPECT_FALSE(form.isEnabled());
    EXPECT_NE(QApplication::overrideCursor(), nullptr);

    // A second Start while shown only resets the bar.
    contor.Pas();
    contor.Start();
    EXPECT_EQ(contor.Bar->position(), 0);

    for (int i = 0; i < 10; ++i)
        contor.Pas();
    EXPECT_EQ(contor.Bar->position(), 3); // stops at the maximum

    contor.Stop();
    EXPECT_FALSE(contor.isVisible());
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Stop without Start changes nothing.
    contor.Stop();
    EXPECT_TRUE(form.isEnabled());
}

} // namespace
