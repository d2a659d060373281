#pragma once
// Question boxes as a fake: answers come from answers in order (No once they run out),
// and every question asked is one line of asked.

#include "app/common/Questions.h"

#include <QStringList>

#include <deque>

struct FakeQuestions : Questions {
    QStringList asked;
    std::deque<bool> answers;
    bool askYesNo(const QString& title, const QString& text) override
    {
        asked << title + QLatin1Char('|') + text;
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
