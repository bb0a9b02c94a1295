// A deliberate data race, for the sanitizer check: one of the program's pool threads sets a
// stock label's text after the main thread has set it, with nothing ordering the two that the
// thread checker can see: relaxed flags only make the pool thread come second and the main
// thread wait for it before it takes the pool's lock again.
// A ThreadSanitizer build must report it with the project's suppressions in force.
#include <QApplication>
#include <QLabel>

#include <atomic>

#include "gui_runtime.h"

namespace {

QLabel* label = nullptr;
std::atomic<bool> mainHasSetIt{false};
std::atomic<bool> poolHasSetIt{false};

int touchFromPool(void*) {
  while (!mainHasSetIt.load(std::memory_order_relaxed)) {
  }
  label->setText("set on a pool thread");
  poolHasSetIt.store(true, std::memory_order_relaxed);
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
  widget.setText("set on the main thread");
  mainHasSetIt.store(true, std::memory_order_relaxed);
  while (!poolHasSetIt.load(std::memory_order_relaxed)) {
  }
  CmtWaitForThreadPoolFunctionCompletion(pool, job, 0);
  return 0;
}
