#include "documents/CereriDocuments.h"

CereriDocuments::CereriDocuments(const DocumentContext &context)
    : dispositions(context), forms(context), reports(context)
{
}
