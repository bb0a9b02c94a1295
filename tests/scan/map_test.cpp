// The live map through the real panel on the simulated rig: the typed grid previewed, visited
// points coloured by outcome, the plane's z index, and the marker at the stages' position.
#include <gtest/gtest.h>

#include <QChart>
#include <QScatterSeries>
#include <QXYSeries>

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "rig.h"
#include "runtime_testing.h"
#include "scan_map_view.h"

namespace {

using motion_sim::kSerials;
using Points = std::vector<std::pair<double, double>>;

// What the map widget shows, read on the GUI thread.
struct Shown {
  Points planned, outline, done, timedOut, marker;
  std::string title;
};

Points sorted(const QXYSeries* series) {
  Points points;
  for (const QPointF& p : series->points()) points.emplace_back(p.x(), p.y());
  std::sort(points.begin(), points.end());
  return points;
}

Shown readMap(Operator& op) {
  Shown s;
  op.onGuiThread([&] {
    auto* map = qobject_cast<runtime_impl::ScanMap*>(runtime_testing::controlWidget(p1_h, PANEL_SCAN_MAP));
    if (!map) return;
    s.title = map->chart()->title().toStdString();
    for (const QAbstractSeries* a : map->chart()->series()) {
      const auto* series = qobject_cast<const QXYSeries*>(a);
      const QString name = series->name();
      Points* into = name == u"planned"        ? &s.planned
                     : name == u"planned area" ? &s.outline
                     : name == u"done"         ? &s.done
                     : name == u"timed out"    ? &s.timedOut
                                               : &s.marker;
      *into = sorted(series);
    }
  });
  return s;
}

// The points of an nx x ny plane, sorted.
Points plane(int nx, int ny, double x0, double dx, double y0, double dy) {
  Points points;
  for (int iy = 0; iy < ny; iy++) {
    for (int ix = 0; ix < nx; ix++) points.emplace_back(x0 + ix * dx, y0 + iy * dy);
  }
  std::sort(points.begin(), points.end());
  return points;
}

// Waits until the map satisfies `holds`; reports what it showed last otherwise.
void expectMap(Operator& op, const std::function<bool(const Shown&)>& holds) {
  Shown last;
  const bool ok = op.waitFor([&] {
    last = readMap(op);
    return holds(last);
  }, 20.0);
  EXPECT_TRUE(ok) << "map shows \"" << last.title << "\", " << last.planned.size() << " planned, "
                  << last.done.size() << " done, " << last.timedOut.size() << " timed out, "
                  << last.marker.size() << " marker";
}

class ScanMapTest : public SimulatedRigTest {
 protected:
  ScanMapTest() : SimulatedRigTest(200.0) {}
};

TEST_F(ScanMapTest, PreviewFollowsTheTypedGrid) {
  struct Case {
    const char* what;
    Grid grid;
    Points planned;       // empty: shown as an outline
    Points outline;
    std::string title;
  };
  const Case cases[] = {
      {"3 x 2 in plane 0 of 4", {{3, 2, 4}, {1, 1, 1}}, plane(3, 2, 10, 1, 20, 2), {},
       "Plane iz = 0 of 4, z = 5.000 mm"},
      {"x unticked: one point per row, at x0", {{5, 3, 1}, {0, 1, 1}}, plane(1, 3, 10, 1, 20, 2), {},
       "Plane iz = 0 of 1, z = 5.000 mm"},
      {"negative steps", {{2, 2, 2}, {1, 1, 1}, {10, 20, 8}, {-1, -3, -0.5}},
       plane(2, 2, 10, -1, 20, -3), {}, "Plane iz = 0 of 2, z = 8.000 mm"},
      {"150 x 100: too many to draw, shown as its outline", {{150, 100, 1}, {1, 1, 1}}, {},
       {{10, 20}, {10, 20}, {10, 218}, {159, 20}, {159, 218}},
       "Plane iz = 0 of 1, z = 5.000 mm (15000 points: outline only)"},
  };
  const int result = RunQuarlex([&](Operator& op) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      TypeGrid(op, c.grid);
      expectMap(op, [&](const Shown& s) {
        return s.title == c.title && s.planned == c.planned && s.outline == c.outline &&
               s.done.empty() && s.timedOut.empty();
      });
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanMapTest, VisitedPointsAreColouredByOutcomeAndStayUntilTheGridChanges) {
  struct Case {
    const char* what;
    int neverCompletes;  // axis whose moves never report completion, -1 for none
    bool timedOut;       // every point then times out
  };
  const Case cases[] = {
      {"a clean scan: every point done", -1, false},
      {"y never completes: every point timed out", 1, true},
      {"x never completes: every point timed out", 0, true},
      {"a clean scan again: the colours of the last scan are gone", -1, false},
  };
  const Grid grid = {{3, 2, 1}, {1, 1, 1}};
  const Points points = plane(3, 2, 10, 1, 20, 2);
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    TypeGrid(op, grid);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      for (int k = 0; k < 3; k++) motion_sim::neverComplete(kSerials[k], k == c.neverCompletes);
      RunScan(op);
      const Points none;
      expectMap(op, [&](const Shown& s) {
        return s.planned == points && s.done == (c.timedOut ? none : points) &&
               s.timedOut == (c.timedOut ? points : none);
      });
    }
    for (int k = 0; k < 3; k++) motion_sim::neverComplete(kSerials[k], false);
    // The idle refresh keeps the scan's colours while the grid stays as it was...
    const Shown after = readMap(op);
    ASSERT_EQ(after.done, points);
    // A second of real time: hundreds of refreshes at this clock speed.
    EXPECT_FALSE(op.waitFor([&] { return readMap(op).done != points; }, 1.0));
    // ...and a changed grid replaces them with its preview.
    TypeGrid(op, {{2, 2, 1}, {1, 1, 1}});
    expectMap(op, [&](const Shown& s) {
      return s.planned == plane(2, 2, 10, 1, 20, 2) && s.done.empty() && s.timedOut.empty();
    });
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanMapTest, ShowsThePlaneTheScanIsOnWithItsZIndex) {
  struct Case {
    int planes;
    std::string title;  // after the scan: its last plane
  };
  const Case cases[] = {
      {1, "Plane iz = 0 of 1, z = 5.000 mm"},
      {2, "Plane iz = 1 of 2, z = 5.500 mm"},
      {3, "Plane iz = 2 of 3, z = 6.000 mm"},
  };
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.planes);
      TypeGrid(op, {{2, 2, c.planes}, {1, 1, 1}});
      runtime_testing::recordWrites(p1_h, PANEL_IZ);
      RunScan(op);
      // Each plane starts with none of its points visited: the last one shows its own four.
      expectMap(op, [&](const Shown& s) {
        return s.title == c.title && s.done == plane(2, 2, 10, 1, 20, 2);
      });
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanMapTest, MarkerFollowsTheStagesPosition) {
  const std::pair<double, double> positions[] = {{42.0, 17.0}, {0.0, 250.0}, {123.5, 3.25}};
  const int result = RunQuarlex([&](Operator& op) {
    for (const auto& [x, y] : positions) {
      SCOPED_TRACE(x);
      motion_sim::setPosition(kSerials[0], x);
      motion_sim::setPosition(kSerials[1], y);
      expectMap(op, [&](const Shown& s) { return s.marker == Points{{x, y}}; });
    }
    // During a scan the marker follows the points; it ends at the last one.
    EnableAll(op);
    TypeGrid(op, {{3, 2, 1}, {1, 1, 1}});
    RunScan(op);
    expectMap(op, [&](const Shown& s) { return s.marker == Points{{12.0, 22.0}}; });
  });
  EXPECT_EQ(result, 0);
}

// The map's calls refuse what they cannot show and change nothing then.
class ScanMapCallsTest : public RigTest {};

TEST_F(ScanMapCallsTest, RefuseWhatTheyCannotShow) {
  const MapPlane threeByTwo = {{3, 2}, {0.0, 0.0}, {1.0, 1.0}, 0, 1, 0.0};
  ASSERT_EQ(SetMapPlane(p1_h, PANEL_SCAN_MAP, &threeByTwo), 0);
  struct Case {
    const char* what;
    int result;
    int expected;
  };
  const Case cases[] = {
      {"an unknown panel", SetMapMarker(p1_h + 100, PANEL_SCAN_MAP, 1.0, 1.0), UIE_BAD_PANEL},
      {"a control that is no map", SetMapMarker(p1_h, PANEL_POS_X, 1.0, 1.0), UIE_BAD_CONTROL},
      {"no plane", SetMapPlane(p1_h, PANEL_SCAN_MAP, nullptr), UIE_BAD_ARGUMENT},
      {"ix beyond the plane", SetMapPoint(p1_h, PANEL_SCAN_MAP, 3, 0, MAP_POINT_DONE), UIE_BAD_ARGUMENT},
      {"negative iy", SetMapPoint(p1_h, PANEL_SCAN_MAP, 0, -1, MAP_POINT_DONE), UIE_BAD_ARGUMENT},
      {"an unknown outcome", SetMapPoint(p1_h, PANEL_SCAN_MAP, 0, 0, 7), UIE_BAD_ARGUMENT},
      {"a position that is not a number", SetMapMarker(p1_h, PANEL_SCAN_MAP, std::nan(""), 1.0), UIE_BAD_ARGUMENT},
      {"the last point of the plane", SetMapPoint(p1_h, PANEL_SCAN_MAP, 2, 1, MAP_POINT_TIMED_OUT), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.what;
  // Only the accepted calls show: one point timed out, nothing done, no marker.
  auto* map = qobject_cast<runtime_impl::ScanMap*>(runtime_testing::controlWidget(p1_h, PANEL_SCAN_MAP));
  ASSERT_NE(map, nullptr);
  const auto series = [map](const char* name) {
    for (QAbstractSeries* a : map->chart()->series()) {
      if (a->name() == QLatin1String(name)) return sorted(qobject_cast<QXYSeries*>(a));
    }
    return Points{{-1.0, -1.0}};
  };
  for (int i = 0; i < 500 && series("timed out").empty(); i++) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_EQ(series("timed out"), (Points{{2.0, 1.0}}));
  EXPECT_EQ(series("planned"), plane(3, 2, 0, 1, 0, 1));
  EXPECT_TRUE(series("done").empty());
  EXPECT_TRUE(series("stage").empty());
}

}  // namespace
