#pragma once

#include "documents/DocumentContext.h"

#include <QDate>
#include <QString>

#include <memory>

class TDataSet;
class TListDispF;

// The mayor's dispositions of a range of disposition numbers, all of one
// kind, one page per request.
class DispositionDocuments
{
public:
    enum class Kind { Stabilire, Modificare, Incetare, Respingere };
    struct KindInfo
    {
        const char *caption;  // menu entry
        const char *status;   // STATUT of the requests listed
        const char *templateFile;
    };
    static const KindInfo &info(Kind kind);

    explicit DispositionDocuments(const DocumentContext &context);
    ~DispositionDocuments();

    // Asks for the range, then prints the kind's dispositions in it.
    void ListDisp(Kind kind);

    // "comunei ", "orasului " or "municipiului " for the administration's
    // locality type; empty for any other.
    static QString TipLocalitate();
    static QString TipLocalitate(int index);

    TListDispF &dialog() { return *m_dialog; }

private:
    void addKeys(Kind kind, const QDate &grantedFrom);
    static QString rightsClause(Kind kind, const TDataSet &row, const QString &amount, const QString &letter);

    DocumentContext m_ctx;
    std::unique_ptr<TListDispF> m_dialog;
};
