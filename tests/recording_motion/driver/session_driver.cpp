// A Qt generic plugin that operates the real program's panel from inside its process, as an
// operator would: it finds controls by their ctrlId property and clicks and types through
// Qt's event system. Loaded with QT_QPA_GENERIC_PLUGINS=quarlex_session_driver.
//
// The session: wait for the connect LED, enable X, Y and Z, go to X = 12.5 mm, scan a 2 x 2
// grid (x from 1 mm by 0.5 mm, y from 2 mm by 0.25 mm, z held at 3 mm), quit. A step that is
// not done within the session's time limit ends the process with exit code 3 and its name.
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QGenericPlugin>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int kLimitMs = 60000;

QWidget* control(int id) {
  for (QWidget* w : QApplication::allWidgets()) {
    bool ok = false;
    if (w->property("ctrlId").toInt(&ok) == id && ok) return w;
  }
  return nullptr;
}

template <class W>
W* controlAs(int id) {
  return qobject_cast<W*>(control(id));
}

void fail(const char* what) {
  std::fprintf(stderr, "session driver: %s\n", what);
  std::fflush(stderr);
  std::_Exit(3);
}

bool click(int id) {
  auto* button = controlAs<QPushButton>(id);
  if (button == nullptr) return false;
  QTest::mouseClick(button, Qt::LeftButton);
  return true;
}

bool ledOn(int id) {
  QWidget* led = control(id);
  return led != nullptr && led->property("on").toBool();
}

bool labelStartsWith(int id, const char* prefix) {
  auto* label = controlAs<QLabel>(id);
  return label != nullptr && label->text().startsWith(QLatin1String(prefix));
}

// Replaces the box's text by typing the value and Return, then checks what the box took.
template <class Box, class Value>
bool type(int id, Value value) {
  auto* box = controlAs<Box>(id);
  if (box == nullptr) return false;
  box->setFocus();
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(box, box->locale().toString(value));
  QTest::keyClick(box, Qt::Key_Return);
  if (box->value() != value) fail("a typed value was not taken");
  return true;
}

bool check(int id, bool on) {
  auto* box = controlAs<QCheckBox>(id);
  if (box == nullptr) return false;
  if (box->isChecked() != on) QTest::keyClick(box, Qt::Key_Space);
  return box->isChecked() == on;
}

struct Step {
  const char* name;
  std::function<bool()> done;  // performs the step or checks its condition; true once done
};

// Control ids of the front panel.
enum {
  QUIT = 2, ENABLE_Z = 4, ENABLE_Y = 6, ENABLE_X = 11, STATUS_Z = 18, STATUS_Y = 19,
  STATUS_X = 20, TARGET_X = 69, POS_X = 73, GOTO_X = 77, SCANLED = 79, COMLED = 81,
  SCAN_START = 91, NY = 96, NX = 97, Z0 = 98, Y0 = 99, X0 = 100, DY = 102, DX = 103,
  CBZ = 104, CBY = 105, CBX = 106, PROGRESS = 108
};

const std::vector<Step>& session() {
  static const std::vector<Step> steps = {
      {"the connect LED lights", [] { return ledOn(COMLED); }},
      {"enable X", [] { return click(ENABLE_X); }},
      {"enable Y", [] { return click(ENABLE_Y); }},
      {"enable Z", [] { return click(ENABLE_Z); }},
      {"all three status words show enabled",
       [] { return labelStartsWith(STATUS_X, "0x8") && labelStartsWith(STATUS_Y, "0x8") &&
                   labelStartsWith(STATUS_Z, "0x8"); }},
      {"type the X target", [] { return type<QDoubleSpinBox>(TARGET_X, 12.5); }},
      {"go to X", [] { return click(GOTO_X); }},
      {"X shows the target", [] { return labelStartsWith(POS_X, "12.5"); }},
      {"set up the grid",
       [] {
         return check(CBX, true) && check(CBY, true) && check(CBZ, false) &&
                type<QSpinBox>(NX, 2) && type<QSpinBox>(NY, 2) &&
                type<QDoubleSpinBox>(X0, 1.0) && type<QDoubleSpinBox>(Y0, 2.0) &&
                type<QDoubleSpinBox>(Z0, 3.0) && type<QDoubleSpinBox>(DX, 0.5) &&
                type<QDoubleSpinBox>(DY, 0.25);
       }},
      {"start the scan", [] { return click(SCAN_START); }},
      {"the scan reaches 100 %",
       [] {
         auto* progress = controlAs<QProgressBar>(PROGRESS);
         return progress != nullptr && progress->value() == progress->maximum();
       }},
      {"the scan LED goes out", [] { return control(SCANLED) != nullptr && !ledOn(SCANLED); }},
      {"quit", [] { return click(QUIT); }},
  };
  return steps;
}

class SessionDriver : public QObject {
 public:
  SessionDriver() {
    clock_.start();
    connect(&timer_, &QTimer::timeout, this, &SessionDriver::tick);
    timer_.start(100);
  }

 private:
  void tick() {
    const auto& steps = session();
    if (next_ == steps.size()) return;
    if (clock_.elapsed() > kLimitMs) fail(qPrintable(QStringLiteral("gave up at: %1").arg(QLatin1String(steps[next_].name))));
    if (!steps[next_].done()) return;
    std::fprintf(stderr, "session driver: done: %s\n", steps[next_].name);
    next_++;
  }

  QTimer timer_;
  QElapsedTimer clock_;
  std::size_t next_ = 0;
};

}  // namespace

class SessionDriverPlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "session_driver.json")

 public:
  QObject* create(const QString& key, const QString&) override {
    return key == QLatin1String("quarlex_session_driver") ? new SessionDriver : nullptr;
  }
};

#include "session_driver.moc"
