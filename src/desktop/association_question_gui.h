#pragma once

#include <QString>

class QWidget;

namespace cantorel {

// Asks the association question in a message box with OK, Cancel and a
// "Don't ask again" check box (its state in `dontAskAgain`); true for OK.
// When CANTOREL_RECORD_DESKTOP names a file the question is appended to it
// ("question <title>: <text>") and answered with Cancel, so a test run never
// waits on it and never changes the user's associations.
bool askAssociationQuestion(QWidget *owner, const QString &title, const QString &text,
                            bool *dontAskAgain = nullptr);

}  // namespace cantorel
