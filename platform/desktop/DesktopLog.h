#pragma once
// Logging category of the desktop actions and services.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDesktop)
