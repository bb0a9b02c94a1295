#include "gui_helpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "runtime_testing.h"

namespace test_support {

void dismissPopupWhen(std::function<bool()> ready, QString* text) {
  auto* poll = new QTimer(QCoreApplication::instance());
  QObject::connect(poll, &QTimer::timeout, poll, [poll, ready = std::move(ready), text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || (ready && !ready())) return;
    if (text) *text = box->text();
    poll->stop();
    poll->deleteLater();
    box->done(QMessageBox::Ok);
  });
  poll->start(5);
}

void clickControl(int panel, int control) {
  QWidget* widget = runtime_testing::controlWidget(panel, control);
  ASSERT_NE(widget, nullptr) << "panel " << panel << " has no control " << control;
  // A check box takes clicks on its box and label only; other controls anywhere.
  const QPoint at = qobject_cast<QCheckBox*>(widget) ? QPoint(4, widget->height() / 2) : widget->rect().center();
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

bool requestPanelClose(int panel) {
  QWidget* window = runtime_testing::panelWidget(panel);
  return window && window->close();
}

}  // namespace test_support
