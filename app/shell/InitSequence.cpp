#include "app/shell/InitSequence.h"

void InitSequence::add(const QString& status, std::function<void()> action)
{
    m_steps.push_back({status, std::move(action)});
}

void InitSequence::run(const StatusSink& showStatus) const
{
    for (const Step& step : m_steps) {
        if (!step.status.isEmpty())
            showStatus(step.status);
        if (step.action)
            step.action();
    }
}
