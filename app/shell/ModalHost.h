#pragma once
// Shows a dialog of the main window modally, taking the main window out of the topmost
// layer while it is open when "stay on top" is set. Returns the dialog's result.

class QDialog;

class ModalHost {
public:
    virtual ~ModalHost() = default;
    virtual int ShowModalForm(QDialog& form) = 0;
};
