#include "controls_panel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include "gui_runtime.h"

namespace controls_panel {

std::function<void(int panel, int control)> onTick;

std::string formPath(const std::string& name) { return std::string(QUARLEX_RUNTIME_FORMS) + "/" + name; }

int load() {
  const int panel = LoadPanel(0, formPath("controls.ui").c_str(), kPanelId);
  EXPECT_GT(panel, 0) << "controls.ui did not load";
  return panel;
}

bool processEventsUntil(const std::function<bool()>& done, double seconds) {
  const QDeadlineTimer deadline(std::chrono::milliseconds(int(seconds * 1000)));
  while (!done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  }
  return done();
}

namespace {

int onTickCallback(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_TIMER_TICK && onTick) onTick(panel, control);
  return 0;
}

}  // namespace
}  // namespace controls_panel

const PanelCallback panelCallbackTable[] = {
    {"onTick", &controls_panel::onTickCallback},
    {nullptr, nullptr},
};
