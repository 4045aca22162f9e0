#include "desktop/association_question_gui.h"

#include <QCheckBox>
#include <QFile>
#include <QMessageBox>

namespace cantorel {

bool askAssociationQuestion(QWidget *owner, const QString &title, const QString &text, bool *dontAskAgain) {
  if (dontAskAgain) *dontAskAgain = false;
  const QString log = qEnvironmentVariable("CANTOREL_RECORD_DESKTOP");
  if (!log.isEmpty()) {
    QFile f(log);
    if (f.open(QIODevice::Append)) {
      QString line = QStringLiteral("question ") + title + QStringLiteral(": ") + text;
      line.replace(QLatin1Char('\n'), QLatin1String("\\n"));
      f.write((line + QLatin1Char('\n')).toUtf8());
    }
    return false;
  }
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel, owner);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Ok);
  auto *never = new QCheckBox(QStringLiteral("Don't ask again"), &box);
  box.setCheckBox(never);
  const bool ok = box.exec() == QMessageBox::Ok;
  if (dontAskAgain) *dontAskAgain = never->isChecked();
  return ok;
}

}  // namespace cantorel
