#pragma once
// The autostart entry: the value "Vorlix" of the Run key, which this desktop keeps as
// the XDG autostart entry Vorlix.desktop. Failures are silent.

#include <QString>

#include <optional>

namespace AutoStart {

// The value's text: the program file's path and " -AUTOSTART".
QString entryText(const QString& programFile);

// Writes the value when enable is set, deletes it otherwise.
void SetAutoStart(bool enable, const QString& programFile);

// Whether the value exists; nullopt when the key cannot be opened (box left unchanged).
std::optional<bool> ReadAutoStart();

} // namespace AutoStart
