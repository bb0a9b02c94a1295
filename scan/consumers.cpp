#include "consumers.h"

#include "gui_runtime.h"
#include "panel_ids.h"
#include "record_file.h"
#include "scan_map.h"
#include "scan_time.h"
#include "status_display.h"

namespace {

// The position and status display, as the event loop's refresh, then the progress.
void ShowPoint(const ScanRun& run, const ScanPoint& point) {
  RefreshDisplay();
  const double ratio = static_cast<double>(point.number) / static_cast<double>(run.planned);
  SetCtrlVal(p1_h, PANEL_PROGRESS, 100.0 * ratio);
}

struct ScanConsumer {
  void (*begin)(const ScanRun&);  // may be null
  void (*point)(const ScanRun&, const ScanPoint&);
  void (*end)(const ScanRun&, const ScanOutcome&);  // may be null
};

const ScanConsumer kConsumers[] = {
    {nullptr, ShowPoint, nullptr},
    {RecordBegin, RecordPoint, RecordEnd},
    {OutcomeBegin, OutcomePoint, OutcomeEnd},
    {TimeBegin, TimePoint, TimeEnd},
    {MapBegin, MapPoint, nullptr},
};

}  // namespace

void ConsumersBegin(const ScanRun& run) {
  for (const ScanConsumer& c : kConsumers) {
    if (c.begin) c.begin(run);
  }
}

void ConsumePoint(const ScanRun& run, const ScanPoint& point) {
  for (const ScanConsumer& c : kConsumers) c.point(run, point);
}

void ConsumersEnd(const ScanRun& run, const ScanOutcome& outcome) {
  for (const ScanConsumer& c : kConsumers) {
    if (c.end) c.end(run, outcome);
  }
}

