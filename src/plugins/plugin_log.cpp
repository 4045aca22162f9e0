#include "plugins/plugin_log.h"

Q_LOGGING_CATEGORY(lcPlugins, "cantorel.plugins", QtWarningMsg)
