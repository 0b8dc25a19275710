#pragma once

#include "xls/workbook/ExcelAdapter.h"
#include "xls/workbook/ExcelFile.h"

class TXlsBaseTemplateStore;

// The adapter for native workbooks: makes TXLSFile objects.
class TXLSAdapter : public TExcelAdapter
{
public:
    TXLSAdapter() = default;
    ~TXLSAdapter() override;
    TXLSAdapter(const TXLSAdapter &) = delete;
    TXLSAdapter &operator=(const TXLSAdapter &) = delete;

    std::unique_ptr<TExcelFile> CreateExcelFile() override;

    TXlsSaveFormats SaveFormat{TXlsSaveFormat::snXLS};
    bool AllowOverwritingFiles = true;

    // Optional; not owned. The store tells the adapter when it goes away.
    TXlsBaseTemplateStore *TemplateStore() const { return FTemplateStore; }
    void SetTemplateStore(TXlsBaseTemplateStore *store);
    void Notification(const TXlsBaseTemplateStore *removed);

private:
    TXlsBaseTemplateStore *FTemplateStore = nullptr;
};
