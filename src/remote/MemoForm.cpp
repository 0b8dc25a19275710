#include "remote/MemoForm.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

void layOutMemoForm(QDialog *dialog, QFormLayout *form, QPushButton *memo, QPushButton *close)
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(memo);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addLayout(buttons);
    QObject::connect(close, &QPushButton::clicked, dialog, [dialog] { dialog->done(2); });
}
