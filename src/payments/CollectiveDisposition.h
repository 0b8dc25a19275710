#pragma once

#include "documents/DocumentContext.h"

#include <QDate>
#include <QStringList>

#include <memory>

class TAlegeNrDisp;
struct OfficeSettings;

// The collective disposition ("Dispozitie Unica") from "StabilireU.xls" of
// the data folder: the decision with its totals, the annex of the households
// with aid and the annex of those with supplements, for every granted request
// of the working month that carries the disposition number.
class CollectiveDisposition
{
public:
    explicit CollectiveDisposition(const DocumentContext &context);
    ~CollectiveDisposition();

    // "Dispozitie Unica de Stabilire": asks for the number, then prints.
    void ListeazaDispCum();

    TAlegeNrDisp &dialog() { return *m_dialog; }

private:
    enum class Filter { Granted, WithAid, WithSupplements };
    QStringList where(Filter filter) const;
    QStringList listQuery(Filter filter) const;
    void fillDecision(const OfficeSettings &office, const QDate &dispDate, const QDate &requestDate);
    void fillAnnex(const OfficeSettings &office, int sheet, Filter filter, const QString &dispDate);

    DocumentContext m_ctx;
    std::unique_ptr<TAlegeNrDisp> m_dialog;
};
