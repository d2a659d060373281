#include "app/shell/PlaceholderPage.h"

#include <QLabel>
#include <QVBoxLayout>

PlaceholderPage::PlaceholderPage(QString caption, const QString& hint) : m_caption(std::move(caption))
{
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(hint);
    label->setAlignment(Qt::AlignCenter);
    label->setEnabled(false);
    layout->addWidget(label);
}
