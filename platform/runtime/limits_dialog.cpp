// The dialog in which the operator sees and edits the soft limits of the three axes.
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include <cmath>

#include "gui_runtime.h"
#include "gui_thread.h"

namespace {

QString shown(double mm) { return QLocale::c().toString(mm, 'g', 12); }

// The typed number; NaN when the text is none.
double typed(const QLineEdit* field) {
  bool ok = false;
  const double value = QLocale::c().toDouble(field->text().trimmed(), &ok);
  return ok ? value : std::nan("");
}

}  // namespace

int EditLimitsDialog(double minimum[3], double maximum[3]) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  QDialog dialog;
  dialog.setObjectName(QStringLiteral("limitsDialog"));
  dialog.setWindowTitle(QStringLiteral("Soft limits"));
  auto* grid = new QGridLayout(&dialog);
  grid->addWidget(new QLabel(QStringLiteral(
                      "Go-tos, jogs and scans outside these ranges are refused.")),
                  0, 0, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Minimum (mm)")), 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Maximum (mm)")), 1, 2);
  QLineEdit* fields[3][2];
  for (int i = 0; i < 3; i++) {
    const QString axis(QChar("XYZ"[i]));
    grid->addWidget(new QLabel(axis), 2 + i, 0);
    for (int end = 0; end < 2; end++) {
      QLineEdit* field = new QLineEdit(shown(end == 0 ? minimum[i] : maximum[i]));
      field->setObjectName(axis.toLower() + (end == 0 ? QStringLiteral("Min") : QStringLiteral("Max")));
      grid->addWidget(field, 2 + i, 1 + end);
      fields[i][end] = field;
    }
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  grid->addWidget(buttons, 5, 0, 1, 3);
  if (dialog.exec() != QDialog::Accepted) return 0;
  for (int i = 0; i < 3; i++) {
    minimum[i] = typed(fields[i][0]);
    maximum[i] = typed(fields[i][1]);
  }
  return 1;
}
