#include "suppliers/PlusAnexe.h"

#include "core/CommandGuard.h"
#include "core/Dialogs.h"
#include "core/Erori.h"
#include "documents/DocumentOpener.h"
#include "documents/ExpXLSOLE.h"
#include "suppliers/AnnexMerger.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

TPlusAnexe::TPlusAnexe(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), AnexaL(new QLabel(this)),
      Label2(new QLabel(QStringLiteral("Adunam mai multe Anexe in una singura"), this)), Panel1(new QWidget(this)),
      Label1(new QLabel(QStringLiteral("Lista Anexelor de adunat"), Panel1)), Memo1(new QPlainTextEdit(Panel1)),
      AddAnxB(new QPushButton(QStringLiteral("Adauga Anexa"), Panel1)),
      EmptyB(new QPushButton(QStringLiteral("Goleste Lista"), Panel1)),
      AdunaB(new QPushButton(QStringLiteral("Aduna Anexele"), this)), XCellS(&XLSS)
{
    setWindowTitle(QStringLiteral("Adunare Anexe"));
    XLSS.AllowOverwritingFiles = false;
    QFont big = AnexaL->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    AnexaL->setFont(big);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setMinimumSize(520, 160);
    for (QPushButton *b : {AddAnxB, EmptyB, AdunaB})
        b->setAutoDefault(false);
    AdunaB->setEnabled(false);

    auto *listButtons = new QHBoxLayout;
    listButtons->addWidget(AddAnxB);
    listButtons->addWidget(EmptyB);
    listButtons->addStretch();
    auto *panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->addWidget(Label1);
    panel->addWidget(Memo1);
    panel->addLayout(listButtons);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(AdunaB);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(AnexaL);
    layout->addWidget(Label2);
    layout->addWidget(Panel1);
    layout->addLayout(bottom);

    connect(AddAnxB, &QPushButton::clicked, this, [this] { CommandGuard::run(this, [this] { AddAnxBClick(); }); });
    connect(EmptyB, &QPushButton::clicked, this, &TPlusAnexe::ClearList);
    connect(AdunaB, &QPushButton::clicked, this, &TPlusAnexe::AdunaBClick);
}

void TPlusAnexe::Execute(int annex)
{
    ClearList();
    m_annex = annex;
    AnexaL->setText(QStringLiteral("ANEXA %1").arg(annex));
    exec();
}

void TPlusAnexe::ClearList()
{
    m_files.clear();
    Memo1->clear();
    Panel1->setEnabled(true);
    AdunaB->setEnabled(false);
}


void TPlusAnexe::refuse(const QString &text)
{
    TErori::Mesaj(QStringLiteral("Adaugare ") + AnexaL->text(), text, 1, TErori::OK);
}

void TPlusAnexe::AddAnxBClick()
{
    const QString chosen = Dialogs::instance().chooseFile(QStringLiteral("Alege o Anexa"), OpenFilter, false);
    if (chosen.isEmpty())
        return;
    AnnexMerger merger(ExpXLSOLE(), XCellS);
    QString why;
    if (merger.AnnexNumberOf(chosen, m_annex, &why) != m_annex) {
        refuse(QStringLiteral("\rAnexa aleasa NU este o Anexa %1!").arg(m_annex) + (why.isEmpty() ? QString() : u'\r' + why));
        return;
    }
    // One file under two names (a link, "..") is still one file.
    const QString path = QFileInfo(chosen).canonicalFilePath();
    if (m_files.contains(path)) {
        refuse(QStringLiteral("\rAti mai adaugat odata aceasta Anexa!"));
        return;
    }
    m_files.append(path);
    Memo1->appendPlainText(path);
    AdunaB->setEnabled(m_files.size() > 1);
}

void TPlusAnexe::AdunaBClick()
{
    Panel1->setEnabled(false);
    AdunaB->setEnabled(false);
    // The controls come back after an error too, so the clerk can mend the list.
    const auto enable = qScopeGuard([this] {
        Panel1->setEnabled(true);
        AdunaB->setEnabled(m_files.size() > 1);
    });
    CommandGuard::run(this, [this] {
        AnnexMerger merger(ExpXLSOLE(), XCellS);
        const QString merged = merger.Merge(m_annex, m_files, [] {
            return TErori::Mesaj(QStringLiteral("Verificare CNP"), QStringLiteral("\rDoriti sa verificam CNP-urile dublate?"), 3,
                                 TErori::Da | TErori::Nu)
                   == TErori::ResultDa;
        });
        DocumentOpener::open(merged);
    });
}

TPlusAnexe &PlusAnexe()
{
    static TPlusAnexe *instance = new TPlusAnexe;
    return *instance;
}
