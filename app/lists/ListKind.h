#pragma once
// What differs between the three user lists: their file, keys, command type and icon.
// Everything else is said once, in UserList and ListPage.

#include <QString>

#include <cstdint>

struct ListKind {
    QString fileName;        // in the program folder
    QString countKey;        // in section "Global"
    QString sectionWord;     // entry sections are this word and a number: "doc12"
    QString targetKey;
    bool hasCommandLine;
    int32_t type;            // CVoiceCommand::m_Type written for every entry
    int icon;                // index into imgListMain

    static const ListKind Programs;
    static const ListKind Documents;
    static const ListKind WebSites;
};
