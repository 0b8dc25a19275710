#pragma once

#include "xls/workbook/ExcelAdapter.h"
#include "xls/workbook/ExcelFile.h"

class TXlsBaseTemplateStore;

// The adapter for native workbooks: makes TXLSFile objects.
class TXLSAdapter : public TExcelAdapter
{
public:
    TXLSAdapter() = default;

    std::unique_ptr<TExcelFile> CreateExcelFile() override;

    TXlsSaveFormats SaveFormat{TXlsSaveFormat::snXLS};
    // Not owned; cleared through Notification when the store goes away.
    TXlsBaseTemplateStore *TemplateStore = nullptr;
    bool AllowOverwritingFiles = true;

    // The store is being destroyed.
    void Notification(const TXlsBaseTemplateStore *removed);
};
