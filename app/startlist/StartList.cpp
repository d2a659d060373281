#include "app/startlist/StartList.h"

#include "app/common/IniFile.h"
#include "app/common/Questions.h"
#include "app/help/MessageWindows.h"
#include "app/mokavel/ExportRecords.h"
#include "app/mokavel/MokavelExports.h"
#include "app/settings/CSettings.h"
#include "app/voice/CVoiceCommand.h"
#include "app/voice/VoiceMenus.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace {

// The phrases of the filter file, case-folded: one a line, matched ignoring case.
QSet<QString> readDisabledPhrases(const QString& file)
{
    QSet<QString> phrases;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return phrases;
    for (const QByteArray& line : in.readAll().split('\n')) {
        QByteArray phrase = line;
        if (phrase.endsWith('\r'))
            phrase.chop(1);
        if (!phrase.isEmpty())
            phrases.insert(QString::fromUtf8(phrase).toCaseFolded());
    }
    return phrases;
}

} // namespace

StartList::StartList(QString appPath, CSettings& settings, VoiceMenus& menus, CommandContext& context,
                     MokavelExports& library, MessageWindows& messages, Questions& questions)
    : m_appPath(std::move(appPath)), m_settings(settings), m_menus(menus), m_context(context), m_library(library),
      m_messages(messages), m_questions(questions), m_items(menus)
{
}

StartList::~StartList()
{
    for (const auto& entry : m_shadowed)
        m_menus.UnregisterCommand(*entry);
    m_items.clear();
}

bool StartList::hideDisabled() const
{
    return m_settings.m_HideDisabled;
}

QString StartList::listFile() const
{
    return QDir(m_appPath).filePath(QString::fromLatin1(kListFileName));
}

QString StartList::filterFile() const
{
    return QDir(m_appPath).filePath(QString::fromLatin1(kFilterFileName));
}

int32_t StartList::sourceBits() const
{
    return (m_settings.m_LoadDesktop == 1 ? MokavelExports::kDesktop : 0) |
           (m_settings.m_LoadStartMenu == 1 ? MokavelExports::kStartMenu : 0) |
           (m_settings.m_LoadControlPanel == 1 ? MokavelExports::kControlPanel : 0);
}

void StartList::LoadStartList()
{
    const int32_t sources = sourceBits();
    if (sources == 0)
        return;
    const QString file = listFile();
    if (!QFile::exists(file))
        (void)m_library.fnMokavel(file, sources); // the file tells; a failure is tried again next start
    if (!QFile::exists(file))
        return;
    const QSet<QString> disabled = QFile::exists(filterFile()) ? readDisabledPhrases(filterFile()) : QSet<QString>();
    for (ExportRecord& record : ReadExportRecords(file)) {
        auto entry = std::make_unique<CVoiceCommand>(m_context);
        entry->m_Name = record.name;
        entry->m_Voice = record.name;
        entry->m_WhatToSay = record.name;
        entry->m_Active = !disabled.contains(record.name.toCaseFolded());
        entry->m_Type = COMMAND_RUN_PROGRAM;
        entry->m_Cmd = std::move(record.target);
        entry->m_CommandLine = std::move(record.arguments);
        CVoiceCommand* kept = nullptr;
        if (!m_items.contains(entry->m_Name)) {
            kept = m_items.add(std::move(entry));
        } else {
            m_shadowed.push_back(std::move(entry));
            kept = m_shadowed.back().get();
        }
        if (kept->m_Active)
            m_menus.RegisterCommand(*kept);
        AddStartListRow(*kept);
    }
    m_selected = m_rows.empty() ? -1 : 0;
    if (m_view)
        m_view->rowsReset();
    UpdateStartButtons();
}

void StartList::AddStartListRow(const CVoiceCommand& entry)
{
    if (entry.m_Active)
        m_rows.push_back({entry.m_Voice, kIconEnabled});
    else if (!m_settings.m_HideDisabled)
        m_rows.push_back({entry.m_Voice, kIconDisabled});
}

void StartList::RefreshStartListView()
{
    m_rows.clear();
    for (const auto& entry : m_items)
        AddStartListRow(*entry);
    // A list view loses its selection when its rows are removed.
    m_selected = -1;
    if (m_view)
        m_view->rowsReset();
}

void StartList::selectRow(int row)
{
    m_selected = row >= 0 && row < static_cast<int>(m_rows.size()) ? row : -1;
    UpdateStartButtons();
}

void StartList::UpdateStartButtons()
{
    const bool selected = m_selected >= 0;
    m_buttons.runEnabled = selected;
    m_buttons.toggleEnabled = selected;
    if (selected)
        m_buttons.toggleCaption = m_rows[static_cast<size_t>(m_selected)].icon == kIconEnabled
                                      ? QStringLiteral("Disable")
                                      : QStringLiteral("Enable");
    if (m_view)
        m_view->buttonsChanged();
}

CVoiceCommand* StartList::selectedEntry() const
{
    if (m_selected < 0)
        return nullptr;
    return m_items.find(m_rows[static_cast<size_t>(m_selected)].text);
}

void StartList::cmdRunDesktop_Click()
{
    if (CVoiceCommand* entry = selectedEntry())
        entry->Execute(); // a disabled entry runs too
}

void StartList::cmdToggleDesktop_Click()
{
    if (m_selected < 0)
        return;
    if (CVoiceCommand* entry = selectedEntry()) {
        const int row = m_selected;
        entry->m_Active = !entry->m_Active;
        if (entry->m_Active) {
            m_rows[static_cast<size_t>(row)].icon = kIconEnabled;
            if (m_view)
                m_view->rowChanged(row);
            m_items.registerCommand(*entry);
        } else {
            if (m_settings.m_HideDisabled) {
                m_rows.erase(m_rows.begin() + row);
                // The next row takes the selection, as in a list view.
                m_selected = std::min(row, static_cast<int>(m_rows.size()) - 1);
                if (m_view) {
                    m_view->rowRemoved(row);
                    m_view->selectionChanged();
                }
            } else {
                m_rows[static_cast<size_t>(row)].icon = kIconDisabled;
                if (m_view)
                    m_view->rowChanged(row);
            }
            m_items.unregisterCommand(*entry);
        }
    }
    if (m_view)
        m_view->focusList();
    UpdateStartButtons();
}

void StartList::chkHideDisabled_Click(bool checked)
{
    if (m_menus.isLoading())
        return;
    m_settings.m_HideDisabled = checked;
    RefreshStartListView();
    UpdateStartButtons();
}

void StartList::sourceClicked(int16_t CSettings::*setting, bool checked)
{
    if (m_menus.isLoading())
        return;
    m_settings.*setting = checked ? 1 : 0;
    InvalidateStartList();
}

void StartList::chkDesktopApplications_Click(bool checked)
{
    sourceClicked(&CSettings::m_LoadDesktop, checked);
}

void StartList::chkLoadStartMenu_Click(bool checked)
{
    sourceClicked(&CSettings::m_LoadStartMenu, checked);
}

void StartList::chkLoadControlPanel_Click(bool checked)
{
    sourceClicked(&CSettings::m_LoadControlPanel, checked);
}

void StartList::cmdRefreshStart_Click()
{
    if (m_questions.askYesNo(QStringLiteral("Refresh Start"), QStringLiteral("Would you like to refresh the 'Start' list?")))
        InvalidateStartList();
}

void StartList::InvalidateStartList()
{
    QFile::remove(listFile());
    m_messages.ShowRestartNotice();
}

Result<void> StartList::SaveStartFilter() const
{
    QByteArray bytes;
    for (const auto& entry : m_items) {
        if (!entry->m_Active)
            bytes += entry->m_Voice.toUtf8() + "\r\n";
    }
    return ReplaceFileAtomically(filterFile(), bytes);
}
