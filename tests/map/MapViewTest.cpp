// SPDX-License-Identifier: GPL-3.0-or-later
// The map without tiles: Web Mercator, what is drawn where, the 180th meridian and the poles,
// and the ways to move the view.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

#include "WidgetTestSupport.h"
#include "map/MapView.h"

namespace {

const QColor kMarker(10, 200, 240);

std::unique_ptr<MapView> Map(int width = 600, int height = 400) {
    auto map = std::make_unique<MapView>(TileServer{}, QStringLiteral("Attribution"));
    map->resize(width, height);
    return map;
}

bool Near(const QPointF& a, const QPointF& b, double pixels = 0.5) {
    return std::abs(a.x() - b.x()) <= pixels && std::abs(a.y() - b.y()) <= pixels;
}

GeoPosition At(double latitude, double longitude) {
    return {latitude, longitude, 0.0};
}

// The track's red, however the pen's edge is smoothed.
bool IsLine(const QColor& colour) {
    return colour.red() > 150 && colour.green() < 90 && colour.blue() < 90;
}

class MapViewTest : public WidgetTest {};

TEST(WebMercator, MapsTheWorldOntoTheUnitSquare) {
    const WorldPoint centre = ToWorld(0, 0);
    EXPECT_DOUBLE_EQ(centre.x, 0.5);
    EXPECT_NEAR(centre.y, 0.5, 1e-12);
    EXPECT_NEAR(ToWorld(kMercatorLimit, -180).y, 0.0, 1e-9);
    EXPECT_NEAR(ToWorld(-kMercatorLimit, 0).y, 1.0, 1e-9);
    EXPECT_DOUBLE_EQ(ToWorld(0, 180).x, ToWorld(0, -180).x);  // the same meridian
    EXPECT_NEAR(ToWorld(0, 190).x, ToWorld(0, -170).x, 1e-12);
    // Beyond the limit, up to the poles, a position is drawn at the edge, never at infinity.
    for (const double latitude : {89.999, 90.0, -90.0}) {
        const WorldPoint edge = ToWorld(latitude, 10);
        EXPECT_TRUE(std::isfinite(edge.y));
        EXPECT_NEAR(edge.y, latitude > 0 ? 0.0 : 1.0, 1e-9);
    }
    const GeoPosition back = FromWorld(ToWorld(46.5, 14.25));
    EXPECT_NEAR(back.latitude, 46.5, 1e-9);
    EXPECT_NEAR(back.longitude, 14.25, 1e-9);
}

TEST_F(MapViewTest, MarkersAreDrawnWhereTheirPositionsProjectAndFound) {
    auto map = Map();
    map->SetLines({{At(46.70, 14.30), At(46.80, 14.50)}});
    map->SetMarkers({{At(46.72, 14.34), kMarker}, {At(46.78, 14.46), kMarker}});
    map->FitToContent();
    EXPECT_GE(map->Zoom(), 10);
    const QImage image = Grab(*map);
    for (const GeoPosition& position : {At(46.72, 14.34), At(46.78, 14.46)}) {
        const QPointF at = map->PointOf(position);
        ASSERT_TRUE(QRectF(map->rect()).contains(at));
        EXPECT_EQ(image.pixelColor(at.toPoint()), kMarker);
    }
    QSignalSpy clicked(map.get(), &MapView::MarkerClicked);
    QSignalSpy hovered(map.get(), &MapView::MarkerHovered);
    const QPointF over = map->PointOf(At(46.78, 14.46));
    QMouseEvent move(QEvent::MouseMove, over, map->mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(map.get(), &move);
    QTest::mouseClick(map.get(), Qt::LeftButton, {}, map->PointOf(At(46.72, 14.34)).toPoint());
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toInt(), 0);
    ASSERT_GE(hovered.count(), 1);
    EXPECT_EQ(hovered[0][0].toInt(), 1);
}

TEST_F(MapViewTest, ATrackAcrossTheDateLineIsShortAndMarkersLieOnIt) {
    auto map = Map();
    // 22 km along the equator, across the 180th meridian.
    map->SetLines({{At(0.0, 179.9), At(0.0, -179.9)}});
    map->SetMarkers({{At(0.0, -179.95), kMarker}});
    map->FitToContent();
    EXPECT_GE(map->Zoom(), 9);  // not the whole world
    const QPointF west = map->PointOf(At(0.0, 179.9));
    const QPointF east = map->PointOf(At(0.0, -179.9));
    EXPECT_LT(west.x(), east.x());
    EXPECT_LT(east.x() - west.x(), 400);
    const QPointF marker = map->PointOf(At(0.0, -179.95));
    EXPECT_GT(marker.x(), west.x());
    EXPECT_LT(marker.x(), east.x());
    const QImage image = Grab(*map);
    EXPECT_EQ(image.pixelColor(marker.toPoint()), kMarker);
    // The line between is drawn, not the long way round.
    const QPointF between = (west + marker) / 2;
    EXPECT_TRUE(IsLine(image.pixelColor(between.toPoint())));
    EXPECT_FALSE(IsLine(image.pixelColor(QPoint(int(west.x()) - 20, int(west.y())))));
}

TEST_F(MapViewTest, LinesAlongAParallelAndAMeridianAreDrawn) {
    auto map = Map();
    map->SetLines({{At(46.05, 14.0), At(46.05, 14.6)}, {At(46.0, 14.3), At(46.1, 14.3)}});
    map->FitToContent();
    const QImage image = Grab(*map);
    EXPECT_TRUE(IsLine(image.pixelColor(map->PointOf(At(46.05, 14.15)).toPoint())));
    EXPECT_TRUE(IsLine(image.pixelColor(map->PointOf(At(46.02, 14.3)).toPoint())));
    // Zoomed in until both ends of each leg lie far outside the view: still drawn across it.
    map->CenterOn(At(46.05, 14.3));
    for (int step = 0; step < 6; ++step) {
        QTest::keyClick(map.get(), Qt::Key_Plus);
    }
    ASSERT_FALSE(QRectF(map->rect()).contains(map->PointOf(At(46.05, 14.0))));
    const QImage zoomed = Grab(*map);
    EXPECT_TRUE(IsLine(zoomed.pixelColor(map->PointOf(At(46.05, 14.301)).toPoint())));
    EXPECT_TRUE(IsLine(zoomed.pixelColor(map->PointOf(At(46.051, 14.3)).toPoint())));
}

TEST_F(MapViewTest, ATrackNearThePoleIsDrawnAtTheEdgeOfTheMap) {
    auto map = Map();
    map->SetLines({{At(84.0, 20.0), At(89.5, 40.0), At(90.0, 60.0)}});
    map->SetMarkers({{At(89.9, 30.0), kMarker}});
    map->FitToContent();
    const QPointF marker = map->PointOf(At(89.9, 30.0));
    EXPECT_TRUE(std::isfinite(marker.x()) && std::isfinite(marker.y()));
    EXPECT_TRUE(QRectF(map->rect()).contains(marker));
    EXPECT_EQ(Grab(*map).pixelColor(marker.toPoint()), kMarker);
}

TEST_F(MapViewTest, KeysTheWheelAndADragMoveTheView) {
    auto map = Map();
    map->SetLines({{At(48.0, 11.0), At(48.2, 11.4)}});
    map->FitToContent();
    const GeoPosition place = At(48.1, 11.2);
    const int zoom = map->Zoom();
    QPointF before = map->PointOf(place);
    QTest::keyClick(map.get(), Qt::Key_Right);  // the view moves east: the place moves left
    EXPECT_TRUE(Near(map->PointOf(place), before - QPointF(64, 0)));
    QTest::keyClick(map.get(), Qt::Key_Up);
    EXPECT_TRUE(Near(map->PointOf(place), before + QPointF(-64, 64)));
    QTest::keyClick(map.get(), Qt::Key_Plus);
    EXPECT_EQ(map->Zoom(), zoom + 1);
    QTest::keyClick(map.get(), Qt::Key_Minus);
    QTest::keyClick(map.get(), Qt::Key_Minus);
    EXPECT_EQ(map->Zoom(), zoom - 1);

    // The wheel zooms about the pointer: the place under it stays there.
    before = map->PointOf(place);
    QWheelEvent wheel(before, map->mapToGlobal(before), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(map.get(), &wheel);
    EXPECT_EQ(map->Zoom(), zoom);
    EXPECT_TRUE(Near(map->PointOf(place), before));

    before = map->PointOf(place);
    QTest::mousePress(map.get(), Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(130, 80), map->mapToGlobal(QPointF(130, 80)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(map.get(), &move);
    QTest::mouseRelease(map.get(), Qt::LeftButton, {}, QPoint(130, 80));
    EXPECT_TRUE(Near(map->PointOf(place), before + QPointF(30, -20)));
}

TEST_F(MapViewTest, ALongTrackIsDrawnAtEveryZoomAndWithoutTilesAGraticuleShows) {
    auto map = Map();
    std::vector<GeoPosition> line;
    for (int i = 0; i < 100000; ++i) {  // a spiral, densely logged
        const double angle = i * 0.001;
        line.push_back(
            At(46.0 + 0.002 * angle * std::sin(angle), 14.0 + 0.003 * angle * std::cos(angle)));
    }
    map->SetLines({line});
    map->FitToContent();
    for (int step = 0; step < 4; ++step) {
        const QImage image = Grab(*map);
        const QPointF last = map->PointOf(line.back());
        if (QRectF(map->rect()).contains(last)) {
            EXPECT_NE(image.pixelColor(last.toPoint()), image.pixelColor(2, 2)) << step;
        }
        QTest::keyClick(map.get(), Qt::Key_Plus);
    }
    // Lines of the graticule cross an empty map.
    auto empty = Map();
    const QImage image = Grab(*empty);
    std::set<QRgb> colours;
    for (int x = 0; x < image.width(); ++x) {
        colours.insert(image.pixel(x, image.height() / 3));
    }
    EXPECT_GE(colours.size(), 2u);
}

}  // namespace
