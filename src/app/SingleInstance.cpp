#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "montara.instance", QtWarningMsg)

namespace {

constexpr char kShowRequest[] = "show\n";

QString UserName()
{
    // The numeric id is unique per user, where login names may be unset in services.
    return QString::number(static_cast<qulonglong>(::getuid()));
}

} // namespace

SingleInstance::SingleInstance() = default;
SingleInstance::~SingleInstance() = default;

QString SingleInstance::ServerName()
{
    return QStringLiteral("montara-%1-%2").arg(QLatin1String(kInstanceMarker), UserName());
}

bool SingleInstance::Acquire()
{
    lock = std::make_unique<QLockFile>(QDir::tempPath() + QLatin1Char('/') + ServerName() + QStringLiteral(".lock"));
    // A running instance holds the lock however long it runs; only a lock whose
    // process is gone counts as stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        lock.reset();
        return false;
    }

    // A socket file left behind by a crashed instance would make listen() fail.
    QLocalServer::removeServer(ServerName());
    server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server.get(), &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
    if (!server->listen(ServerName()))
        qCWarning(lcInstance) << "cannot listen on" << ServerName() << server->errorString();
    else
        qCInfo(lcInstance) << "listening";
    return true;
}

void SingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == kShowRequest) {
                    qCInfo(lcInstance) << "show requested";
                    emit showRequested();
                }
            }
        });
    }
}

bool SingleInstance::AskRunningInstanceToShow(int timeoutMs)
{
    // The first instance may still be starting: its socket appears shortly after its lock.
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(ServerName());
        if (socket.waitForConnected(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 500)))) {
            socket.write(kShowRequest);
            const bool sent = socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(20);
    }
    return false;
}
