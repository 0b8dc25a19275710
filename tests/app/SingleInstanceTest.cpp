#include "app/SingleInstance.h"
#include "core/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QUuid>

#include <gtest/gtest.h>

namespace {

TEST(SingleInstance, ASecondStartAsksTheFirstToShowItself)
{
    testApp();
    const QString name = QStringLiteral("kestrun-test-") + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(name);
    ASSERT_TRUE(first.claim());
    QSignalSpy asked(&first, &SingleInstance::activationRequested);

    SingleInstance second(name);
    EXPECT_FALSE(second.claim());
    QElapsedTimer t;
    t.start();
    while (asked.isEmpty() && t.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(asked.size(), 1);
}

TEST(SingleInstance, AStaleSocketDoesNotStopTheProgram)
{
    testApp();
    const QString name = QStringLiteral("kestrun-test-") + QUuid::createUuid().toString(QUuid::Id128);
    // A crashed run leaves its socket file behind, with nobody listening.
    QFile left(QDir::tempPath() + u'/' + name);
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.close();
    SingleInstance next(name);
    EXPECT_TRUE(next.claim());
    SingleInstance third(name);
    EXPECT_FALSE(third.claim()); // and the new run now guards the name
}

} // namespace
