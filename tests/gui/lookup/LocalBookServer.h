#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <functional>
#include <map>

namespace sorabel {

// A small HTTP server on 127.0.0.1 standing in for openBD and the National
// Diet Library: it answers GET requests from a table the test fills, keyed by
// the path ("/v1/get", "/api/sru") and the ISBN asked for.
class LocalBookServer : public QObject {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        int delayMs = 0;
    };

    LocalBookServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection())
                serve(s);
        });
    }

    QString baseUrl() const {
        return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
    }
    void set(const QString& path, const QString& isbn, Answer answer) {
        answers_[path + u'|' + isbn] = std::move(answer);
    }
    int requests() const { return requests_; }

private:
    void serve(QTcpSocket* socket) {
        socket->setParent(this);
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            if (!buffer->contains("\r\n\r\n"))
                return;
            ++requests_;
            const QByteArray target = buffer->split(' ').value(1);
            const QUrl url(QString::fromLatin1(target));
            const QUrlQuery query(url);
            QString isbn = query.queryItemValue(QStringLiteral("isbn"));
            if (isbn.isEmpty()) // SRU: query=isbn=978…
                isbn = query.queryItemValue(QStringLiteral("query"), QUrl::FullyDecoded)
                           .section(u'=', 1);
            const auto found = answers_.find(url.path() + u'|' + isbn);
            const Answer a = found != answers_.end() ? found->second : Answer{404, "not here"};
            auto reply = [socket, a] {
                if (socket->state() != QAbstractSocket::ConnectedState)
                    return;
                socket->write("HTTP/1.1 " + QByteArray::number(a.status) + " X\r\n" +
                              "Content-Type: application/octet-stream\r\nContent-Length: " +
                              QByteArray::number(a.body.size()) + "\r\nConnection: close\r\n\r\n" +
                              a.body);
                socket->disconnectFromHost();
            };
            if (a.delayMs > 0)
                QTimer::singleShot(a.delayMs, socket, reply);
            else
                reply();
        });
    }

    QTcpServer server_;
    std::map<QString, Answer> answers_;
    int requests_ = 0;
};

} // namespace sorabel
