// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoopbackTileServer.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

QByteArray TilePng(const QColor& colour) {
    QImage image(256, 256, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

namespace {

QByteArray Response(const QByteArray& status, const QByteArray& headers, const QByteArray& body) {
    return "HTTP/1.1 " + status + "\r\n" + headers +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray HeaderValue(const QByteArray& request, const QByteArray& name) {
    for (const QByteArray& line : request.split('\n')) {
        if (line.toLower().startsWith(name.toLower() + ":")) {
            return line.mid(name.size() + 1).trimmed();
        }
    }
    return QByteArray();
}

}  // namespace

LoopbackTileServer::LoopbackTileServer(Behaviour behaviour) : m_Behaviour(behaviour) {
    connect(&m_Server, &QTcpServer::newConnection, this, &LoopbackTileServer::Accept);
    m_Server.listen(QHostAddress::LocalHost, 0);
}

LoopbackTileServer::~LoopbackTileServer() {
    m_Server.close();
}

QString LoopbackTileServer::UrlTemplate() const {
    return QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(m_Server.serverPort());
}

void LoopbackTileServer::Accept() {
    while (QTcpSocket* socket = m_Server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_Pending.erase(socket);
            socket->deleteLater();
        });
    }
}

void LoopbackTileServer::Read(QTcpSocket* socket) {
    QByteArray& pending = m_Pending[socket];
    pending += socket->readAll();
    qsizetype end;
    while ((end = pending.indexOf("\r\n\r\n")) >= 0) {
        const QByteArray request = pending.left(end);
        pending.remove(0, end + 4);
        const QList<QByteArray> words = request.left(request.indexOf('\r')).split(' ');
        const QByteArray path = words.size() > 1 ? words[1] : QByteArray();
        ++m_Requests;
        m_MostAtOnce = std::max(m_MostAtOnce, ++m_AtOnce);
        m_UserAgents.push_back(HeaderValue(request, "User-Agent"));
        m_Paths.push_back(path);
        QPointer<QTcpSocket> alive(socket);
        if (m_Holding) {
            m_Held.emplace_back(alive, path);
            continue;
        }
        QTimer::singleShot(0, this, [this, alive, path] { AnswerNow(alive, path); });
    }
}

void LoopbackTileServer::Release() {
    m_Holding = false;
    std::vector<std::pair<QPointer<QTcpSocket>, QByteArray>> held;
    held.swap(m_Held);
    for (const auto& [socket, path] : held) {
        AnswerNow(socket, path);
    }
}

void LoopbackTileServer::AnswerNow(const QPointer<QTcpSocket>& socket, const QByteArray& path) {
    --m_AtOnce;
    if (socket) {
        Answer(socket, path);
    }
}

void LoopbackTileServer::Answer(QTcpSocket* socket, const QByteArray& path) {
    static const QByteArray kPng = TilePng(QColor(120, 180, 120));
    switch (m_Behaviour) {
        case Behaviour::Tiles:
            socket->write(Response(
                "200 OK", "Content-Type: image/png\r\nCache-Control: max-age=86400\r\n", kPng));
            break;
        case Behaviour::WrongType:
            socket->write(Response("200 OK", "Content-Type: text/html\r\n",
                                   "<html><body>Access blocked</body></html>"));
            break;
        case Behaviour::Huge:
            socket->write(Response("200 OK", "Content-Type: image/png\r\n",
                                   kPng + QByteArray(10 * 1024 * 1024, 'x')));
            break;
        case Behaviour::BrokenPng:
            socket->write(Response("200 OK", "Content-Type: image/png\r\n",
                                   kPng.left(100) + QByteArray(400, '\x7f')));
            break;
        case Behaviour::RedirectLoop:
            socket->write(Response("302 Found", "Location: " + path + "\r\n", QByteArray()));
            break;
        case Behaviour::Silent:
            break;
        case Behaviour::Hangs:
            socket->abort();
            break;
    }
}
