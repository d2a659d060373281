#include "platform/agent/AgentRequestLog.h"

#include <QFile>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAgentLog, "vorlix.agent.log")

void AgentRequestLog::append(const QStringList& fields)
{
    const QString path = qEnvironmentVariable("VORLIX_AGENT_LOG");
    if (path.isEmpty())
        return;
    QString line = fields.join(QLatin1Char('\t'));
    line.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    line.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    line += QLatin1Char('\n');
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)
        || file.write(line.toUtf8()) < 0) {
        static bool warned = false;
        if (!warned)
            qCWarning(lcAgentLog) << "cannot append to" << path << file.errorString();
        warned = true;
    }
}
