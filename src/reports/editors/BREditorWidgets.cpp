#include "reports/editors/BREditorWidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

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

void sideBySideLists(const QString &leftCaption, QListWidget **left, const QString &rightCaption,
                     QListWidget **right, QVBoxLayout *layout)
{
    auto *lists = new QHBoxLayout;
    auto *leftColumn = new QVBoxLayout, *rightColumn = new QVBoxLayout;
    *left = captionedList(leftCaption, leftColumn);
    *right = captionedList(rightCaption, rightColumn);
    lists->addLayout(leftColumn);
    lists->addLayout(rightColumn);
    layout->addLayout(lists);
}

QHBoxLayout *withBuilder(QLineEdit *edit, std::function<bool(QString &)> build, QToolButton **button)
{
    auto *row = new QHBoxLayout;
    auto *more = new QToolButton;
    more->setText(QStringLiteral("..."));
    row->addWidget(edit, 1);
    row->addWidget(more);
    QObject::connect(more, &QToolButton::clicked, edit, [edit, build = std::move(build)] {
        QString text = edit->text();
        if (build(text))
            edit->setText(text);
    });
    if (button)
        *button = more;
    return row;
}

QLabel *wrappingLabel(QVBoxLayout *layout)
{
    auto *label = new QLabel;
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

} // namespace BREditorWidgets
