#pragma once
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace ombx {

// One copy of the program per workstation: the running copy listens on a
// local socket named after its main window's class name; a second copy finds
// it there and sends it the start-up message 0x1400.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr int kStartupMessage = 0x1400;
    explicit SingleInstance(const QString& name = QStringLiteral("My OMBX256"), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another copy answers; the connection is kept for
    // sendStartupMessage().
    bool findRunningCopy();
    // Sends the start-up message to the copy found and lets go of it.
    void sendStartupMessage();
    // Starts listening (removing a socket a crashed copy left behind).
    bool listen();
    void release();

signals:
    void startupMessage();

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
    QLocalSocket* m_running = nullptr;
};

} // namespace ombx
