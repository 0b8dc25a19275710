#include "core/Erori.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

MessageSpec TErori::specFor(const QString &title, const QString &text, int kind, int buttons)
{
    MessageSpec spec;
    spec.title = title;
    spec.text = text;
    switch (kind) {
    case 0: spec.kind = 0; spec.kindCaption = QStringLiteral("Atentie !"); break;
    case 2: spec.kind = 2; spec.kindCaption = QStringLiteral("Informatie"); break;
    case 3: spec.kind = 3; spec.kindCaption = QStringLiteral("Confirmare"); break;
    default: spec.kind = 1; spec.kindCaption = QStringLiteral("Eroare"); spec.beep = true; break;
    }
    struct B { int bit; const char *caption; int result; };
    static const B order[] = {{Da, "&Da", ResultDa}, {Nu, "&Nu", ResultNu},
                              {Renunt, "&Renunt", ResultRenunt}, {OK, "&OK", ResultOK}};
    for (const B &b : order) {
        if (buttons & b.bit) {
            spec.buttons.append(QString::fromLatin1(b.caption));
            spec.results.append(b.result);
        }
    }
    return spec;
}

int TErori::Mesaj(const QString &title, const QString &text, int kind, int buttons)
{
    const MessageSpec spec = specFor(title, text, kind, buttons);
    if (spec.buttons.isEmpty())
        return ResultRenunt;
    return Dialogs::instance().showMessage(spec);
}

TErori::TErori(const MessageSpec &spec, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(spec.title.isEmpty() ? spec.kindCaption : spec.title);
    setModal(true);

    QStyle::StandardPixmap icon = QStyle::SP_MessageBoxCritical;
    if (spec.kind == 0)
        icon = QStyle::SP_MessageBoxWarning;
    else if (spec.kind == 2)
        icon = QStyle::SP_MessageBoxInformation;
    else if (spec.kind == 3)
        icon = QStyle::SP_MessageBoxQuestion;

    auto *iconLabel = new QLabel(this);
    iconLabel->setPixmap(style()->standardIcon(icon).pixmap(48, 48));
    auto *caption = new QLabel(spec.kindCaption, this);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    auto *text = new QLabel(spec.text.trimmed(), this);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setMinimumWidth(320);

    auto *textColumn = new QVBoxLayout;
    textColumn->addWidget(caption);
    textColumn->addWidget(text, 1);
    auto *top = new QHBoxLayout;
    top->addWidget(iconLabel, 0, Qt::AlignTop);
    top->addLayout(textColumn, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (int i = 0; i < spec.buttons.size(); ++i) {
        auto *b = new QPushButton(spec.buttons.at(i), this);
        const int result = spec.results.at(i);
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        buttons->addWidget(b);
        if (i == 0)
            b->setDefault(true);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
}
