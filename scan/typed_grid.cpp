#include "typed_grid.h"

#include "grid.h"
#include "scan_map.h"
#include "scan_options.h"
#include "scan_time.h"

void ShowTypedGrid(void) {
  const ScanGrid grid = ReadScanGrid();
  double shown[3];
  ReadDisplayedPositions(shown);
  ShowScanEstimate(grid, shown);
  MapRefresh(grid, shown);
}
