// The end-to-end tests' text window, a toolkit window as users paste into. "TextProbe
// FILE": shows a text box titled "Text probe" and keeps its whole text in FILE (UTF-8),
// replaced on every change, so a reader never sees half of it.

#include <QApplication>
#include <QPlainTextEdit>
#include <QSaveFile>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    QPlainTextEdit box;
    box.setWindowTitle(QStringLiteral("Text probe"));
    QObject::connect(&box, &QPlainTextEdit::textChanged, [&box, &path] {
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(box.toPlainText().toUtf8());
            file.commit();
        }
    });
    box.resize(400, 200);
    box.show();
    return app.exec();
}
