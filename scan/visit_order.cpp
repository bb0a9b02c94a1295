#include "visit_order.h"

int VisitedX(const ScanGrid& grid, std::int64_t row, int step, bool serpentine) {
  if (serpentine && row % 2 == 1) return grid.count[0] - 1 - step;
  return step;
}
