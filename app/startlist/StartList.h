#pragma once
// The Start list: the desktop, Start menu and settings items that the library exports
// into "apps.dat", each a command that starts a program, enabled (a voice command) or
// disabled (kept in "appfilter.dat"), and the rows the Start page shows of them. Widget
// free: the page renders rows() through StartListView and forwards its events here.
// The list of entries is fixed from start-up to exit; changing a source or Refresh only
// deletes "apps.dat", so the next start exports a new one. UI thread only.

#include "app/voice/CommandList.h"
#include "platform/common/Result.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class CSettings;
class CVoiceCommand;
class MessageWindows;
class MokavelExports;
class Questions;
class VoiceMenus;
struct CommandContext;

// What the page does when the rows change; every call leaves rows() and
// selectedRow() as the page must show them.
class StartListView {
public:
    virtual ~StartListView() = default;
    virtual void rowsReset() = 0;
    virtual void rowChanged(int row) = 0;
    virtual void rowRemoved(int row) = 0;
    virtual void selectionChanged() = 0;
    // Run and Disable/Enable buttons, after UpdateStartButtons.
    virtual void buttonsChanged() = 0;
    // cmdToggleDesktop_Click gives the list the input focus.
    virtual void focusList() = 0;
};

class StartList {
public:
    static constexpr int kIconEnabled = 1;
    static constexpr int kIconDisabled = 2;
    static constexpr auto kListFileName = "apps.dat";
    static constexpr auto kFilterFileName = "appfilter.dat";

    struct Row {
        QString text;
        int icon = kIconEnabled;
    };
    struct Buttons {
        bool runEnabled = false;
        bool toggleEnabled = false;
        QString toggleCaption = QStringLiteral("Disable");
    };

    // Every reference must outlive the list. appPath: the program folder.
    StartList(QString appPath, CSettings& settings, VoiceMenus& menus, CommandContext& context,
              MokavelExports& library, MessageWindows& messages, Questions& questions);
    ~StartList();
    StartList(const StartList&) = delete;
    StartList& operator=(const StartList&) = delete;

    void setView(StartListView* view) { m_view = view; }
    bool hideDisabled() const;

    QString listFile() const;
    QString filterFile() const;

    // Once, at start-up: exports "apps.dat" when it is missing and a source is chosen,
    // reads it with the disabled phrases of "appfilter.dat", registers the enabled
    // entries and fills the rows, the first one selected.
    void LoadStartList();
    // At exit: "appfilter.dat" rewritten with the disabled phrases (empty when none).
    Result<void> SaveStartFilter() const;

    // The entries by phrase, first record of a phrase kept.
    const CommandList& StartItems() const { return m_items; }

    const std::vector<Row>& rows() const { return m_rows; }
    int selectedRow() const { return m_selected; }
    // -1 for none. Runs UpdateStartButtons.
    void selectRow(int row);
    const Buttons& buttons() const { return m_buttons; }

    void RefreshStartListView();
    void UpdateStartButtons();
    void InvalidateStartList();

    // Handlers of the Start page.
    void cmdRunDesktop_Click(); // also a double-click on a row
    void cmdToggleDesktop_Click();
    void chkHideDisabled_Click(bool checked);
    void cmdRefreshStart_Click();
    // Handlers of the three source check boxes, wherever they stand.
    void chkDesktopApplications_Click(bool checked);
    void chkLoadStartMenu_Click(bool checked);
    void chkLoadControlPanel_Click(bool checked);

    // Source bits of fnMokavel from the three settings.
    int32_t sourceBits() const;

private:
    void AddStartListRow(const CVoiceCommand& entry);
    void sourceClicked(int16_t CSettings::*setting, bool checked);
    CVoiceCommand* selectedEntry() const;

    QString m_appPath;
    CSettings& m_settings;
    VoiceMenus& m_menus;
    CommandContext& m_context;
    MokavelExports& m_library;
    MessageWindows& m_messages;
    Questions& m_questions;
    StartListView* m_view = nullptr;

    CommandList m_items;
    // Later records of a phrase already taken: each keeps its row and its registration
    // (the last registration of a phrase answers), but Run and Disable act on the first.
    std::vector<std::unique_ptr<CVoiceCommand>> m_shadowed;
    std::vector<Row> m_rows;
    int m_selected = -1;
    Buttons m_buttons;
};
