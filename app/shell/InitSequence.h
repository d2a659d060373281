#pragma once
// The loading steps of the main window, in their fixed order. Each step has the status
// text the splash window shows before it runs (empty: no status); a subsystem that
// does not exist yet still has its step, which then only shows the status.

#include <QString>

#include <functional>
#include <vector>

class InitSequence {
public:
    using StatusSink = std::function<void(const QString& status)>;

    void add(const QString& status, std::function<void()> action = {});
    void run(const StatusSink& showStatus) const;

private:
    struct Step {
        QString status;
        std::function<void()> action;
    };
    std::vector<Step> m_steps;
};
