#pragma once
// Collects what the desktop layer writes to its log while the recorder lives.

#include <QStringList>

struct LogRecorder {
    LogRecorder() { lines.clear(), previous = qInstallMessageHandler(&record); }
    ~LogRecorder() { qInstallMessageHandler(previous); }
    static void record(QtMsgType, const QMessageLogContext& context, const QString& message)
    {
        if (QLatin1String(context.category) == QLatin1String("vorlix.desktop"))
            lines += message;
    }
    static inline QStringList lines;
    QtMessageHandler previous;
};
