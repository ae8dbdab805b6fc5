#pragma once
// A small web server for tests, on 127.0.0.1 with a port of its own, in the
// test's thread: it answers while the test spins the event loop. Pages are
// registered by path; a held path sends its head at once and the rest only
// when the test releases it, so a load can be watched while it is under way.
// Any other path is answered "404 Not Found".

#include "platform/runtime/Startup.h"
#include "tests/support/EventLoop.h"  // the tests that serve pages wait on them

#include <QByteArray>
#include <QHostAddress>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVector>
#include <algorithm>

namespace testenv {

// Creates the application object; a fixture member placed before the server,
// whose sockets would otherwise be made without an event loop to watch them.
struct ApplicationFirst {
    ApplicationFirst() { plat::EnsureApplication(); }
};

class PageServer {
public:
    PageServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { Answer(socket); });
            }
        });
    }
    ~PageServer()
    {
        for (auto& s : held_)
            if (s)
                s->abort();
        server_.close();
    }

    bool Listening() const { return server_.isListening(); }
    quint16 Port() const { return server_.serverPort(); }
    QString Url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path);
    }

    void AddPage(const QString& path, const QByteArray& html) { pages_[path] = html; }
    // Answers to this path wait after their head until Release().
    void Hold(const QString& path) { holding_[path] = true; }
    void Release()
    {
        holding_.clear();
        for (int i = 0; i < held_.size(); ++i)
            if (held_[i]) {
                held_[i]->write(heldRest_[i]);
                held_[i]->disconnectFromHost();
            }
        held_.clear();
        heldRest_.clear();
    }
    // Requests received for a path so far.
    int Requests(const QString& path) const { return requests_.value(path); }

    // A port on this machine where nothing listens.
    static quint16 ClosedPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        return port;
    }

private:
    void Answer(QTcpSocket* socket)
    {
        const QByteArray request = socket->readAll();
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        if (path.isEmpty())
            return;
        requests_[path] += 1;
        const bool found = pages_.contains(path);
        const QByteArray body = found ? pages_.value(path)
                                      : QByteArray("<html><head><title>Not Found</title></head><body>No such page.</body></html>");
        const QByteArray head = QByteArray("HTTP/1.1 ") + (found ? "200 OK" : "404 Not Found")
            + "\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
        if (holding_.value(path)) {
            const int first = static_cast<int>(std::min<qsizetype>(body.size(), 64));
            socket->write(head + body.left(first));
            held_.push_back(socket);
            heldRest_.push_back(body.mid(first));
            return;
        }
        socket->write(head + body);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QMap<QString, QByteArray> pages_;
    QMap<QString, bool> holding_;
    QMap<QString, int> requests_;
    QVector<QPointer<QTcpSocket>> held_;
    QVector<QByteArray> heldRest_;
};

// A page with a title and some text.
inline QByteArray TitledPage(const QString& title, const QString& text = QStringLiteral("A page."))
{
    return QStringLiteral("<html><head><title>%1</title></head><body>%2</body></html>").arg(title, text).toUtf8();
}

}  // namespace testenv
