#include "xls/workbook/XLSAdapter.h"

#include "xls/workbook/XLSFile.h"
#include "xls/workbook/XlsBaseTemplateStore.h"

TXLSAdapter::~TXLSAdapter()
{
    SetTemplateStore(nullptr);
}

std::unique_ptr<TExcelFile> TXLSAdapter::CreateExcelFile()
{
    return std::make_unique<TXLSFile>(this, AllowOverwritingFiles);
}

void TXLSAdapter::SetTemplateStore(TXlsBaseTemplateStore *store)
{
    if (FTemplateStore == store)
        return;
    if (FTemplateStore)
        FTemplateStore->Detach(this);
    FTemplateStore = store;
    if (FTemplateStore)
        FTemplateStore->Attach(this);
}

void TXLSAdapter::Notification(const TXlsBaseTemplateStore *removed)
{
    if (removed == FTemplateStore)
        FTemplateStore = nullptr;
}
