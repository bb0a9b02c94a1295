#include "consumers.h"

#include "gui_runtime.h"
#include "panel_ids.h"
#include "status_display.h"

namespace {

using PointConsumer = void (*)(const ScanRun&, const ScanPoint&);

const PointConsumer kPointConsumers[] = {ShowPoint};

}  // namespace

void ConsumePoint(const ScanRun& run, const ScanPoint& point) {
  for (PointConsumer consume : kPointConsumers) consume(run, point);
}

void ShowPoint(const ScanRun& run, const ScanPoint& point) {
  RefreshDisplay();
  const double ratio = static_cast<double>(point.number) / static_cast<double>(run.planned);
  SetCtrlVal(p1_h, PANEL_PROGRESS, 100.0 * ratio);
}
