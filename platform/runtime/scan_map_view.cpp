#include "scan_map_view.h"

#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

#include "gui_runtime.h"

namespace runtime_impl {
namespace {

QScatterSeries* scatter(const char* name, QColor color, qreal size, QScatterSeries::MarkerShape shape) {
  auto* series = new QScatterSeries;
  series->setName(QLatin1String(name));
  series->setColor(color);
  series->setBorderColor(color.darker(140));
  series->setMarkerSize(size);
  series->setMarkerShape(shape);
  return series;
}

double at(const ScanMapState& s, int axis, int index) { return s.start[axis] + index * s.step[axis]; }

// The plane's extent along `axis`: its first and last point, in increasing order.
std::pair<double, double> extent(const ScanMapState& s, int axis) {
  const double a = at(s, axis, 0);
  const double b = at(s, axis, std::max(s.count[axis] - 1, 0));
  return std::minmax(a, b);
}

}  // namespace

// The view is built around its chart: a view made without one makes a default chart of its own,
// which setChart would then release to nobody.
ScanMap::ScanMap(QWidget* parent)
    : QChartView(new QChart, parent),
      planned_(scatter("planned", QColor(190, 190, 190), 6.0, QScatterSeries::MarkerShapeCircle)),
      outline_(new QLineSeries),
      done_(scatter("done", QColor(30, 150, 60), 7.0, QScatterSeries::MarkerShapeCircle)),
      timedOut_(scatter("timed out", QColor(215, 30, 30), 9.0, QScatterSeries::MarkerShapeRectangle)),
      marker_(scatter("stage", QColor(30, 80, 220), 14.0, QScatterSeries::MarkerShapeStar)),
      x_(new QValueAxis),
      y_(new QValueAxis) {
  outline_->setName(QStringLiteral("planned area"));
  outline_->setColor(QColor(160, 160, 160));
  QChart* chart = this->chart();
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setMargins(QMargins(2, 2, 2, 2));
  x_->setTitleText(QStringLiteral("x (mm)"));
  y_->setTitleText(QStringLiteral("y (mm)"));
  chart->addAxis(x_, Qt::AlignBottom);
  chart->addAxis(y_, Qt::AlignLeft);
  for (QXYSeries* series : {static_cast<QXYSeries*>(planned_), static_cast<QXYSeries*>(outline_),
                            static_cast<QXYSeries*>(done_), static_cast<QXYSeries*>(timedOut_),
                            static_cast<QXYSeries*>(marker_)}) {
    chart->addSeries(series);
    series->attachAxis(x_);
    series->attachAxis(y_);
  }
  setRenderHint(QPainter::Antialiasing);
  setMinimumSize(260, 220);
  draw(ScanMapState{});
}

void ScanMap::draw(const ScanMapState& s) {
  const bool gridChanged = s.gridVersion != gridVersion_;
  if (gridChanged) {
    QList<QPointF> points;
    QList<QPointF> edge;
    if (!s.outcome.empty()) {
      points.reserve(qsizetype(s.outcome.size()));
      for (int iy = 0; iy < s.count[1]; iy++) {
        for (int ix = 0; ix < s.count[0]; ix++) points.append({at(s, 0, ix), at(s, 1, iy)});
      }
    } else if (s.count[0] > 0 && s.count[1] > 0) {
      const auto [x0, x1] = extent(s, 0);
      const auto [y0, y1] = extent(s, 1);
      edge = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
    }
    planned_->replace(points);
    outline_->replace(edge);
    const qint64 total = qint64(std::max(s.count[0], 0)) * std::max(s.count[1], 0);
    QString title = QStringLiteral("Plane iz = %1 of %2, z = %3 mm")
                        .arg(s.plane)
                        .arg(s.planes)
                        .arg(s.z, 0, 'f', 3);
    if (s.outcome.empty() && total > 0) title += QStringLiteral(" (%1 points: outline only)").arg(total);
    chart()->setTitle(title);
    gridVersion_ = s.gridVersion;
  }
  if (gridChanged || s.outcomeVersion != outcomeVersion_) {
    QList<QPointF> done;
    QList<QPointF> timedOut;
    for (std::size_t i = 0; i < s.outcome.size(); i++) {
      if (s.outcome[i] == MAP_POINT_PLANNED) continue;
      const int ix = int(i % std::size_t(s.count[0]));
      const int iy = int(i / std::size_t(s.count[0]));
      (s.outcome[i] == MAP_POINT_TIMED_OUT ? timedOut : done).append({at(s, 0, ix), at(s, 1, iy)});
    }
    done_->replace(done);
    timedOut_->replace(timedOut);
    outcomeVersion_ = s.outcomeVersion;
  }
  if (gridChanged || s.markerVersion != markerVersion_) {
    marker_->replace(s.marker ? QList<QPointF>{{s.markerAt[0], s.markerAt[1]}} : QList<QPointF>{});
    markerVersion_ = s.markerVersion;
  }
  fitAxes(s);
}

void ScanMap::fitAxes(const ScanMapState& s) {
  // The plane and the marker, with a margin so that edge points are not cut in half.
  double lo[2] = {0.0, 0.0};
  double hi[2] = {1.0, 1.0};
  bool any = false;
  const auto include = [&](double x, double y) {
    const double p[2] = {x, y};
    for (int k = 0; k < 2; k++) {
      lo[k] = any ? std::min(lo[k], p[k]) : p[k];
      hi[k] = any ? std::max(hi[k], p[k]) : p[k];
    }
    any = true;
  };
  if (s.count[0] > 0 && s.count[1] > 0) {
    include(extent(s, 0).first, extent(s, 1).first);
    include(extent(s, 0).second, extent(s, 1).second);
  }
  if (s.marker) include(s.markerAt[0], s.markerAt[1]);
  QValueAxis* axes[2] = {x_, y_};
  for (int k = 0; k < 2; k++) {
    const double margin = std::max((hi[k] - lo[k]) * 0.05, 0.5);
    if (axes[k]->min() != lo[k] - margin || axes[k]->max() != hi[k] + margin) {
      axes[k]->setRange(lo[k] - margin, hi[k] + margin);
    }
  }
}

}  // namespace runtime_impl
