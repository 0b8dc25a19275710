#include "controls/HintBalloon.h"
#include "controls/StyledProgressBar.h"
#include "core/TestSupport.h"

#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

struct ShareCase
{
    const char *name;
    int maximum;
    int position;
    double share;
};

class ProgressShare : public ::testing::TestWithParam<ShareCase>
{
};

TEST_P(ProgressShare, FilledShareFollowsPositionOverMaximum)
{
    testApp();
    const ShareCase &c = GetParam();
    TStyledProgressBar bar;
    bar.setMaximum(c.maximum);
    bar.setPosition(c.position);
    EXPECT_DOUBLE_EQ(bar.filledShare(), c.share);
    EXPECT_GE(bar.maximum(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressShare,
    ::testing::Values(
        ShareCase{"half", 10, 5, 0.5},
        ShareCase{"empty_at_zero", 10, 0, 0.0},
        ShareCase{"full_at_maximum", 7, 7, 1.0},
        // A position past the maximum is capped, never drawn beyond the bar.
        ShareCase{"capped_past_maximum", 4, 9, 1.0},
        // A maximum of 0 draws the bar empty whatever the position.
        ShareCase{"zero_maximum", 0, 5, 0.0},
        // A negative maximum counts as 0.
        ShareCase{"negative_maximum", -3, 2, 0.0},
        ShareCase{"negative_position", 10, -4, 0.0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ProgressBar, NegativeMaximumIsStoredAsZero)
{
    testApp();
    TStyledProgressBar bar;
    bar.setMaximum(-12);
    EXPECT_EQ(bar.maximum(), 0);
}

TEST(ProgressBar, FilledWidthRoundsAndStaysInside)
{
    testApp();
    TStyledProgressBar bar;
    bar.setMaximum(3);
    bar.setPosition(1);
    EXPECT_EQ(bar.filledWidth(100), 33);
    bar.setPosition(2);
    EXPECT_EQ(bar.filledWidth(100), 67);
    bar.setPosition(99);
    EXPECT_EQ(bar.filledWidth(100), 100);
    EXPECT_EQ(bar.filledWidth(-5), 0);
}

// The painted fill must cover the done share and leave the rest as background.
TEST(ProgressBar, PaintsTheFilledShareOnly)
{
    testApp();
    TStyledProgressBar bar;
    bar.resize(204, 20);
    bar.setMaximum(4);
    bar.setPosition(1);
    QImage img(bar.size(), QImage::Format_ARGB32);
    bar.render(&img);
    const QColor background = bar.palette().color(QPalette::Base);
    // Inner area starts at x=2 and is 200 wide: a quarter is 50 pixels.
    EXPECT_NE(img.pixelColor(20, 10), background);
    EXPECT_NE(img.pixelColor(51, 10), background);
    EXPECT_EQ(img.pixelColor(60, 10), background);
    EXPECT_EQ(img.pixelColor(190, 10), background);

    bar.setMaximum(0);
    img.fill(Qt::black);
    bar.render(&img);
    EXPECT_EQ(img.pixelColor(20, 10), background);
}

TEST(HintBalloon, ShowsTitleAndTextAndHidesAfterItsTime)
{
    testApp();
    QLineEdit edit;
    edit.show();
    THintBalloon balloon;
    balloon.showBeside(&edit, QStringLiteral("Problema !"), QStringLiteral("CNP incorect"), 30);
    EXPECT_TRUE(balloon.isVisible());
    EXPECT_EQ(balloon.title(), QStringLiteral("Problema !"));
    EXPECT_EQ(balloon.text(), QStringLiteral("CNP incorect"));
    EXPECT_EQ(balloon.anchor(), &edit);
    QElapsedTimer t;
    t.start();
    while (balloon.isVisible() && t.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(balloon.isVisible());
}

} // namespace
