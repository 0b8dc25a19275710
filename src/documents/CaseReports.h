#pragma once

#include "documents/DocumentContext.h"

#include <memory>

class TAlegeCere;

// The reports on granted cases ("Referat") of a range of report numbers of
// the working month, one page per request.
class CaseReports
{
public:
    explicit CaseReports(const DocumentContext &context);
    ~CaseReports();

    // "Listeaza Re&ferate": asks for the range, then prints the reports.
    void BitBtn10Click();

    TAlegeCere &dialog() { return *m_dialog; }

private:
    void addKeys();

    DocumentContext m_ctx;
    std::unique_ptr<TAlegeCere> m_dialog;
};
