#include "panel_widgets.h"

#include <QPainter>

#include "scan_map_view.h"

namespace runtime_impl {

Led::Led(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Led::setOn(bool on) {
  if (on == on_) return;  // nothing to repaint
  on_ = on;
  update();
}

void Led::setOnColor(const QColor& color) {
  onColor_ = color;
  update();
}

void Led::setOffColor(const QColor& color) {
  offColor_ = color;
  update();
}

QSize Led::sizeHint() const { return {18, 18}; }

void Led::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const int side = std::min(width(), height()) - 2;
  const QRectF lamp((width() - side) / 2.0, (height() - side) / 2.0, side, side);
  const QColor color = on_ ? onColor_ : offColor_;
  painter.setPen(color.darker(160));
  painter.setBrush(color);
  painter.drawEllipse(lamp);
}

NumericIndicator::NumericIndicator(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void NumericIndicator::showValue(int value) {
  // A status word reads best with all 32 bits' digits: 0x80000400.
  const QString number = format_ == u"hex"
                             ? QStringLiteral("0x") + QStringLiteral("%1").arg(quint32(value), 8, 16, QLatin1Char('0')).toUpper()
                             : QString::number(value);
  setText(number + suffix_);
}

void NumericIndicator::showValue(double value) {
  setText(QString::number(value, 'f', std::max(decimals_, 0)) + suffix_);
}

PanelTimer::PanelTimer(QWidget* parent) : QWidget(parent) {
  setFixedSize(0, 0);
  setVisible(false);
}

PanelUiLoader::PanelUiLoader() {
  // Panels use no Designer plugins; skip searching for them.
  clearPluginPaths();
}

QWidget* PanelUiLoader::createWidget(const QString& className, QWidget* parent,
                                     const QString& name) {
  QWidget* widget = nullptr;
  if (className == u"Led") {
    widget = new Led(parent);
  } else if (className == u"NumericIndicator") {
    widget = new NumericIndicator(parent);
  } else if (className == u"PanelTimer") {
    widget = new PanelTimer(parent);
  } else if (className == u"ScanMap") {
    widget = new ScanMap(parent);
  } else {
    return QUiLoader::createWidget(className, parent, name);
  }
  widget->setObjectName(name);
  return widget;
}

}  // namespace runtime_impl
