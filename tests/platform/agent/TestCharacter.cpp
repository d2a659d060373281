#include "TestCharacter.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>

QByteArray TestCharacter::svgRect(const char* color, int x, int y, int side)
{
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\" viewBox=\"0 0 40 40\">"
                          "<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%3\" fill=\"%4\"/></svg>")
        .arg(x).arg(y).arg(side).arg(QLatin1String(color))
        .toUtf8();
}

QByteArray TestCharacter::fileText()
{
    QByteArray text = "vorlix-character 1\nname Tester\nsize 40 40\npose body\n"
                      "mouth closed mouth-shut\nmouth open mouth-open\n";
    const auto image = [&](const char* name, const QByteArray& svg) {
        text += QByteArray("image ") + name + "\n" + svg + "\nend\n";
    };
    image("body", svgRect("#00ff00"));
    image("shown", svgRect("#ff0000"));
    image("mouth-shut", svgRect("#000000", 15, 25, 10));
    image("mouth-open", svgRect("#ffffff", 15, 25, 10));
    text += "animation Show\nframe 60000 shown\nend\n"
            "animation Wave\nframe 1 body\nframe 1 shown\nend\n"
            "animation Hide\nframe 1 shown\nend\n";
    return text;
}

QString TestCharacter::write(const QString& folder, const QString& name)
{
    const QString path = QDir(folder).filePath(name);
    IsolatedEnvironment::writeFile(path, fileText());
    return path;
}
