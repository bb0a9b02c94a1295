// The scan map's widget: one XY plane of a scan grid drawn with Qt Charts, its planned points,
// the visited ones by outcome and a marker at the stages' position.
#pragma once

#include <QChartView>

#include <vector>

class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace runtime_impl {

// What the map shows; the versions tell the widget which parts changed since its last draw.
struct ScanMapState {
  int count[2] = {0, 0};
  double start[2] = {0.0, 0.0};
  double step[2] = {0.0, 0.0};
  int plane = 0;
  int planes = 0;
  double z = 0.0;
  std::vector<unsigned char> outcome;  // MAP_POINT_* by ix + iy * count[0]; empty for an outline
  bool marker = false;
  double markerAt[2] = {0.0, 0.0};
  unsigned gridVersion = 0;
  unsigned outcomeVersion = 0;
  unsigned markerVersion = 0;
};

class ScanMap : public QChartView {
  Q_OBJECT

 public:
  explicit ScanMap(QWidget* parent = nullptr);

  // GUI thread: brings the plot to `state`, redrawing only the parts whose version changed.
  void draw(const ScanMapState& state);

 private:
  void fitAxes(const ScanMapState& state);

  QScatterSeries* planned_;
  QLineSeries* outline_;  // the plane's edge, for planes too large to draw point by point
  QScatterSeries* done_;
  QScatterSeries* timedOut_;
  QScatterSeries* marker_;
  QValueAxis* x_;
  QValueAxis* y_;
  // The versions last drawn; none at first, so the first draw draws everything.
  unsigned gridVersion_ = ~0u;
  unsigned outcomeVersion_ = ~0u;
  unsigned markerVersion_ = ~0u;
};

}  // namespace runtime_impl
