// Panel files that the run-time loads but that would make the program misbehave: timers
// running the wrong callback, a window close that presses something other than QUIT. The
// program's panel check refuses each (tests/fuzz/broken/misfit, also fuzz seeds) with the
// fault listed here; a file without an entry, or an entry without its file, fails.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "corpus.h"

#include "gui_runtime.h"
#include "panel_check.h"

namespace {

const std::map<std::string, std::string> kExpectedFaults = {
    {"timer_callbacks_swapped.uir", "control 87 (watchdog timer) calls TimerCB, not LTS_Timeout"},
    {"refresh_timer_runs_watchdog_callback.uir",
     "control 88 (refresh timer) calls LTS_Timeout, not TimerCB"},
    {"close_ctrl_scan_start.uir", "closing the window presses control 91, not control 2 (QUIT button)"},
};

TEST(MisfitPanels, EveryFileHasAnExpectedFault) {
  test_support::ExpectCorpusMatchesTable(QUARLEX_MISFIT_PANELS, kExpectedFaults);
}

TEST(MisfitPanels, LoadButThePanelCheckRefusesEachForItsFault) {
  for (const auto& [name, fault] : kExpectedFaults) {
    SCOPED_TRACE(name);
    const std::string path = std::string(QUARLEX_MISFIT_PANELS) + "/" + name;
    const int panel = LoadPanel(0, path.c_str(), 1);
    ASSERT_GT(panel, 0);
    EXPECT_EQ(CheckPanelControls(panel), fault);
    EXPECT_EQ(DiscardPanel(panel), 0);
  }
}

}  // namespace
