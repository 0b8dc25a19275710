#pragma once

#include "platform/sql/TQuery.h"

// The stored copies as the dialog lists them: the query's fields plus DATAS
// and ORAS, the date and the time of DATAORA (a day count from 30.12.1899
// with the time as its fraction) as "dd.MM.yyyy" and "HH:mm:ss".
class StocQuery : public TQuery
{
public:
    static QDateTime fromDayCount(double days);

protected:
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override;
};
