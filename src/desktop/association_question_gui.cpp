#include "desktop/association_question_gui.h"

#include <QFile>
#include <QMessageBox>

namespace cantorel {

bool askAssociationQuestion(QWidget *owner, const QString &title, const QString &text) {
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
  return box.exec() == QMessageBox::Ok;
}

}  // namespace cantorel
