#pragma once
// A small character for tests: a square body, a red "Show" frame that lasts a minute
// (so a test can see it and stop it), a one-millisecond "Wave", mouth images.

#include <QByteArray>
#include <QString>

namespace TestCharacter {

QByteArray svgRect(const char* color, int x = 0, int y = 0, int side = 40);
QByteArray fileText();
// Writes the character to folder/name and returns the path.
QString write(const QString& folder, const QString& name = QStringLiteral("test.acs"));

} // namespace TestCharacter
