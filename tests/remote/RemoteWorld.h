#pragma once

#include "LoopbackHttp.h"

#include "core/Form1.h"
#include "core/TestSupport.h"
#include "remote/RemoteSettings.h"
#include "tables/RequestTables.h"

#include <gtest/gtest.h>

// A program folder of its own with the office's tables, and the maker's web
// server answered by a loopback responder.
class RemoteWorld : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        dir = scratchDir("remote");
        home = dir->path() + QStringLiteral("/Kestrun");
        data = home + QStringLiteral("/Data");
        qputenv("HOME", dir->path().toLocal8Bit());
        qputenv("KESTRUN_HOME", home.toLocal8Bit());
        QDir().mkpath(data);
        QDir().mkpath(home + QStringLiteral("/Temp"));
        Form1().setFolders(home, data, home + QStringLiteral("/Temp"));
        RequestTables::createMissing(data);
        http = std::make_unique<LoopbackHttp>();
        TForm1::WriteMachine(RemoteSettings::WebServerKey, http->base());
    }

    std::unique_ptr<QTemporaryDir> dir;
    QString home;
    QString data;
    std::unique_ptr<LoopbackHttp> http;
};
