#include "reports/editors/BREditorWidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace BREditorWidgets {

QHBoxLayout *buttonRow(const QList<QPushButton *> &buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *b : buttons)
        row->addWidget(b);
    return row;
}

QListWidget *captionedList(const QString &caption, QVBoxLayout *layout)
{
    auto *label = new QLabel(caption);
    auto *list = new QListWidget;
    label->setBuddy(list);
    layout->addWidget(label);
    layout->addWidget(list);
    return list;
}

QLabel *wrappingLabel(QVBoxLayout *layout)
{
    auto *label = new QLabel;
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

} // namespace BREditorWidgets
