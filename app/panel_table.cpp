#include "panel_ids.h"

int p1_h = 0;

const int dstat[3] = {PANEL_STATUS_X, PANEL_STATUS_Y, PANEL_STATUS_Z};
const int dpos[3] = {PANEL_POS_X, PANEL_POS_Y, PANEL_POS_Z};

// lid[axis][j] = 62 - 14 * axis - j.
const int lid[3][14] = {
    {62, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52, 51, 50, 49},
    {48, 47, 46, 45, 44, 43, 42, 41, 40, 39, 38, 37, 36, 35},
    {34, 33, 32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21},
};
