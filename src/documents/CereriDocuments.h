#pragma once

#include "documents/CaseReports.h"
#include "documents/DispositionDocuments.h"
#include "documents/RequestForms.h"

// The documents the request list prints from its requests: dispositions,
// request and inquiry forms, field-verification sheets and case reports.
// One instance per request list form.
class CereriDocuments
{
public:
    explicit CereriDocuments(const DocumentContext &context);

    DispositionDocuments dispositions;
    RequestForms forms;
    CaseReports reports;
};
