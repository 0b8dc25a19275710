#include "xls/workbook/XlsBaseTemplateStore.h"

#include "xls/storage/XlsStorageList.h"
#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QFileInfo>

#include <algorithm>

TXlsBaseTemplateStore::TXlsBaseTemplateStore() = default;

TXlsBaseTemplateStore::~TXlsBaseTemplateStore()
{
    for (TXLSAdapter *adapter : std::vector<TXLSAdapter *>(FAdapters))
        adapter->Notification(this);
}

QString TXlsBaseTemplateStore::Key(const QString &fileName)
{
    return QFileInfo(fileName.trimmed()).fileName().toUpper();
}

void TXlsBaseTemplateStore::AddFromFile(const QString &fileName)
{
    auto list = std::make_unique<TXlsStorageList>();
    list->LoadFromFile(fileName);
    FTemplates[Key(fileName)] = std::move(list);
}

void TXlsBaseTemplateStore::AddFromBytes(const QString &fileName, const QByteArray &bytes)
{
    auto list = std::make_unique<TXlsStorageList>();
    list->LoadFromBytes(bytes);
    FTemplates[Key(fileName)] = std::move(list);
}

const TXlsStorageList &TXlsBaseTemplateStore::Template(const QString &fileName) const
{
    const auto it = FTemplates.find(Key(fileName));
    if (it == FTemplates.end())
        XlsRaise(XlsMsg::CantFindFile(fileName));
    return *it->second;
}

void TXlsBaseTemplateStore::Attach(TXLSAdapter *adapter)
{
    if (std::find(FAdapters.begin(), FAdapters.end(), adapter) == FAdapters.end())
        FAdapters.push_back(adapter);
}

void TXlsBaseTemplateStore::Detach(TXLSAdapter *adapter)
{
    FAdapters.erase(std::remove(FAdapters.begin(), FAdapters.end(), adapter), FAdapters.end());
}
