#include "lts.h"

const char serialNumbers[3][9] = {"45388004", "45387934", "45388034"};
const int StepsPerMm = 409600;
const double SingleMove = 1.0;
