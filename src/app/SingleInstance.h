#pragma once

#include <QLockFile>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

Q_DECLARE_LOGGING_CATEGORY(lcInstance)

// One running editor per user. The lock file plays the part of the named mutex: it is
// held for the life of the first instance and a lock left by a crashed instance is
// taken over (its process no longer exists). The first instance listens on a local
// socket; a later start connects, asks it to show its window, and exits.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The instance marker names both the lock and the socket.
    static constexpr const char* kInstanceMarker = "0D214641-974A-4c89-8BC8-86076384CBCC";

    SingleInstance();
    ~SingleInstance() override;

    // True when this is the first instance; it then listens for later starts.
    bool Acquire();

    // From a later start: ask the running instance to show itself. True when the
    // request was delivered.
    bool AskRunningInstanceToShow(int timeoutMs = 1500);

    static QString ServerName();

signals:
    void showRequested();

private:
    void OnNewConnection();

    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<QLocalServer> server;
};
