#pragma once

#include "platform/db/Dbf.h"
#include "platform/sql/TDataSet.h"

#include <optional>

// A dataset over one table file, opened by its path, row edits written to the
// file on Post.
class TTable : public TDataSet
{
public:
    ~TTable() override;

    QString TableName() const { return m_tableName; }
    // Only while closed.
    void SetTableName(const QString &path);

    // New row after the last; fields start null. Post writes it.
    void Append();
    void Edit();
    void Post();
    void Cancel();
    // Marks the current row deleted in the file.
    void Delete();

protected:
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override;
    void closeData() override;

private:
    void finishPending();
    void written();

    QString m_tableName;
    std::optional<Dbf> m_dbf;
};
