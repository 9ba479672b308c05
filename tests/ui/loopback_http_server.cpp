#include "loopback_http_server.h"

#include <QTcpSocket>

#include <memory>

namespace tellavine::testing {
namespace {

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    default: return "Status";
    }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, &LoopbackHttpServer::accept);
}

QUrl LoopbackHttpServer::address() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort()));
}

void LoopbackHttpServer::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        ++open_;
        auto request = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            --open_;
            socket->deleteLater();
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
            *request += socket->readAll();
            if (!request->contains("\r\n\r\n")) return;
            // "GET /path HTTP/1.1"
            const QList<QByteArray> words = request->left(request->indexOf("\r\n")).split(' ');
            const QByteArray path = words.value(1);
            request->clear();
            requested_ << path;
            reply(socket, path);
        });
    }
}

void LoopbackHttpServer::reply(QTcpSocket* socket, const QByteArray& path) {
    const HttpAnswer answer = answers_.value(path, HttpAnswer::file("no such file\n", 404));
    if (answer.silent) return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reasonPhrase(answer.status) + "\r\n";
    head += "Connection: close\r\n";
    if (answer.announceLength) head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    if (!answer.location.isEmpty()) head += "Location: " + answer.location + "\r\n";
    socket->write(head + "\r\n");
    socket->write(answer.body);
    socket->disconnectFromHost();  // after what is written has gone
}

QUrl unusedLoopbackAddress() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port));
}

}  // namespace tellavine::testing
