#include "app/shell/UserMessages.h"

#include "tests/support/TestEnvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace {

struct SeenBox {
    QRect screen, window, ok;
    QString text, details;
};

// Shows text through the real message box and notes how it looked, then closes it.
SeenBox show(const QString& text)
{
    SeenBox seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.screen = box->screen()->availableGeometry();
        seen.window = box->geometry();
        const QAbstractButton* ok = box->button(QMessageBox::Ok);
        seen.ok = QRect(ok->mapTo(box, QPoint(0, 0)), ok->size());
        seen.text = box->text();
        seen.details = box->detailedText();
        box->accept();
    });
    closer.start(10);
    MessageBoxMessages().information(text);
    return seen;
}

TEST(UserMessagesTest, AMessageListingAThousandEntriesFitsTheScreenAndKeepsEveryLine)
{
    QStringList lines;
    for (int i = 1; i <= 1000; ++i)
        lines << QStringLiteral("Vorlix.INI: entry %1 could not be read.").arg(i);
    const SeenBox seen = show(lines.join(u'\n'));
    EXPECT_LE(seen.window.height(), seen.screen.height());
    EXPECT_TRUE(QRect(QPoint(0, 0), seen.window.size()).contains(seen.ok)) << seen.ok.y() << " in " << seen.window.height();
    EXPECT_TRUE(seen.text.startsWith(lines[0]));
    EXPECT_EQ(seen.details, lines.join(u'\n'));

    const SeenBox shortOne = show(QStringLiteral("One line."));
    EXPECT_EQ(shortOne.text, "One line.");
    EXPECT_TRUE(shortOne.details.isEmpty());
}

} // namespace
