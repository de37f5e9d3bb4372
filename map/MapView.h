// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A slippy map drawn with QPainter: tiles under lines (the track's segments), small marks
// (waypoints) and round markers (photos), with the tiles' attribution always in view. Without
// tiles it draws a plain background with a graticule. Zoom with the wheel, + and - and a pinch;
// pan by dragging and with the arrow keys. GUI thread only.

#include <QColor>
#include <QPolygonF>
#include <QString>
#include <QWidget>
#include <map>
#include <vector>

#include "map/TileFetcher.h"
#include "map/WebMercator.h"

struct MapMarker {
    GeoPosition position;
    QColor colour;
};

class MapView : public QWidget {
    Q_OBJECT
public:
    MapView(TileServer server, QString attribution, QWidget* parent = nullptr);

    // The lines, each a segment's positions in order, and the marks.
    void SetLines(const std::vector<std::vector<GeoPosition>>& lines);
    void SetMarks(const std::vector<GeoPosition>& marks);
    void SetMarkers(std::vector<MapMarker> markers);
    // Outlines marker `index` (-1: none).
    void SelectMarker(int index);
    // Shows everything the lines, marks and markers cover, and keeps doing so as the widget is
    // resized until the view is moved.
    void FitToContent();
    void CenterOn(const GeoPosition& position);

    int Zoom() const { return m_Zoom; }
    // The widget point where `position` is drawn now.
    QPointF PointOf(const GeoPosition& position) const;
    bool TilesFailed() const { return m_Fetcher->AnyFailed(); }

signals:
    void MarkerHovered(int index);
    void MarkerClicked(int index);
    // Once, at the first tile that could not be loaded.
    void TilesCouldNotBeLoaded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // World coordinates of a widget point, and back (x not wrapped).
    WorldPoint WorldAt(const QPointF& point) const;
    QPointF PointAt(const WorldPoint& world) const;
    double WorldPixels() const;
    void ZoomBy(int steps, const QPointF& about);
    void PanBy(const QPointF& pixels);
    void PaintTiles(QPainter& painter);
    void PaintGraticule(QPainter& painter);
    void PaintLines(QPainter& painter);
    // The pieces of `line` (shifted by `copy` worlds) whose legs cross the view, in widget points.
    std::vector<QPolygonF> VisibleRuns(const std::vector<WorldPoint>& line, double copy) const;
    void PaintMarkers(QPainter& painter);
    void PaintAttribution(QPainter& painter);
    // The lines with points closer than a pixel to the last one kept dropped, for `zoom`.
    const std::vector<std::vector<WorldPoint>>& LinesAt(int zoom);
    int MarkerAt(const QPointF& point) const;

    TileFetcher* m_Fetcher;
    QString m_Attribution;
    int m_Zoom = 2;
    WorldPoint m_Center{0.5, 0.5};
    std::vector<std::vector<WorldPoint>> m_Lines;  // unwrapped across the 180th meridian
    std::map<int, std::vector<std::vector<WorldPoint>>> m_Simplified;  // by zoom
    std::vector<WorldPoint> m_Marks;
    std::vector<MapMarker> m_Markers;
    std::vector<WorldPoint> m_MarkerPoints;
    int m_Selected = -1;
    int m_Hovered = -1;
    bool m_Dragging = false;
    QPointF m_DragFrom;
    double m_PinchScale = 1.0;
    bool m_Fitted = false;  // fitted to the content, and not moved since
};
