// A deliberate data race, for the sanitizer check: one of the program's pool threads sets a
// stock widget's tooltip while the main thread sets it too, with nothing ordering the two.
// A ThreadSanitizer build must report it with the project's suppressions in force.
#include <QApplication>
#include <QLabel>

#include "gui_runtime.h"

namespace {

QLabel* label = nullptr;

int touchFromPool(void*) {
  label->setToolTip("set on a pool thread");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel widget("race");
  label = &widget;
  CmtThreadPoolHandle pool = 0;
  CmtNewThreadPool(1, &pool);
  int job = 0;
  CmtScheduleThreadPoolFunctionAdv(pool, touchFromPool, nullptr, 0, nullptr, 0, nullptr, 0, &job);
  widget.setToolTip("set on the main thread");
  CmtWaitForThreadPoolFunctionCompletion(pool, job, 0);
  return 0;
}
