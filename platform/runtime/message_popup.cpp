#include <QMessageBox>

#include "gui_runtime.h"
#include "gui_thread.h"

int MessagePopup(const char* title, const char* message) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  // exec() runs a local event loop, so timer callbacks keep running while the box shows.
  QMessageBox box(QMessageBox::Warning, QString::fromLocal8Bit(title ? title : ""),
                  QString::fromLocal8Bit(message ? message : ""), QMessageBox::Ok);
  box.exec();
  return 0;
}
