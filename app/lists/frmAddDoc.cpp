#include "app/lists/frmAddDoc.h"

#include "app/voice/CVoiceCommand.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmAddDoc::frmAddDoc(const Services& services, QWidget* parent) : EntryDialog(services, parent)
{
    setObjectName(QStringLiteral("frmAddDoc"));
    setWindowTitle(tr("Add  Document"));
    auto* pathArea = new QWidget;
    LabelDocPath = new QLabel(tr("&Document path"));
    LabelDocPath->setObjectName(QStringLiteral("LabelDocPath"));
    LabelDocPath->setBuddy(TextAppPath);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(TextAppPath);
    pathRow->addWidget(CommandBrowse);
    auto* layout = new QVBoxLayout(pathArea);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(LabelDocPath);
    layout->addLayout(pathRow);

    layOut(tr("Say this to open document"), pathArea, QStringLiteral("OKButton"), QStringLiteral("CancelButton"));
}

void frmAddDoc::setIsDocument(bool isDocument)
{
    m_isDocument = isDocument;
    if (!isDocument) {
        setWindowTitle(tr("Add Web Site"));
        LabelDocPath->setText(tr("Web Site Address"));
        CommandBrowse->hide();
    }
}

void frmAddDoc::setEditing()
{
    setWindowTitle(m_isDocument ? tr("Edit Document") : tr("Edit Web Site"));
}

int32_t frmAddDoc::commandType() const
{
    return m_isDocument ? COMMAND_OPEN_DOCUMENT : COMMAND_OPEN_WEB_SITE;
}

QStringList frmAddDoc::browseFilters() const
{
    return QStringList{tr("Documents (*.odt *.ods *.odp *.odg *.pdf *.txt *.doc *.docx *.rtf *.html *.htm)"),
                       tr("OpenDocument (*.odt *.ods *.odp *.odg)"), tr("PDF (*.pdf)"),
                       tr("Images (*.png *.jpg *.jpeg *.gif *.svg *.bmp)")}
        + convertFilter(QStringLiteral("Document (*.doc)|*.doc|Text File (*.txt)|*.txt |Window Write (*.wri)|*.wri|Rich "
                                       "Text (*.rtf)|*.rtf|Html (*.html)|*.html|Htm (*.htm)|*.htm|Bitmap Image "
                                       "(*.bmp)|*.bmp|Gif (*.gif)|*.gif|All Files (*.*)|*.*"));
}
