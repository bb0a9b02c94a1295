#include "operator.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMessageBox>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <memory>
#include <stdexcept>
#include <thread>

#include "gui_helpers.h"
#include "gui_runtime.h"
#include "gui_thread.h"
#include "panel_ids.h"
#include "runtime_testing.h"

namespace {

std::atomic<bool> programRunning{false};

QWidget* widgetOf(int control) {
  QWidget* widget = runtime_testing::controlWidget(p1_h, control);
  if (widget == nullptr) throw std::runtime_error("no widget for control " + std::to_string(control));
  return widget;
}

}  // namespace

// A request for the GUI thread and its outcome. Shared, so that a request still queued when
// the program has ended stays harmless. Plain mutexes carry the hand-over, so that thread
// checkers see its ordering.
struct GuiRequest {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::exception_ptr failure;
};

void Operator::onGuiThread(const std::function<void()>& fn) {
  auto request = std::make_shared<GuiRequest>();
  runtime_impl::gui_thread::post([fn, request] {
    std::exception_ptr failure;
    try {
      fn();
    } catch (...) {
      failure = std::current_exception();
    }
    std::lock_guard lock(request->mutex);
    request->done = true;
    request->failure = failure;
    request->finished.notify_one();
  });
  std::unique_lock lock(request->mutex);
  if (!request->finished.wait_for(lock, std::chrono::seconds(60), [&] { return request->done; })) {
    throw std::runtime_error("the GUI thread did not run a request within 60 s");
  }
  if (request->failure) std::rethrow_exception(request->failure);
}

void Operator::click(int control) {
  onGuiThread([control] {
    widgetOf(control);  // throws for a control the panel lacks
    test_support::clickControl(p1_h, control);
  });
}

void Operator::type(int control, double value) {
  onGuiThread([control, value] {
    auto* spin = qobject_cast<QDoubleSpinBox*>(widgetOf(control));
    if (spin == nullptr) throw std::runtime_error("control is not a double input");
    spin->setValue(value);
  });
}

void Operator::type(int control, int value) {
  onGuiThread([control, value] {
    QWidget* widget = widgetOf(control);
    if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
      spin->setValue(value);
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      if (box->isChecked() != (value != 0)) test_support::clickControl(p1_h, control);
    } else {
      throw std::runtime_error("control is not an int input");
    }
  });
}

int Operator::readInt(int control) {
  int value = 0;
  if (GetCtrlVal(p1_h, control, &value) < 0) throw std::runtime_error("cannot read control as int");
  return value;
}

double Operator::readDouble(int control) {
  double value = 0.0;
  if (GetCtrlVal(p1_h, control, &value) < 0) throw std::runtime_error("cannot read control as double");
  return value;
}

bool Operator::waitFor(const std::function<bool()>& condition, double realSeconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(realSeconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

std::string Operator::popupText() {
  std::string text;
  onGuiThread([&text] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      text = (box->windowTitle() + ": " + box->text()).toStdString();
    }
  });
  return text;
}

void Operator::dismissPopup() {
  onGuiThread([] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    }
  });
}

bool Operator::waitForProgramEnd(double realSeconds) {
  return waitFor([] { return !programRunning; }, realSeconds);
}

std::vector<std::string> Operator::lines() { return PrintedLines(); }

std::vector<std::string> PrintedLines() {
  runtime_testing::stdioSync();
  return runtime_testing::stdioLines();
}

int RunQuarlex(const std::function<void(Operator&)>& script) {
  p1_h = 0;
  runtime_testing::clearEvents();
  programRunning = true;
  std::thread operatorThread([&script] {
    Operator op;
    try {
      // Wait for the loop: after start-up the main thread processes GUI events only while
      // it waits for user events. The panel handle is read there too, on the thread that
      // wrote it, so this thread sees it only once it is set.
      bool loopRuns = false;
      op.waitFor([&] {
        op.onGuiThread([&] { loopRuns = p1_h > 0; });
        return loopRuns;
      });
      script(op);
    } catch (const std::exception& e) {
      ADD_FAILURE() << "operator script failed: " << e.what();
    }
    // End the program if the script did not: wait for any scan to end, then press QUIT.
    while (programRunning) {
      int scanning = 0;
      GetCtrlVal(p1_h, PANEL_SCANLED, &scanning);
      if (scanning == 0) QueueUserEvent(EVENT_COMMIT, p1_h, PANEL_QUIT);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  static InstanceData instance{0, nullptr};
  const int result = WinMain(&instance, nullptr, nullptr, 1);
  programRunning = false;
  operatorThread.join();
  // The panel's timers would otherwise keep queuing events into the next run.
  DiscardPanel(p1_h);
  runtime_testing::clearEvents();
  return result;
}

std::string LabelText(Operator& op, const char* name) {
  std::string text;
  op.onGuiThread([&] {
    const QLabel* label = runtime_testing::panelWidget(p1_h)->findChild<QLabel*>(QString(name));
    text = label ? label->text().toStdString() : "<no label>";
  });
  return text;
}
