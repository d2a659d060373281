#include "app/lists/frmAddAppDoc.h"

#include "app/voice/CVoiceCommand.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmAddAppDoc::frmAddAppDoc(const Services& services, QWidget* parent) : EntryDialog(services, parent)
{
    setObjectName(QStringLiteral("frmAddAppDoc"));
    setWindowTitle(tr("Add Program"));
    TextCommandLine = new QLineEdit;
    TextCommandLine->setObjectName(QStringLiteral("TextCommandLine"));

    auto* details = new QGroupBox(tr("Program Details"));
    LabelAppPath = new QLabel(tr("&Path to program"));
    LabelAppPath->setObjectName(QStringLiteral("LabelAppPath"));
    LabelAppPath->setBuddy(TextAppPath);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(TextAppPath);
    pathRow->addWidget(CommandBrowse);
    auto* commandLineLabel = new QLabel(tr("Command &line arguments"));
    commandLineLabel->setBuddy(TextCommandLine);
    auto* layout = new QVBoxLayout(details);
    layout->addWidget(LabelAppPath);
    layout->addLayout(pathRow);
    layout->addWidget(commandLineLabel);
    layout->addWidget(TextCommandLine);

    layOut(tr("Say this to run program"), details, QStringLiteral("cmdOkAddApp"), QStringLiteral("cmdCancelAddApp"));
}

void frmAddAppDoc::setEditing()
{
    setWindowTitle(tr("Edit Voice Activated Application"));
}

int32_t frmAddAppDoc::commandType() const
{
    return COMMAND_RUN_PROGRAM;
}

QStringList frmAddAppDoc::browseFilters() const
{
    // Programs here seldom have an extension: every file first, then scripts and launchers.
    return QStringList{tr("Programs and scripts (*)"), tr("Scripts (*.sh *.py *.pl)"), tr("Launchers (*.desktop)")}
        + convertFilter(QStringLiteral("Application (*.exe)|*.exe|Batch Files (*.bat)|*.bat"));
}

void frmAddAppDoc::fillCommand(CVoiceCommand& command) const
{
    command.m_CommandLine = TextCommandLine->text();
}

void frmAddAppDoc::takeExtraResults()
{
    commandLine = TextCommandLine->text();
}
