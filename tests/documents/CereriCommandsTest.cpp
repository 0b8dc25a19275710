#include "DocumentsWorld.h"

#include "documents/CereriCommands.h"
#include "requests/CereriF.h"

#include <QAction>

// The request list offers the documents as commands that run in its guard.
TEST(CereriCommands, RequestListRunsTheDocuments)
{
    DocumentsWorld w;
    w.extractTemplates();
    w.writeCereri({DocumentsWorld::request(1)});
    w.writeOameni({DocumentsWorld::member(1, "POPESCU ION", "1800101040011", "beneficiar")});
    TCereriF form;
    CereriCommands::install(form);
    for (const char *caption : {"Dispozitie de Stabilire Separata", "Dispozitie de Modificare", "Dispozitie de Incetare",
                                "Dispozitie de Respingere", "Anexa 1", "Anexa 2 - Forma prescurtata",
                                "Fisa de verificare in teren", "Adauga", "Arata", "Sterge", "Listeaza Re&ferate"})
        EXPECT_NE(form.command(QLatin1String(caption)), nullptr) << caption;

    form.ShowMonth(QStringLiteral("01.2023"));
    form.command(QStringLiteral("Anexa 1"))->trigger();
    EXPECT_EQ(w.shell.openedDocuments, QStringList{w.data + QStringLiteral("/C1.rtf")});

    form.command(QStringLiteral("Arata"))->trigger();
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_EQ(w.dialogs.messages.last().title, QStringLiteral("Arata Ancheta"));

    // A failure reaches the user as a message; nothing escapes the handler.
    QFile::remove(w.data + QStringLiteral("/FisaV.rtf"));
    form.command(QStringLiteral("Fisa de verificare in teren"))->trigger();
    ASSERT_EQ(w.dialogs.messages.size(), 2);
    EXPECT_TRUE(w.dialogs.messages.last().text.startsWith(QStringLiteral("Nu exista modelul ")));
    EXPECT_EQ(w.dialogs.messages.last().kindCaption, QStringLiteral("Eroare"));
    EXPECT_EQ(w.shell.openedDocuments.size(), 1);
    EXPECT_TRUE(form.isEnabled());
}

// Without an application to open it, the clerk learns where the document is.
TEST(CereriCommands, UnopenedDocumentSaysWhereItWasSaved)
{
    DocumentsWorld w;
    w.extractTemplates();
    w.writeCereri({DocumentsWorld::request(1)});
    w.writeOameni({DocumentsWorld::member(1, "POPESCU ION", "1800101040011", "beneficiar")});
    w.choose(1);
    w.shell.openAnswer = false;
    w.docs->forms.FisaVBClick();
    ASSERT_EQ(w.dialogs.messages.size(), 1);
    EXPECT_EQ(w.dialogs.messages[0].text,
              QStringLiteral("Documentul a fost salvat in %1.").arg(QDir::toNativeSeparators(w.lastOpened())));
    EXPECT_TRUE(QFileInfo::exists(w.lastOpened()));
}
