// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A tile server on 127.0.0.1 for tests, answering in the event loop of the thread that made it:
// good tiles, or one of the ways a server can fail a client. It counts what it was asked.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <map>
#include <utility>
#include <vector>

class QTcpSocket;

class LoopbackTileServer : public QObject {
    Q_OBJECT
public:
    enum class Behaviour {
        Tiles,         // a 256 x 256 PNG, cacheable for a day
        WrongType,     // an HTML page for every tile
        Huge,          // "image/png", 10 MB of it
        BrokenPng,     // "image/png", but not a PNG
        RedirectLoop,  // every tile redirects to itself
        Silent,        // takes the request and never answers
        Hangs,         // closes the connection without an answer
    };

    explicit LoopbackTileServer(Behaviour behaviour = Behaviour::Tiles);
    ~LoopbackTileServer() override;

    // "http://127.0.0.1:<port>/{z}/{x}/{y}.png"
    QString UrlTemplate() const;
    void SetBehaviour(Behaviour behaviour) { m_Behaviour = behaviour; }
    // Holds every request taken from now on unanswered, however long, until Release: a slow server
    // by construction, whatever the speed of the machine.
    void Hold() { m_Holding = true; }
    void Release();

    int Requests() const { return m_Requests; }
    // The most requests taken and not yet answered at one time.
    int MostAtOnce() const { return m_MostAtOnce; }
    std::vector<QByteArray> UserAgents() const { return m_UserAgents; }
    std::vector<QByteArray> Paths() const { return m_Paths; }

private:
    void Accept();
    void Read(QTcpSocket* socket);
    void Answer(QTcpSocket* socket, const QByteArray& path);
    void AnswerNow(const QPointer<QTcpSocket>& socket, const QByteArray& path);

    QTcpServer m_Server;
    Behaviour m_Behaviour;
    std::map<QTcpSocket*, QByteArray> m_Pending;  // bytes of a request not complete yet
    int m_Requests = 0;
    int m_AtOnce = 0;
    int m_MostAtOnce = 0;
    std::vector<QByteArray> m_UserAgents;
    std::vector<QByteArray> m_Paths;
    bool m_Holding = false;
    std::vector<std::pair<QPointer<QTcpSocket>, QByteArray>> m_Held;
};

// A PNG tile of one colour, as the server sends it.
QByteArray TilePng(const QColor& colour);
