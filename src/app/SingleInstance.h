#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running program per user: the first claims a local socket name; a later
// start finds it, asks it to come to the front and ends.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(QString name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // The name for this user ("Kestrun-<user>").
    static QString defaultName();

    // True when this process is now the one instance; false when another
    // answered (it has been asked to show itself).
    bool claim();

signals:
    // A later start asked this instance to come to the front.
    void activationRequested();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};
