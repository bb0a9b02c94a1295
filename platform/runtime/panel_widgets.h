// The widget classes a panel file may use besides Qt's own, and the loader that builds a
// form with them. In Qt Designer they are placed as widgets promoted to these class names.
#pragma once

#include <QColor>
#include <QLabel>
#include <QUiLoader>
#include <QWidget>

namespace runtime_impl {

// A round lamp, lit in onColor (default green) while `on`, else shown in offColor.
class Led : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool on READ isOn WRITE setOn)
  Q_PROPERTY(QColor onColor READ onColor WRITE setOnColor)
  Q_PROPERTY(QColor offColor READ offColor WRITE setOffColor)

 public:
  explicit Led(QWidget* parent = nullptr);

  bool isOn() const { return on_; }
  void setOn(bool on);
  QColor onColor() const { return onColor_; }
  void setOnColor(const QColor& color);
  QColor offColor() const { return offColor_; }
  void setOffColor(const QColor& color);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool on_ = false;
  QColor onColor_ = Qt::green;
  QColor offColor_ = Qt::darkGray;
};

// A read-only number display that shows every value as it is, never clamped; NaN and
// infinities included. Property format "hex" shows an int as unsigned 32-bit hexadecimal
// (0x80000400); decimals sets the digits shown after a double's point; suffix follows the
// number (a unit, say).
class NumericIndicator : public QLabel {
  Q_OBJECT
  Q_PROPERTY(QString format MEMBER format_)
  Q_PROPERTY(int decimals MEMBER decimals_)
  Q_PROPERTY(QString suffix MEMBER suffix_)

 public:
  explicit NumericIndicator(QWidget* parent = nullptr);

  void showValue(int value);
  void showValue(double value);

 private:
  QString format_;
  int decimals_ = 3;
  QString suffix_;
};

// A timer's place in the form: invisible and of no size; the panel runs the timer.
class PanelTimer : public QWidget {
  Q_OBJECT

 public:
  explicit PanelTimer(QWidget* parent = nullptr);
};

class PanelUiLoader : public QUiLoader {
  Q_OBJECT

 public:
  PanelUiLoader();

  QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override;
};

}  // namespace runtime_impl
