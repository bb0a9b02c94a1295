#include "message_log.h"

#include <QBrush>
#include <QColor>
#include <QListWidget>
#include <QPointer>
#include <QTime>

#include <atomic>
#include <deque>
#include <mutex>

#include "gui_runtime.h"
#include "gui_thread.h"
#include "panel_registry.h"

namespace runtime_impl::message_log {
namespace {

struct Line {
  QString stamp;
  std::string text;
};

struct Log {
  QPointer<QListWidget> list;
  int (*classify)(const char*);
};

struct State {
  std::atomic<bool> shown{false};
  std::mutex mutex;
  std::deque<Line> pending;
  bool flushPosted = false;
  std::vector<Log> logs;  // GUI thread only
};

State& state() {
  static State& s = *new State;
  return s;
}

QColor colourOf(int kind) {
  switch (kind) {
    case LOG_NOTICE: return QColor(0xb3, 0x6b, 0x00);  // amber
    case LOG_FAULT: return QColor(0xc0, 0x39, 0x2b);   // red
    default: return {};
  }
}

void show(const Log& log, const Line& line) {
  const int kind = log.classify ? log.classify(line.text.c_str()) : LOG_PLAIN;
  auto* item = new QListWidgetItem(line.stamp + QStringLiteral("  ") + QString::fromLocal8Bit(line.text));
  if (const QColor colour = colourOf(kind); colour.isValid()) {
    item->setForeground(colour);
    QFont font = item->font();
    font.setBold(true);
    item->setFont(font);
  }
  item->setData(Qt::UserRole, kind);
  log.list->addItem(item);
  while (log.list->count() > kMaxLogLines) delete log.list->takeItem(0);
}

void flush() {
  State& s = state();
  std::deque<Line> lines;
  {
    std::lock_guard lock(s.mutex);
    lines.swap(s.pending);
    s.flushPosted = false;
  }
  for (const Log& log : s.logs) {
    if (!log.list) continue;
    for (const Line& line : lines) show(log, line);
    log.list->scrollToBottom();
  }
}

}  // namespace

void appendLines(const std::vector<std::string>& lines) {
  State& s = state();
  if (!s.shown.load() || lines.empty()) return;
  const QString stamp = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
  bool post = false;
  {
    std::lock_guard lock(s.mutex);
    for (const std::string& text : lines) s.pending.push_back({stamp, text});
    while (s.pending.size() > std::size_t(kMaxLogLines)) s.pending.pop_front();
    post = !s.flushPosted;
    s.flushPosted = true;
  }
  if (post) gui_thread::postDisplay(&flush);
}

}  // namespace runtime_impl::message_log

int ShowMessageLog(int panel, const char* listName, int (*classify)(const char* line)) {
  using namespace runtime_impl;
  if (!gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  if (!listName) return UIE_BAD_ARGUMENT;
  const std::shared_ptr<Panel> p = panels::find(panel);
  if (!p || !p->view) return UIE_BAD_PANEL;
  auto* list = p->view->window()->findChild<QListWidget*>(QString::fromUtf8(listName));
  if (!list) return UIE_BAD_CONTROL;
  list->setUniformItemSizes(true);
  message_log::state().logs.push_back({list, classify});
  message_log::state().shown.store(true);
  return 0;
}
