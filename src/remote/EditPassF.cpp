#include "remote/EditPassF.h"

#include "core/Form1.h"
#include "remote/MemoForm.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

TEditPassF &EditPassF()
{
    static TEditPassF *instance = new TEditPassF;
    return *instance;
}

TEditPassF::TEditPassF(QWidget *parent)
    : QDialog(parent), PassN(new QLineEdit(this)), MemoBut(new QPushButton(QStringLiteral("&Memoreaza"), this)),
      CloseBut(new QPushButton(QStringLiteral("&Renunt"), this))
{
    setWindowTitle(QStringLiteral("Schimbare parola"));
    PassN->setMaxLength(40);
    connect(PassN, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    connect(MemoBut, &QPushButton::clicked, this, &TEditPassF::MemoButClick);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Parola noua"), PassN);
    layOutMemoForm(this, form, MemoBut, CloseBut);
}

bool TEditPassF::Arata()
{
    Prepare();
    return exec() == QDialog::Accepted;
}

void TEditPassF::Prepare()
{
    setResult(QDialog::Rejected);
    m_password.clear();
    PassN->clear();
    PassN->setFocus();
}

void TEditPassF::MemoButClick()
{
    const QString password = TForm1::CleanText(PassN->text());
    if (password.isEmpty()) {
        TForm1::ShowProblem(QStringLiteral("Nu ati scris nicio parola!"), PassN);
        return;
    }
    m_password = password;
    accept();
}
