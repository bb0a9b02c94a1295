// The callbacks the panel file may name for its timers.
#include "gui_runtime.h"
#include "lts.h"
#include "status_display.h"

const PanelCallback panelCallbackTable[] = {
    {"TimerCB", TimerCB},
    {"LTS_Timeout", LTS_Timeout},
    {nullptr, nullptr},
};
