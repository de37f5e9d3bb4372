// SPDX-License-Identifier: GPL-3.0-or-later
// Tiles from a tile server on the loopback: fetched politely, cached on disk, and every kind of
// bad server survived with the map still drawn.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <set>

#include "LoopbackTileServer.h"
#include "TestSupport.h"
#include "WidgetTestSupport.h"
#include "map/MapView.h"

namespace {

const QColor kTileColour(120, 180, 120);
constexpr char kAgent[] = "Fenrik/9.9 (test)";

TileServer ServerAt(const QString& urlTemplate, const std::string& cacheFolder = "") {
    TileServer server;
    server.urlTemplate = urlTemplate;
    server.userAgent = QString::fromLatin1(kAgent);
    server.cacheFolder = QString::fromStdString(cacheFolder);
    return server;
}

// A map of 700 x 500 pixels over central Europe at zoom 6: 4 x 3 to 5 x 3 tiles in view.
std::unique_ptr<MapView> MapOver(const TileServer& server, bool withLine = true) {
    auto map = std::make_unique<MapView>(server, QStringLiteral("Test tiles"));
    map->resize(700, 500);
    map->SetLines({{{48.0, 11.0, 0.0}, {48.5, 11.5, 0.0}}});
    map->FitToContent();
    while (map->Zoom() > 6) {
        QTest::keyClick(map.get(), Qt::Key_Minus);
    }
    if (!withLine) {
        map->SetLines({});
    }
    return map;
}

bool ShowsTiles(MapView& map) {
    const QImage image = Grab(map);
    return image.pixelColor(10, 10) == kTileColour &&
           image.pixelColor(image.width() - 10, image.height() / 2) == kTileColour;
}

// Every tile in view has arrived (the map has no line on it).
bool ShowsOnlyTiles(MapView& map) {
    const QImage image = Grab(map);
    for (int y = 0; y < image.height() - 30; y += 20) {
        for (int x = 0; x < image.width(); x += 20) {
            if (image.pixelColor(x, y) != kTileColour) {
                return false;
            }
        }
    }
    return true;
}

class TileFetcherTest : public WidgetTest {
protected:
    TempDir m_Dir;
};

TEST_F(TileFetcherTest, TilesComeTwoAtATimeWithTheUserAgentAndOnlyForTheView) {
    LoopbackTileServer server;
    server.Hold();  // so that what is asked at once stays open, on any machine
    auto map = MapOver(ServerAt(server.UrlTemplate()));
    Grab(*map);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Requests() >= 2; }, 30000))
        << "the tiles should have been asked for in parallel";
    server.Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsTiles(*map); }, 30000));
    QTest::qWait(200);  // anything more it would ask for
    EXPECT_LE(server.MostAtOnce(), 2);
    EXPECT_EQ(server.MostAtOnce(), 2) << "the tiles should have been asked for in parallel";
    const std::vector<QByteArray> paths = server.Paths();
    EXPECT_GE(paths.size(), 12u);
    EXPECT_LE(paths.size(), 20u);
    EXPECT_EQ(std::set<QByteArray>(paths.begin(), paths.end()).size(), paths.size());
    for (const QByteArray& path : paths) {
        EXPECT_TRUE(path.startsWith("/6/")) << path.constData();
    }
    for (const QByteArray& agent : server.UserAgents()) {
        EXPECT_EQ(agent, QByteArray(kAgent));
    }
    EXPECT_FALSE(map->TilesFailed());
}

TEST_F(TileFetcherTest, ASecondOpeningTakesItsTilesFromTheDiskCache) {
    LoopbackTileServer server;
    const std::string cache = m_Dir.File("cache");
    {
        auto first = MapOver(ServerAt(server.UrlTemplate(), cache), false);
        ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsOnlyTiles(*first); }, 30000));
    }
    const int asked = server.Requests();
    ASSERT_GT(asked, 0);
    auto second = MapOver(ServerAt(server.UrlTemplate(), cache), false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsOnlyTiles(*second); }, 30000));
    QTest::qWait(200);
    EXPECT_EQ(server.Requests(), asked);
}

TEST_F(TileFetcherTest, AMovedViewDropsTheTilesItNoLongerShows) {
    LoopbackTileServer server;
    server.Hold();
    auto map = MapOver(ServerAt(server.UrlTemplate()));
    Grab(*map);  // asks for the view's tiles: two go out, the rest wait
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Requests() >= 2; }, 30000));
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(map.get(), Qt::Key_Plus);
        Grab(*map);
    }
    server.Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsTiles(*map); }, 30000));
    // The tiles of the first views that were still waiting were never asked for.
    int early = 0;
    for (const QByteArray& path : server.Paths()) {
        early += path.startsWith("/6/") || path.startsWith("/7/") ? 1 : 0;
    }
    EXPECT_LE(early, 4);
}

// Every kind of bad server: the map still draws its lines and graticule, says once that tiles
// could not be loaded, and keeps answering.
TEST_F(TileFetcherTest, BadServersOfEveryKindAreSurvived) {
    using B = LoopbackTileServer::Behaviour;
    const std::pair<B, const char*> kinds[] = {
        {B::WrongType, "wrong content type"}, {B::Huge, "10 MB response"},
        {B::BrokenPng, "broken PNG"},         {B::RedirectLoop, "redirect loop"},
        {B::Silent, "never answers"},         {B::Hangs, "hangs up"},
    };
    for (const auto& [behaviour, what] : kinds) {
        SCOPED_TRACE(what);
        LoopbackTileServer server(behaviour);
        TileServer tiles = ServerAt(server.UrlTemplate());
        tiles.timeoutMs = 300;  // a silent server never answers, however long it is given
        auto map = MapOver(tiles);
        QSignalSpy failed(map.get(), &MapView::TilesCouldNotBeLoaded);
        Grab(*map);
        ASSERT_TRUE(QTest::qWaitFor([&] { return map->TilesFailed(); }, 30000));
        QTest::qWait(300);
        Grab(*map);
        EXPECT_EQ(failed.count(), 1);
        EXPECT_FALSE(ShowsTiles(*map));
        const QPointF line = map->PointOf({48.25, 11.25, 0.0});
        EXPECT_NE(Grab(*map).pixelColor(line.toPoint()), kTileColour);
    }
}

TEST_F(TileFetcherTest, ARefusedConnectionIsAFailureToo) {
    QString closedPort;
    {
        LoopbackTileServer server;
        closedPort = server.UrlTemplate();
    }
    auto map = MapOver(ServerAt(closedPort));
    Grab(*map);
    EXPECT_TRUE(QTest::qWaitFor([&] { return map->TilesFailed(); }, 30000));
}

TEST(TileUrl, FillsTheTemplate) {
    EXPECT_EQ(TileUrl(QStringLiteral("http://127.0.0.1:8/{z}/{x}/{y}.png?k={z}"), {5, 17, 11}),
              QStringLiteral("http://127.0.0.1:8/5/17/11.png?k=5"));
}

}  // namespace
