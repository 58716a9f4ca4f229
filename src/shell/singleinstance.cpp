#include "singleinstance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace ombx {

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

SingleInstance::~SingleInstance() { release(); }

bool SingleInstance::findRunningCopy()
{
    delete m_running;
    m_running = new QLocalSocket(this);
    m_running->connectToServer(m_name);
    if (m_running->waitForConnected(500))
        return true;
    delete m_running;
    m_running = nullptr;
    return false;
}

void SingleInstance::sendStartupMessage()
{
    if (!m_running)
        return;
    m_running->write(QByteArray::number(kStartupMessage) + '\n');
    m_running->waitForBytesWritten(500);
    m_running->disconnectFromServer();
    delete m_running;
    m_running = nullptr;
}

bool SingleInstance::listen()
{
    release();
    m_server = new QLocalServer(this);
    QLocalServer::removeServer(m_name);
    if (!m_server->listen(m_name))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine())
                    if (socket->readLine().trimmed().toInt() == kStartupMessage)
                        emit startupMessage();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

void SingleInstance::release()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
}

} // namespace ombx
