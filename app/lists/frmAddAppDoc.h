#pragma once
// The program dialog: phrase, program path with Browse, command line, and what the
// character says and plays. OK refuses a program that is neither a file nor on PATH.

#include "app/lists/EntryDialog.h"

class frmAddAppDoc : public EntryDialog {
    Q_OBJECT
public:
    explicit frmAddAppDoc(const Services& services, QWidget* parent = nullptr);

    // Edit mode: the title "Edit Voice Activated Application".
    void setEditing();

    QLabel* LabelAppPath;
    QLineEdit* TextCommandLine;

private:
    int32_t commandType() const override;
    QStringList browseFilters() const override;
    bool checksProgramFile() const override { return true; }
    void fillCommand(CVoiceCommand& command) const override;
    void takeExtraResults() override;
};
