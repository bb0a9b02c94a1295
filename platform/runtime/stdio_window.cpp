#include "stdio_window.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScreen>

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>

#include "gui_thread.h"
#include "runtime_testing.h"

namespace runtime_impl::stdio_window {
namespace {

// The window keeps the latest lines only; so do the lines waiting for it.
constexpr int kMaxLines = 20000;

struct State {
  std::atomic<bool> enabled{false};
  std::mutex mutex;
  std::deque<std::string> pending;
  bool flushPosted = false;
  QPlainTextEdit* window = nullptr;  // GUI thread only
  bool shown = false;                // GUI thread only
};

State& state() {
  static State& s = *new State;
  return s;
}

// GUI thread: the window, made on first use.
QPlainTextEdit* window() {
  State& s = state();
  if (!s.window) {
    s.window = new QPlainTextEdit;
    s.window->setWindowTitle(QStringLiteral("Standard Input/Output"));
    s.window->setReadOnly(true);
    s.window->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    s.window->setMaximumBlockCount(kMaxLines);
    s.window->setLineWrapMode(QPlainTextEdit::NoWrap);
    s.window->resize(640, 400);
  }
  return s.window;
}

void flush() {
  State& s = state();
  std::deque<std::string> lines;
  {
    std::lock_guard lock(s.mutex);
    lines.swap(s.pending);
    s.flushPosted = false;
  }
  QStringList text;
  text.reserve(qsizetype(lines.size()));
  for (const std::string& line : lines) text.append(QString::fromLocal8Bit(line));
  window()->appendPlainText(text.join(u'\n'));
}

}  // namespace

void enable() { state().enabled.store(true); }

void appendLines(std::vector<std::string> lines) {
  State& s = state();
  bool post = false;
  {
    std::lock_guard lock(s.mutex);
    for (std::string& line : lines) s.pending.push_back(std::move(line));
    while (s.pending.size() > kMaxLines) s.pending.pop_front();
    post = !s.flushPosted && !s.pending.empty();
    s.flushPosted = s.flushPosted || post;
  }
  if (post) gui_thread::postDisplay(&flush);
}

void showBeside(QWidget* panel) {
  State& s = state();
  if (s.shown || !s.enabled.load()) return;
  s.shown = true;
  QPlainTextEdit* w = window();
  // Right of the panel where the screen has room; otherwise as far right as it stays on
  // screen, behind the panel, which shows the same lines in its log.
  const QRect screen = panel->screen()->availableGeometry();
  const QPoint beside = panel->frameGeometry().topRight() + QPoint(12, 0);
  const int x = std::max(screen.left(), std::min(beside.x(), screen.right() + 1 - w->width()));
  const int y = std::max(screen.top(), std::min(beside.y(), screen.bottom() + 1 - w->height()));
  w->move(x, y);
  w->show();
  if (w->frameGeometry().intersects(panel->frameGeometry())) {
    w->lower();
    panel->raise();
  }
}

}  // namespace runtime_impl::stdio_window

QWidget* runtime_testing::stdioWindow() {
  return runtime_impl::stdio_window::state().enabled.load() ? runtime_impl::stdio_window::window() : nullptr;
}
