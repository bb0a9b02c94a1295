// The controls a panel file (a Qt Designer .ui form) declares, read and checked without
// building any widget. Needs QtCore only, so it can be exercised on arbitrary input alone.
//
// Conventions of a panel file, all as dynamic properties set in Designer:
// - the top-level widget: int panelId (the resource id LoadPanel asks for) and int closeCtrl
//   (the command button that a request to close the window presses);
// - every control: int ctrlId >= 1, unique; its class gives its kind and data type:
//     QPushButton      command button, no value (a click queues EVENT_COMMIT)
//     QSpinBox         numeric input, int    (readOnly: numeric indicator)
//     QDoubleSpinBox   numeric input, double (readOnly: numeric indicator)
//     QCheckBox        check box, int 0/1
//     Led              LED, int 0/1; bool on, colours onColor and offColor
//     NumericIndicator numeric indicator; string dataType "int" or "double" (required),
//                      format "hex" (int only), int decimals, string suffix
//     QProgressBar     progress, double percent
//     PanelTimer       timer, no value; double interval (seconds, > 0), bool enabled
//                      (default true), string callback (a name in panelCallbackTable)
//     QLineEdit        text input, string
//     QListWidget      list of text rows, string
//     ScanMap          scan map, no value (drawn through SetMapPlane and its kin)
//   A string dataType on any other control must agree with its class.
// - widgets without ctrlId (labels, group boxes, frames) are decoration.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

struct PanelFormControl {
  int id = 0;          // the int dynamic property ctrlId
  int kind = 0;        // CTRL_KIND_*
  int dataType = 0;    // VAL_*
  QString className;   // the widget's class in the form
  QString objectName;
  // Timers only: properties interval (seconds), enabled and callback (function name).
  double interval = 0.0;
  bool enabled = false;
  QString callback;
};

struct PanelForm {
  int panelId = 0;    // the top-level widget's int property panelId
  int closeCtrl = 0;  // the command button a window-close request presses
  std::vector<PanelFormControl> controls;
};

// How messages name a control: its id and object name.
QString named(const PanelFormControl& c);

// Reads a .ui form and checks the panel conventions. On a fault returns nothing and, if
// `error` is given, a one-line description naming the fault and the control concerned.
std::optional<PanelForm> ParsePanelForm(const QByteArray& xml, QString* error);
