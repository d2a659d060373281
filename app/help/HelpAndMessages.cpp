#include "app/help/HelpAndMessages.h"

#include "app/common/Conversions.h"
#include "app/help/MessageChoices.h"
#include "app/help/frmHelpMessage.h"
#include "app/help/frmMessage.h"
#include "app/shell/ModalHost.h"
#include "app/voice/VoiceMenuControl.h"
#include "platform/desktop/ShellLauncher.h"

#include <QFile>
#include <QLoggingCategory>
#include <QStringDecoder>

#include <array>

Q_LOGGING_CATEGORY(lcHelp, "vorlix.help")

namespace {

const QString kApplicationTitle = QStringLiteral("Vorlix");

// The help file is plain text; an old or hand-edited copy may be in an 8-bit code page.
QString decodeHelpFile(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

HelpAndMessages::HelpAndMessages(QString appPath, CharacterSpeech& speech, VoiceMenuControl& menus,
                                 ModalHost& modalHost, ShellLauncher& shell)
    : m_appPath(std::move(appPath)), m_speech(speech), m_menus(menus), m_modalHost(modalHost), m_shell(shell)
{
}

void HelpAndMessages::LoadHelpTexts()
{
    m_texts = {};
    QFile file(m_appPath + QStringLiteral("/VORLIXHelp.dat"));
    if (!file.open(QIODevice::ReadOnly)) {
        qCInfo(lcHelp) << "No help texts:" << file.fileName() << file.errorString();
        return;
    }
    SequentialFieldReader fields(decodeHelpFile(file.readAll()));
    const std::array<QString*, 6> inOrder{&m_texts.Overview,  &m_texts.Start,    &m_texts.Programs,
                                          &m_texts.Documents, &m_texts.WebSites, &m_texts.Macros};
    for (QString* text : inOrder) {
        std::optional<QString> field = fields.next();
        if (!field)
            return;
        *text = *field;
    }
}

bool HelpAndMessages::IsMessageHidden(const QString& messageId) const
{
    return isMessageHiddenIn(messageChoicesFile(m_appPath), messageId);
}

void HelpAndMessages::ShowHelpMessage(const QString& text, const QString& messageId, bool dontShowFlag)
{
    if (dontShowFlag && IsMessageHidden(messageId))
        return;
    frmHelpMessage form(m_speech, messageChoicesFile(m_appPath));
    m_menus.DeactivateMenus();
    form.setMessage(text);
    form.m_ID = messageId;
    form.m_DontShowVisible = dontShowFlag;
    m_modalHost.ShowModalForm(form);
    m_menus.ActivateMenus();
}

void HelpAndMessages::ShowMessage(const QString& text, bool speak)
{
    m_menus.DeactivateMenus();
    frmMessage form(m_speech);
    form.setMessage(text);
    form.m_ToSay = speak;
    m_modalHost.ShowModalForm(form);
    m_menus.ActivateMenus();
}

void HelpAndMessages::ShowPageHelp(HelpTopic topic)
{
    // The buttons clear the don't-show flag: help that is asked for always shows.
    switch (topic) {
    case HelpTopic::Overview: return ShowHelpMessage(m_texts.Overview, QStringLiteral("Overview"), false);
    case HelpTopic::Start: return ShowHelpMessage(m_texts.Start, QStringLiteral("Start"), false);
    case HelpTopic::Programs: return ShowHelpMessage(m_texts.Programs, QStringLiteral("Programs"), false);
    case HelpTopic::Documents: return ShowHelpMessage(m_texts.Documents, QStringLiteral("Documents"), false);
    case HelpTopic::WebSites: return ShowHelpMessage(m_texts.WebSites, QStringLiteral("WebSites"), false);
    case HelpTopic::Macros: return ShowHelpMessage(m_texts.Macros, QStringLiteral("Macros"), false);
    }
}

void HelpAndMessages::ShowFirstRunHelp()
{
    ShowHelpMessage(m_texts.Overview, QStringLiteral("Overview"), true);
}

void HelpAndMessages::ShowTrainingNotice()
{
    ShowMessage(QStringLiteral("The first time ") + kApplicationTitle +
                    QStringLiteral(" runs, you will go through some training. You can always go back to training "
                                   "mode by pressing the 'Training' button in the main ") +
                    kApplicationTitle + QStringLiteral(" window. Press OK now, to start the training."),
                true);
}

void HelpAndMessages::ShowTrayHint()
{
    ShowHelpMessage(QStringLiteral("You can hide and show the ") + kApplicationTitle +
                        QStringLiteral(" window by saying the command 'Show' or 'Hide."),
                    QStringLiteral("ShowHide"), true);
}

void HelpAndMessages::ShowRestartNotice()
{
    ShowMessage(QStringLiteral("In order for these settings to take effect you will need to restart ") +
                    kApplicationTitle,
                true);
}

void HelpAndMessages::ShowMicrophoneNotice(const QString& problem)
{
    const QString id = QStringLiteral("NoMicrophone");
    if (IsMessageHidden(id))
        return;
    if (!hideMessageIn(messageChoicesFile(m_appPath), id))
        qCWarning(lcHelp) << "Could not remember the microphone notice in" << messageChoicesFile(m_appPath);
    ShowMessage(kApplicationTitle + QStringLiteral(" cannot hear you: ") + problem + QStringLiteral("\r\n\r\n")
                    + QStringLiteral("Plug in a microphone, or switch it on in the sound settings of your desktop; ")
                    + kApplicationTitle
                    + QStringLiteral(" starts hearing it at once, without a restart. The Training button lets you "
                                     "choose the microphone and try it. Until then the buttons of the main window "
                                     "and 'vorlix --say' still work."),
                false);
}

void HelpAndMessages::openDownloadPage()
{
    m_shell.open(QString::fromLatin1(kCharacterDownloadPage), QString(), ShellLauncher::kShowMaximized);
}

void HelpAndMessages::openSupportPage(const QString& supportPage)
{
    const QString page = supportPage.trimmed().isEmpty() ? QString::fromLatin1(kDefaultSupportPage)
                                                          : supportPage.trimmed();
    m_shell.open(page, QString(), ShellLauncher::kShowMaximized);
}
