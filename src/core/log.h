#pragma once

#include <QLoggingCategory>

// One logging category per subsystem; enable with QT_LOGGING_RULES, e.g.
// QT_LOGGING_RULES="cantorel.*.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcCore)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
Q_DECLARE_LOGGING_CATEGORY(lcLanguage)
Q_DECLARE_LOGGING_CATEGORY(lcPlayback)
