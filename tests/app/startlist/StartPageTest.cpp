#include "app/startlist/StartPage.h"
#include "tests/app/startlist/StartListFixture.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

class StartPageTest : public StartListFixture {
protected:
    QStringList shownRows() const
    {
        QStringList texts;
        for (int i = 0; i < page.lstDesktop->topLevelItemCount(); ++i)
            texts << page.lstDesktop->topLevelItem(i)->text(0);
        return texts;
    }
    StartPage page{list, messages};
};

TEST_F(StartPageTest, theListViewShowsTheRowsAndItsButtonsActOnTheSelectedOne)
{
    page.load();
    list.LoadStartList();
    h.menus.setLoading(false);
    EXPECT_EQ(shownRows(), QStringList({"Editor", "Mail", "Terminal"}));
    EXPECT_EQ(page.lstDesktop->currentItem(), page.lstDesktop->topLevelItem(0));

    page.lstDesktop->setCurrentItem(page.lstDesktop->topLevelItem(1));
    page.cmdToggleDesktop->click();
    EXPECT_EQ(rowTexts(), QStringList({"Editor", "Mail (off)", "Terminal"}));

    page.chkHideDisabled->click();
    EXPECT_TRUE(h.settings.m_HideDisabled);
    EXPECT_EQ(shownRows(), QStringList({"Editor", "Terminal"}));
    EXPECT_FALSE(page.cmdRunDesktop->isEnabled());

    page.lstDesktop->setCurrentItem(page.lstDesktop->topLevelItem(1));
    EXPECT_TRUE(page.cmdRunDesktop->isEnabled());
    page.cmdToggleDesktop->click();
    EXPECT_EQ(shownRows(), QStringList{"Editor"});
    EXPECT_EQ(page.lstDesktop->currentItem(), page.lstDesktop->topLevelItem(0));

    page.cmdRunDesktop->click();
    EXPECT_TRUE(h.log.contains("open /usr/bin/editor|--new|1"));
}
