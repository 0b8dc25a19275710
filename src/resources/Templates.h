#pragma once

#include <QStringList>

// The templates compiled into the program (the files under ":/MODEL").
class Templates
{
public:
    static QStringList names();
};
