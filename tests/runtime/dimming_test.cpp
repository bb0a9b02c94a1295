// Dimmed controls and the list of a panel's controls.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "controls_panel.h"
#include "gui_helpers.h"
#include "gui_runtime.h"
#include "runtime_testing.h"

namespace {

using namespace controls_panel;

bool dimmed(int panel, int control) {
  int value = -1;
  EXPECT_EQ(GetCtrlAttribute(panel, control, ATTR_DIMMED, &value), 0);
  return value == 1;
}

// Set from another thread, dimming reaches the widget; a dimmed button raises no event when
// clicked, and raises one again once undimmed. Other controls keep their state.
TEST(runtimeDimming, ADimmedControlLooksDisabledAndItsClicksRaiseNoEvent) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  QWidget* start = runtime_testing::controlWidget(panel, kStart);
  QWidget* steps = runtime_testing::controlWidget(panel, kSteps);
  QWidget* quit = runtime_testing::controlWidget(panel, kQuit);
  ASSERT_TRUE(start && steps && quit);
  EXPECT_FALSE(dimmed(panel, kStart));
  std::thread([panel] {
    EXPECT_EQ(SetCtrlAttribute(panel, kStart, ATTR_DIMMED, 1), 0);
    EXPECT_EQ(SetCtrlAttribute(panel, kSteps, ATTR_DIMMED, 7), 0);  // any nonzero dims
  }).join();
  EXPECT_TRUE(dimmed(panel, kStart));
  EXPECT_TRUE(dimmed(panel, kSteps));
  ASSERT_TRUE(processEventsUntil([&] { return !start->isEnabled() && !steps->isEnabled(); }));
  EXPECT_TRUE(quit->isEnabled());
  EXPECT_FALSE(dimmed(panel, kQuit));

  runtime_testing::clearEvents();
  const std::size_t queued = runtime_testing::queuedEventCount();
  test_support::clickControl(panel, kStart);
  EXPECT_EQ(runtime_testing::queuedEventCount(), queued);

  std::thread([panel] { EXPECT_EQ(SetCtrlAttribute(panel, kStart, ATTR_DIMMED, 0), 0); }).join();
  EXPECT_FALSE(dimmed(panel, kStart));
  ASSERT_TRUE(processEventsUntil([&] { return start->isEnabled(); }));
  EXPECT_FALSE(steps->isEnabled());
  test_support::clickControl(panel, kStart);
  EXPECT_EQ(runtime_testing::queuedEventCount(), queued + 1);
  int eventPanel = 0;
  int control = 0;
  EXPECT_EQ(GetUserEvent(0, &eventPanel, &control), EVENT_COMMIT);
  EXPECT_EQ(control, kStart);
}

TEST(runtimeDimming, APanelListsEveryControlIdInOrder) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  const std::vector<int> all = {kQuit,     kStart,      kSteps,    kSpeed,     kHome,     kBusyLed,
                                kStatusWord, kPosition, kProgress, kPollTimer, kPointCount,
                                kLabel,   kChoices};
  std::vector<int> ids(all.size() + 2, -1);
  EXPECT_EQ(GetPanelControlIds(panel, ids.data(), int(ids.size())), int(all.size()));
  EXPECT_EQ(std::vector<int>(ids.begin(), ids.begin() + all.size()), all);
  EXPECT_EQ(ids[all.size()], -1);  // nothing written beyond the controls

  // A short array takes the first ids and learns how many there are.
  std::vector<int> some(4, -1);
  EXPECT_EQ(GetPanelControlIds(panel, some.data(), 3), int(all.size()));
  EXPECT_EQ(some, (std::vector<int>{kQuit, kStart, kSteps, -1}));
  EXPECT_EQ(GetPanelControlIds(panel, nullptr, 0), int(all.size()));

  EXPECT_EQ(GetPanelControlIds(panel, nullptr, 2), UIE_BAD_ARGUMENT);
  EXPECT_EQ(GetPanelControlIds(panel, some.data(), -1), UIE_BAD_ARGUMENT);
  EXPECT_EQ(GetPanelControlIds(panel + 1000, some.data(), 4), UIE_BAD_PANEL);
}

}  // namespace
