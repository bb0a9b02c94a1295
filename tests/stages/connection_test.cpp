// The connection sequence as the stages receive it: the order of the library calls, the
// pauses the library needs between them, and the settings given to each stage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lts.h"
#include "motion_sim.h"
#include "platform_clock.h"
#include "rig.h"

namespace {

using motion_sim::kSerials;

class ConnectionTest : public RigTest {};

// Clock time of the call of `function` to stage `serial`.
double timeOf(const std::string& function, const std::string& serial) {
  const std::vector<motion_sim::Call> calls = motion_sim::calls(function);
  const std::vector<double> times = motion_sim::callTimes(function);
  for (std::size_t i = 0; i < calls.size() && i < times.size(); i++) {
    if (calls[i].serial == serial) return times[i];
  }
  ADD_FAILURE() << function << " never reached " << serial;
  return 0.0;
}

TEST_F(ConnectionTest, EachStageIsOpenedWithTheLibrarysPausesAndItsLedsAndPolling) {
  struct Case {
    const char* what;
    int failing;  // axis whose open fails, or -1
  };
  for (const Case c : {Case{"all open", -1}, Case{"Y fails to open", 1}}) {
    SCOPED_TRACE(c.what);
    motion_sim::reset();
    if (c.failing >= 0) motion_sim::failOpen(kSerials[c.failing], motion_sim::kErrNotFound);
    // Slow enough that scheduling delays stay far below the upper bounds.
    platform_clock::setSpeed(4.0);
    const int err = LTS_Open();
    const double returned = platform_clock::now();
    platform_clock::setSpeed(200.0);
    EXPECT_EQ(err, c.failing >= 0 ? motion_sim::kErrNotFound : 0);
    const int opened = c.failing >= 0 ? c.failing : 3;
    // Lower bounds are the pauses; the upper ones allow half a second of real delay.
    auto expectPause = [](double from, double to, double pause, const char* between) {
      EXPECT_GE(to - from, pause - 0.001) << between;
      EXPECT_LT(to - from, pause + 2.0) << between;
    };
    for (int axis = 0; axis < opened; axis++) {
      SCOPED_TRACE(std::string("axis ") + "XYZ"[axis]);
      const std::string serial = kSerials[axis];
      const double open = timeOf("ISC_Open", serial);
      expectPause(timeOf("TLI_GetDeviceInfo", serial), open, 0.1, "device information, open");
      expectPause(open, timeOf("ISC_SetLEDswitches", serial), 1.0, "open, LED switches");
      const double polling = timeOf("ISC_StartPolling", serial);
      const double next = axis == 2 ? returned : timeOf("TLI_GetDeviceInfo", kSerials[axis + 1]);
      expectPause(polling, next, 1.0, "start of polling, next stage");
    }
    if (c.failing >= 0) {
      const std::string serial = kSerials[c.failing];
      const double open = timeOf("ISC_Open", serial);
      expectPause(timeOf("TLI_GetDeviceInfo", serial), open, 0.1, "device information, failed open");
      expectPause(open, returned, 1.0, "failed open, end of the sequence");
    }
    std::vector<std::vector<long long>> leds;
    std::vector<std::vector<long long>> polling;
    for (const motion_sim::Call& call : motion_sim::calls("ISC_SetLEDswitches")) leds.push_back(call.args);
    for (const motion_sim::Call& call : motion_sim::calls("ISC_StartPolling")) polling.push_back(call.args);
    EXPECT_EQ(leds, std::vector<std::vector<long long>>(opened, {0}));
    EXPECT_EQ(polling, std::vector<std::vector<long long>>(opened, {50}));
  }
}

}  // namespace
