#pragma once

#include <QLoggingCategory>

// Messages of the plug-in host: libraries skipped, members missing.
Q_DECLARE_LOGGING_CATEGORY(lcPlugins)
