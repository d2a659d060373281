#pragma once
// Yes/No question boxes: question icon, Yes preselected, shown modally over the main
// window. The main window answers them; tests use a fake with set answers.

#include <QString>

class Questions {
public:
    virtual ~Questions() = default;
    // True when the user answers Yes.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
};
