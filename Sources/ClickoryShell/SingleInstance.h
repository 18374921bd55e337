// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLockFile;

namespace clickory {

// One Clickory per user. The first launch takes a lock file and listens on a local socket, both in
// the user's runtime folder ($XDG_RUNTIME_DIR, else the temporary folder with the user id in the
// name). A later launch finds the lock taken and hands its request to the first over the socket:
// one line per message, "reopen" or a URL, each answered with "ok".
//
// A lock left by a process that has died is taken over. Thread: main.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The request a launch hands over when it finds Clickory running.
    static constexpr const char* reopenMessage = "reopen";

    // `folder` overrides the runtime folder (tests).
    explicit SingleInstance(QString folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the running instance: true when this process now owns the lock and listens; false
    // when another process owns it, or on failure (reason in error()).
    bool acquire();

    // Sends messages to the running instance and waits up to `timeoutMs` for their answers. False
    // when no instance answered (reason in error()).
    bool send(const QStringList& messages, int timeoutMs = 3000);

    QString socketPath() const;
    QString error() const { return m_error; }

signals:
    // A message from a later launch, on the main thread.
    void messageReceived(const QString& message);

private:
    void acceptConnection();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    QString m_error;
};

} // namespace clickory
