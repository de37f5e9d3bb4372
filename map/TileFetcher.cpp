// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/TileFetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

constexpr int kMemoryTiles = 512;
constexpr int kMostRedirects = 5;

}  // namespace

uint64_t TileKey::Id() const {
    return (uint64_t(uint32_t(zoom)) << 56) | (uint64_t(uint32_t(x)) << 28) | uint64_t(uint32_t(y));
}

QString TileUrl(const QString& urlTemplate, const TileKey& key) {
    QString url = urlTemplate;
    url.replace(QLatin1String("{z}"), QString::number(key.zoom));
    url.replace(QLatin1String("{x}"), QString::number(key.x));
    url.replace(QLatin1String("{y}"), QString::number(key.y));
    return url;
}

TileFetcher::TileFetcher(TileServer server, QObject* parent)
    : QObject(parent),
      m_Server(std::move(server)),
      m_Network(new QNetworkAccessManager(this)),
      m_Images(kMemoryTiles) {
    if (!m_Server.cacheFolder.isEmpty()) {
        auto* cache = new QNetworkDiskCache(m_Network);
        cache->setCacheDirectory(m_Server.cacheFolder);
        cache->setMaximumCacheSize(m_Server.cacheBytes);
        m_Network->setCache(cache);
    }
    m_Network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_Network->setTransferTimeout(m_Server.timeoutMs);
}

TileFetcher::~TileFetcher() = default;

const QImage* TileFetcher::Tile(const TileKey& key) {
    const uint64_t id = key.Id();
    if (const QImage* image = m_Images.object(id)) {
        return image;
    }
    if (m_Server.urlTemplate.isEmpty()) {
        return nullptr;  // no tile server: the map has no tiles
    }
    if (m_Asked.insert(id).second && m_Failed.count(id) == 0) {
        m_Queue.push_back(key);
        StartNext();
    }
    return nullptr;
}

void TileFetcher::KeepOnly(const std::set<uint64_t>& wanted) {
    for (auto it = m_Queue.begin(); it != m_Queue.end();) {
        if (wanted.count(it->Id()) == 0) {
            m_Asked.erase(it->Id());
            it = m_Queue.erase(it);
        } else {
            ++it;
        }
    }
}

void TileFetcher::StartNext() {
    while (m_Downloading < m_Server.parallel && !m_Queue.empty()) {
        const TileKey key = m_Queue.front();
        m_Queue.pop_front();
        QNetworkRequest request(QUrl(TileUrl(m_Server.urlTemplate, key)));
        request.setHeader(QNetworkRequest::UserAgentHeader, m_Server.userAgent);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::PreferCache);
        request.setMaximumRedirectsAllowed(kMostRedirects);
        QNetworkReply* reply = m_Network->get(request);
        ++m_Downloading;
        const int64_t largest = m_Server.largestTile;
        connect(reply, &QNetworkReply::downloadProgress, reply,
                [reply, largest](qint64 got, qint64 total) {
                    if (got > largest || total > largest) {
                        reply->abort();  // no tile is that large
                    }
                });
        connect(reply, &QNetworkReply::finished, this,
                [this, reply, key] { Finished(reply, key); });
    }
}

void TileFetcher::Finished(QNetworkReply* reply, const TileKey& key) {
    reply->deleteLater();
    --m_Downloading;
    m_Asked.erase(key.Id());
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    QImage image;
    const bool ok = reply->error() == QNetworkReply::NoError &&
                    type.startsWith(QLatin1String("image/")) &&
                    reply->bytesAvailable() <= m_Server.largestTile &&
                    image.loadFromData(reply->readAll()) && !image.isNull();
    if (ok) {
        m_Images.insert(key.Id(), new QImage(std::move(image)));
        emit TileArrived();
    } else {
        Fail(key);
    }
    StartNext();
}

void TileFetcher::Fail(const TileKey& key) {
    m_Failed.insert(key.Id());
    if (!m_AnyFailed) {
        m_AnyFailed = true;
        emit TilesFailed();
    }
}
