#pragma once

#include <QString>

#include <map>
#include <memory>
#include <vector>

class TXlsStorageList;
class TXLSAdapter;

// Workbook templates held in memory, each with every stream of its compound
// document, found by file name without regard to case.
class TXlsBaseTemplateStore
{
public:
    TXlsBaseTemplateStore();
    virtual ~TXlsBaseTemplateStore();
    TXlsBaseTemplateStore(const TXlsBaseTemplateStore &) = delete;
    TXlsBaseTemplateStore &operator=(const TXlsBaseTemplateStore &) = delete;

    bool IsEmpty() const { return FTemplates.empty(); }
    int Count() const { return int(FTemplates.size()); }

    // Reads a compound document (raises for a damaged one) and keeps it under its file name.
    void AddFromFile(const QString &fileName);
    void AddFromBytes(const QString &fileName, const QByteArray &bytes);
    // The template of that file name (path and case do not matter); raises
    // "Can't find the file "%s"" when there is none.
    const TXlsStorageList &Template(const QString &fileName) const;

    // Adapters that use this store learn when it goes away.
    void Attach(TXLSAdapter *adapter);
    void Detach(TXLSAdapter *adapter);

private:
    static QString Key(const QString &fileName);
    std::map<QString, std::unique_ptr<TXlsStorageList>> FTemplates;
    std::vector<TXLSAdapter *> FAdapters;
};
