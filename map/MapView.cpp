// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/MapView.h"

#include <QGestureEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPinchGesture>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <set>

namespace {

constexpr int kTileSize = 256;
constexpr int kMinZoom = 1;
constexpr int kMaxZoom = 19;
constexpr double kMarkerRadius = 6.0;
const QColor kLand(232, 228, 216);
const QColor kLine(200, 30, 30);

WorldPoint Shifted(const WorldPoint& p, double dx) {
    return {p.x + dx, p.y};
}

// A round number of degrees at least `least`.
double GraticuleStep(double least) {
    for (const double step : {0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 30.0}) {
        if (step >= least) {
            return step;
        }
    }
    return 60.0;
}

}  // namespace

MapView::MapView(TileServer server, QString attribution, QWidget* parent)
    : QWidget(parent),
      m_Fetcher(new TileFetcher(std::move(server), this)),
      m_Attribution(std::move(attribution)) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(240, 200);
    setAttribute(Qt::WA_AcceptTouchEvents);
    grabGesture(Qt::PinchGesture);
    connect(m_Fetcher, &TileFetcher::TileArrived, this, qOverload<>(&QWidget::update));
    connect(m_Fetcher, &TileFetcher::TilesFailed, this, [this] {
        update();
        emit TilesCouldNotBeLoaded();
    });
}

void MapView::SetLines(const std::vector<std::vector<GeoPosition>>& lines) {
    m_Lines.clear();
    m_Simplified.clear();
    for (const std::vector<GeoPosition>& line : lines) {
        std::vector<WorldPoint> world;
        for (const GeoPosition& position : line) {
            WorldPoint point = ToWorld(position.latitude, position.longitude);
            if (!world.empty()) {  // the short way across the 180th meridian
                point.x += std::round(world.back().x - point.x);
            }
            world.push_back(point);
        }
        m_Lines.push_back(std::move(world));
    }
    update();
}

void MapView::SetMarks(const std::vector<GeoPosition>& marks) {
    m_Marks.clear();
    for (const GeoPosition& mark : marks) {
        m_Marks.push_back(ToWorld(mark.latitude, mark.longitude));
    }
    update();
}

void MapView::SetMarkers(std::vector<MapMarker> markers) {
    m_Markers = std::move(markers);
    m_MarkerPoints.clear();
    for (const MapMarker& marker : m_Markers) {
        m_MarkerPoints.push_back(ToWorld(marker.position.latitude, marker.position.longitude));
    }
    if (m_Selected >= static_cast<int>(m_Markers.size())) {
        m_Selected = -1;
    }
    update();
}

void MapView::SelectMarker(int index) {
    m_Selected = index;
    update();
}

void MapView::FitToContent() {
    m_Fitted = true;
    std::vector<WorldPoint> points;
    for (const auto& line : m_Lines) {
        points.insert(points.end(), line.begin(), line.end());
    }
    points.insert(points.end(), m_Marks.begin(), m_Marks.end());
    points.insert(points.end(), m_MarkerPoints.begin(), m_MarkerPoints.end());
    if (points.empty()) {
        return;  // nothing to show
    }
    // Each point in the copy of the world nearest the first: content across the 180th meridian
    // stays together.
    const double reference = points.front().x;
    double left = 2, right = -2, top = 2, bottom = -2;
    for (WorldPoint p : points) {
        p.x += std::round(reference - p.x);
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    m_Center = {(left + right) / 2, (top + bottom) / 2};
    m_Zoom = kMinZoom;
    const double width = std::max(1, this->width() - 40);
    const double height = std::max(1, this->height() - 40);
    while (m_Zoom < 17 && (right - left) * kTileSize * (1 << (m_Zoom + 1)) <= width &&
           (bottom - top) * kTileSize * (1 << (m_Zoom + 1)) <= height) {
        ++m_Zoom;
    }
    update();
}

void MapView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_Fitted) {
        FitToContent();
    }
}

void MapView::CenterOn(const GeoPosition& position) {
    m_Fitted = false;
    m_Center = ToWorld(position.latitude, position.longitude);
    update();
}

double MapView::WorldPixels() const {
    return static_cast<double>(kTileSize) * (1 << m_Zoom);
}

WorldPoint MapView::WorldAt(const QPointF& point) const {
    return {m_Center.x + (point.x() - width() / 2.0) / WorldPixels(),
            m_Center.y + (point.y() - height() / 2.0) / WorldPixels()};
}

QPointF MapView::PointAt(const WorldPoint& world) const {
    return {(world.x - m_Center.x) * WorldPixels() + width() / 2.0,
            (world.y - m_Center.y) * WorldPixels() + height() / 2.0};
}

QPointF MapView::PointOf(const GeoPosition& position) const {
    WorldPoint world = ToWorld(position.latitude, position.longitude);
    world.x += std::round(m_Center.x - world.x);  // the copy of the world in view
    return PointAt(world);
}

void MapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kLand);
    PaintGraticule(painter);  // under the tiles, in view where they are missing
    PaintTiles(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintLines(painter);
    PaintMarkers(painter);
    PaintAttribution(painter);
}

void MapView::PaintTiles(QPainter& painter) {
    const int tiles = TilesAcross(m_Zoom);
    const WorldPoint topLeft = WorldAt(QPointF(0, 0));
    const WorldPoint bottomRight = WorldAt(QPointF(width(), height()));
    std::set<uint64_t> wanted;
    for (int ty = std::max(0, int(std::floor(topLeft.y * tiles)));
         ty <= std::min(tiles - 1, int(std::floor(bottomRight.y * tiles))); ++ty) {
        for (int tx = int(std::floor(topLeft.x * tiles));
             tx <= int(std::floor(bottomRight.x * tiles)); ++tx) {
            const TileKey key{m_Zoom, ((tx % tiles) + tiles) % tiles, ty};
            wanted.insert(key.Id());
            if (const QImage* image = m_Fetcher->Tile(key)) {
                const QPointF at = PointAt({double(tx) / tiles, double(ty) / tiles});
                painter.drawImage(QRectF(at, QSizeF(kTileSize, kTileSize)), *image);
            }
        }
    }
    m_Fetcher->KeepOnly(wanted);
}

void MapView::PaintGraticule(QPainter& painter) {
    painter.setPen(QPen(QColor(170, 165, 150), 1));
    const double step = GraticuleStep(100.0 * 360.0 / WorldPixels());
    const GeoPosition topLeft = FromWorld(WorldAt(QPointF(0, 0)));
    const GeoPosition bottomRight = FromWorld(WorldAt(QPointF(width(), height())));
    const WorldPoint left = WorldAt(QPointF(0, 0));
    for (double x = std::floor(left.x * 360.0 / step) * step / 360.0;
         PointAt({x, 0}).x() <= width(); x += step / 360.0) {
        painter.drawLine(QPointF(PointAt({x, 0}).x(), 0), QPointF(PointAt({x, 0}).x(), height()));
    }
    for (double lat = std::floor(bottomRight.latitude / step) * step; lat <= topLeft.latitude;
         lat += step) {
        const double y = PointAt(ToWorld(lat, 0)).y();
        painter.drawLine(QPointF(0, y), QPointF(width(), y));
    }
}

const std::vector<std::vector<WorldPoint>>& MapView::LinesAt(int zoom) {
    auto found = m_Simplified.find(zoom);
    if (found != m_Simplified.end()) {
        return found->second;
    }
    const double pixel = 1.0 / (static_cast<double>(kTileSize) * (1 << zoom));
    std::vector<std::vector<WorldPoint>> simplified;
    for (const auto& line : m_Lines) {
        std::vector<WorldPoint> kept;
        for (size_t i = 0; i < line.size(); ++i) {
            if (kept.empty() || i + 1 == line.size() ||
                std::hypot(line[i].x - kept.back().x, line[i].y - kept.back().y) >= pixel) {
                kept.push_back(line[i]);
            }
        }
        simplified.push_back(std::move(kept));
    }
    return m_Simplified.emplace(zoom, std::move(simplified)).first->second;
}

std::vector<QPolygonF> MapView::VisibleRuns(const std::vector<WorldPoint>& line,
                                            double copy) const {
    // The pen's width counts: a leg along a parallel has an empty bounding rectangle.
    const QRectF view = QRectF(rect()).adjusted(-3, -3, 3, 3);
    std::vector<QPolygonF> runs;
    QPolygonF run;
    QPointF previous;
    for (size_t i = 0; i < line.size(); ++i) {
        const QPointF at = PointAt(Shifted(line[i], copy));
        const bool legVisible =
            i > 0 &&
            QRectF(previous, at).normalized().adjusted(-0.5, -0.5, 0.5, 0.5).intersects(view);
        if (legVisible) {
            if (run.isEmpty()) {
                run << previous;
            }
            run << at;
        } else if (!run.isEmpty()) {
            runs.push_back(std::move(run));
            run = QPolygonF();
        }
        previous = at;
    }
    if (!run.isEmpty()) {
        runs.push_back(std::move(run));
    }
    return runs;
}

void MapView::PaintLines(QPainter& painter) {
    painter.setPen(QPen(kLine, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const double copy : {-1.0, 0.0, 1.0}) {
        for (const auto& line : LinesAt(m_Zoom)) {
            for (const QPolygonF& run : VisibleRuns(line, copy)) {
                painter.drawPolyline(run);
            }
        }
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::yellow);
    for (const WorldPoint& mark : m_Marks) {
        const QPointF at = PointAt(Shifted(mark, std::round(m_Center.x - mark.x)));
        painter.drawRect(QRectF(at - QPointF(3, 3), QSizeF(6, 6)));
    }
}

void MapView::PaintMarkers(QPainter& painter) {
    for (size_t i = 0; i < m_Markers.size(); ++i) {
        const WorldPoint world = m_MarkerPoints[i];
        const QPointF at = PointAt(Shifted(world, std::round(m_Center.x - world.x)));
        const bool selected = static_cast<int>(i) == m_Selected;
        painter.setPen(QPen(selected ? Qt::black : Qt::white, selected ? 3 : 1.5));
        painter.setBrush(m_Markers[i].colour);
        const double radius =
            selected || static_cast<int>(i) == m_Hovered ? kMarkerRadius + 2 : kMarkerRadius;
        painter.drawEllipse(at, radius, radius);
    }
}

void MapView::PaintAttribution(QPainter& painter) {
    const QFontMetrics metrics(font());
    const auto box = [&](const QString& text, bool right) {
        const QRect bounds = metrics.boundingRect(text).adjusted(-4, -2, 4, 2);
        const QPoint at = right
                              ? QPoint(width() - bounds.width() - 2, height() - bounds.height() - 2)
                              : QPoint(2, height() - bounds.height() - 2);
        const QRect area(at, bounds.size());
        painter.fillRect(area, QColor(255, 255, 255, 200));
        painter.setPen(Qt::black);
        painter.drawText(area, Qt::AlignCenter, text);
    };
    box(m_Attribution, true);
    if (m_Fetcher->AnyFailed()) {
        box(tr("Map tiles could not be loaded"), false);
    }
}

int MapView::MarkerAt(const QPointF& point) const {
    int best = -1;
    double bestDistance = kMarkerRadius + 3;
    for (size_t i = 0; i < m_MarkerPoints.size(); ++i) {
        const WorldPoint world = m_MarkerPoints[i];
        const QPointF at = PointAt(Shifted(world, std::round(m_Center.x - world.x)));
        const double distance = std::hypot(at.x() - point.x(), at.y() - point.y());
        if (distance <= bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

void MapView::ZoomBy(int steps, const QPointF& about) {
    const int zoom = std::clamp(m_Zoom + steps, kMinZoom, kMaxZoom);
    if (zoom == m_Zoom) {
        return;
    }
    m_Fitted = false;
    const WorldPoint fixed = WorldAt(about);
    m_Zoom = zoom;
    const WorldPoint moved = WorldAt(about);
    m_Center = {m_Center.x + fixed.x - moved.x, m_Center.y + fixed.y - moved.y};
    update();
}

void MapView::PanBy(const QPointF& pixels) {
    m_Fitted = false;
    m_Center.x -= pixels.x() / WorldPixels();
    m_Center.y = std::clamp(m_Center.y - pixels.y() / WorldPixels(), 0.0, 1.0);
    m_Center.x -= std::floor(m_Center.x);
    update();
}

void MapView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    ZoomBy(steps != 0 ? steps : (event->angleDelta().y() > 0 ? 1 : -1), event->position());
    event->accept();
}

void MapView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const int marker = MarkerAt(event->position());
    if (marker >= 0) {
        emit MarkerClicked(marker);
        return;
    }
    m_Dragging = true;
    m_DragFrom = event->position();
}

void MapView::mouseMoveEvent(QMouseEvent* event) {
    if (m_Dragging) {
        PanBy(event->position() - m_DragFrom);
        m_DragFrom = event->position();
        return;
    }
    const int marker = MarkerAt(event->position());
    if (marker != m_Hovered) {
        m_Hovered = marker;
        update();
        if (marker >= 0) {
            emit MarkerHovered(marker);
        }
    }
}

void MapView::mouseReleaseEvent(QMouseEvent*) {
    m_Dragging = false;
}

void MapView::keyPressEvent(QKeyEvent* event) {
    const QPointF middle(width() / 2.0, height() / 2.0);
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return ZoomBy(1, middle);
        case Qt::Key_Minus:
            return ZoomBy(-1, middle);
        case Qt::Key_Left:
            return PanBy(QPointF(64, 0));
        case Qt::Key_Right:
            return PanBy(QPointF(-64, 0));
        case Qt::Key_Up:
            return PanBy(QPointF(0, 64));
        case Qt::Key_Down:
            return PanBy(QPointF(0, -64));
        default:
            QWidget::keyPressEvent(event);
    }
}

bool MapView::event(QEvent* event) {
    if (event->type() == QEvent::NativeGesture) {
        const auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            m_PinchScale *= 1.0 + gesture->value();
        }
    } else if (event->type() == QEvent::Gesture) {
        auto* gestures = static_cast<QGestureEvent*>(event);
        if (auto* pinch = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture))) {
            m_PinchScale *= pinch->scaleFactor();
            gestures->accept(pinch);
        }
    } else {
        return QWidget::event(event);
    }
    // A pinch zooms a level for each doubling or halving.
    while (m_PinchScale >= 2.0 || m_PinchScale <= 0.5) {
        const int step = m_PinchScale >= 2.0 ? 1 : -1;
        ZoomBy(step, QPointF(width() / 2.0, height() / 2.0));
        m_PinchScale = step > 0 ? m_PinchScale / 2.0 : m_PinchScale * 2.0;
    }
    return true;
}
