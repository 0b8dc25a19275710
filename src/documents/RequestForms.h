#pragma once

#include "documents/DocumentContext.h"

#include <QPair>
#include <QString>
#include <QStringList>

// The documents of the request list's current request: the request form
// (full or short) and the social inquiry, filled once and kept in the data
// folder, and the field-verification sheet, made anew each time.
class RequestForms
{
public:
    enum class Form { Anexa1, Anexa2, Ancheta };

    explicit RequestForms(const DocumentContext &context);

    // Opens the stored form of the current request, or fills and stores it
    // when there is none yet.
    void ListCereB(Form form);
    void AnchShowClick();
    void AnchDelClick();
    void FisaVBClick();

    // (surname, given names): an empty surname and the whole text, or the
    // text before and after the first blank.
    static QPair<QString, QString> SplitName(const QString &full);

    // The stored document of the current request: "C", "CS" or "A" + NRCRT + ".rtf".
    QString storedPath(Form form) const;

private:
    void requireRequest() const;
    QString templateFor(Form form) const;
    int countMembers(const QString &role) const;
    void addRequestKeys();
    void addMembers();
    // Runs the work query over the request's members of one role.
    void openMembers(const QString &role, bool ordered) const;
    // The members of the open query into numbered slots; the warning when
    // there are more of them than the form has boxes.
    void addMemberSlots(const QStringList &keys, int boxes, int lastSlot, const QString &warning);

    DocumentContext m_ctx;
};
