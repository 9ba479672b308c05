#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the update check tests: each path gets a
// canned answer (status, body, redirect, or no answer at all), and the server records
// what was asked and which connections are still open.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace tellavine::testing {

struct HttpAnswer {
    int status = 200;
    QByteArray body;
    QByteArray location;          // sent as Location: (redirects)
    bool announceLength = true;   // false: no Content-Length, the body ends at the close
    bool silent = false;          // read the request, never answer

    static HttpAnswer file(const QByteArray& body, int status = 200) {
        HttpAnswer answer;
        answer.status = status;
        answer.body = body;
        return answer;
    }
    static HttpAnswer unannounced(const QByteArray& body) {
        HttpAnswer answer = file(body);
        answer.announceLength = false;
        return answer;
    }
    static HttpAnswer redirect(const QByteArray& location) {
        HttpAnswer answer = file({}, 302);
        answer.location = location;
        return answer;
    }
    static HttpAnswer none() {
        HttpAnswer answer;
        answer.silent = true;
        return answer;
    }
};

class LoopbackHttpServer : public QObject {
    Q_OBJECT
public:
    LoopbackHttpServer();

    void answer(const QByteArray& path, const HttpAnswer& answer) { answers_[path] = answer; }
    // http://127.0.0.1:<port>/
    QUrl address() const;
    const QList<QByteArray>& requestedPaths() const { return requested_; }
    int openConnections() const { return open_; }

private:
    void accept();
    void reply(QTcpSocket* socket, const QByteArray& path);

    QTcpServer server_;
    QMap<QByteArray, HttpAnswer> answers_;  // a path without an answer gets 404
    QList<QByteArray> requested_;
    int open_ = 0;
};

// A loopback address where nothing listens: a port that was just free.
QUrl unusedLoopbackAddress();

}  // namespace tellavine::testing
