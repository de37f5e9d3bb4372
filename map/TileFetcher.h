// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Map tiles from a tile server, politely: a User-Agent that names the program, at most two
// downloads at a time, a disk cache that honours the server's expiry headers and a memory cache,
// and nothing fetched that is not asked for. A tile that fails is drawn without; the first
// failure is signalled once. GUI thread only.

#include <QCache>
#include <QImage>
#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>
#include <set>

class QNetworkAccessManager;
class QNetworkReply;

struct TileKey {
    int zoom = 0;
    int x = 0;
    int y = 0;
    uint64_t Id() const;
};

struct TileServer {
    QString urlTemplate;  // with {z}, {x} and {y}; empty for a map without tiles
    QString userAgent;
    QString cacheFolder;  // the disk cache; empty for none
    int64_t cacheBytes = 200 * 1024 * 1024;
    int parallel = 2;
    int64_t largestTile = 1024 * 1024;  // a response larger than this is no tile
    int timeoutMs = 15000;
};

// "https://tile.openstreetmap.org/{z}/{x}/{y}.png" with the key's numbers in it.
QString TileUrl(const QString& urlTemplate, const TileKey& key);

class TileFetcher : public QObject {
    Q_OBJECT
public:
    explicit TileFetcher(TileServer server, QObject* parent = nullptr);
    ~TileFetcher() override;

    // The tile when it is at hand; otherwise null, and it is asked for unless it failed.
    const QImage* Tile(const TileKey& key);
    // Drops queued requests for tiles not in `wanted` (the view moved on).
    void KeepOnly(const std::set<uint64_t>& wanted);
    bool AnyFailed() const { return m_AnyFailed; }

signals:
    void TileArrived();
    // The first tile that could not be loaded.
    void TilesFailed();

private:
    void StartNext();
    void Finished(QNetworkReply* reply, const TileKey& key);
    void Fail(const TileKey& key);

    TileServer m_Server;
    QNetworkAccessManager* m_Network;
    QCache<uint64_t, QImage> m_Images;
    std::deque<TileKey> m_Queue;
    std::set<uint64_t> m_Asked;  // queued or downloading
    std::set<uint64_t> m_Failed;
    int m_Downloading = 0;
    bool m_AnyFailed = false;
};
