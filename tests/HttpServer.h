#pragma once

#include <QHash>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>

namespace testing_support {

// A server on this machine that answers each path its own way.
class LocalServer : public QTcpServer {
public:
    QHash<QString, std::function<void(QTcpSocket *)>> answers;
    QStringList asked;
    QList<QByteArray> requests;  // each whole, headers and all

    LocalServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray request = socket->readAll();
                    const QString path = QUrl::fromPercentEncoding(request.split(' ').value(1));
                    asked.append(path);
                    requests.append(request);
                    const auto answer = answers.constFind(path);
                    if (answer != answers.constEnd())
                        (*answer)(socket);
                    else
                        reply(socket, "404 Not Found", "");
                });
            }
        });
        listen(QHostAddress::LocalHost);
    }
    // Answers with status and body, and closes.
    static void reply(QTcpSocket *socket, const QByteArray &status, const QByteArray &body,
                      const QByteArray &headers = QByteArray())
    {
        socket->write("HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size())
                      + "\r\nConnection: close\r\n" + headers + "\r\n" + body);
        socket->disconnectFromHost();
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
};

}  // namespace testing_support
