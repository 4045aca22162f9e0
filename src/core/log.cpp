#include "core/log.h"

Q_LOGGING_CATEGORY(lcCore, "cantorel.core", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "cantorel.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPlatform, "cantorel.platform", QtWarningMsg)
Q_LOGGING_CATEGORY(lcLanguage, "cantorel.language", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPlayback, "cantorel.playback", QtWarningMsg)
