#pragma once
// Window messages posted to the window in front (the active window). Only the
// messages with a meaning on this desktop act; any other does nothing.

#include <cstdint>

class WindowMessenger {
public:
    static constexpr uint32_t kClose = 16;        // WM_CLOSE
    static constexpr uint32_t kSysCommand = 274;  // WM_SYSCOMMAND
    static constexpr int32_t kScMinimize = 0xF020;
    static constexpr int32_t kScMaximize = 0xF030;
    static constexpr int32_t kScClose = 0xF060;
    static constexpr int32_t kScRestore = 0xF120;
    static constexpr uint32_t kCut = 768, kCopy = 769, kPaste = 770, kClear = 771, kUndo = 772;
    // EM_SETSEL with 0 and -1 selects everything: typed as Ctrl+A.
    static constexpr uint32_t kSetSel = 177;

    virtual ~WindowMessenger() = default;
    virtual void postToForeground(uint32_t message, int32_t wParam, int32_t lParam) = 0;
};
