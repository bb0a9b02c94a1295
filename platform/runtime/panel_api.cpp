// Loading, showing and discarding panels; main thread only.
#include <QBuffer>

#include "gui_runtime.h"
#include "gui_thread.h"
#include "input_hold.h"
#include "panel_file.h"
#include "panel_registry.h"
#include "panel_widgets.h"
#include "stdio_window.h"

using runtime_impl::Panel;
namespace panels = runtime_impl::panels;

int LoadPanel(int parentPanel, const char* fileName, int resourceId) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  // Panels are top-level windows; child panels are not supported.
  if (parentPanel != 0 || !fileName) return UIE_BAD_ARGUMENT;
  int error = 0;
  const std::optional<runtime_impl::PanelFile> file =
      runtime_impl::readPanelFile(QString::fromLocal8Bit(fileName), resourceId, &error);
  if (!file) return error;

  runtime_impl::PanelUiLoader loader;
  QBuffer buffer;
  buffer.setData(file->xml);
  buffer.open(QIODevice::ReadOnly);
  std::unique_ptr<QWidget> window(loader.load(&buffer));
  if (!window) {
    return runtime_impl::refusePanelFile(file->path, loader.errorString(), UIE_BAD_FILE);
  }
  const auto panel = std::make_shared<Panel>(panels::newHandle(), file->form, file->timerCallbacks);
  panel->view = std::make_unique<runtime_impl::PanelView>(panel->handle, panel->store, std::move(window));
  QString fault;
  if (!panel->view->bind(file->form, file->timerCallbacks, &fault)) {
    return runtime_impl::refusePanelFile(file->path, fault, UIE_BAD_FILE);
  }
  panels::insert(panel);
  return panel->handle;
}

int DiscardPanel(int panel) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  const std::shared_ptr<Panel> p = panels::remove(panel);
  if (!p) return UIE_BAD_PANEL;
  // Other threads may still hold the panel for a moment; only its store outlives this.
  p->view.reset();
  return 0;
}

int DisplayPanel(int panel) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  const std::shared_ptr<Panel> p = panels::find(panel);
  if (!p) return UIE_BAD_PANEL;
  QWidget* window = p->view->window();
  window->show();
  window->raise();
  window->activateWindow();
  runtime_impl::stdio_window::showBeside(window);
  runtime_impl::input_hold::panelShown();
  return 0;
}

int SetActiveCtrl(int panel, int control) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  const std::shared_ptr<Panel> p = panels::find(panel);
  if (!p) return UIE_BAD_PANEL;
  QWidget* widget = p->view->control(control);
  if (!widget) return UIE_BAD_CONTROL;
  widget->setFocus(Qt::OtherFocusReason);
  return 0;
}
