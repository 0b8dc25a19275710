#pragma once

#include "xls/storage/ExcelException.h"

#include <QString>

#include <utility>

// The message of the exception (the engine's, unless another type is named)
// that fn raises; empty when it raises none.
template <class E = EExcelException, class Fn>
QString ErrorOf(Fn &&fn)
{
    try {
        std::forward<Fn>(fn)();
    } catch (const E &e) {
        return QString::fromUtf8(e.what());
    }
    return QString();
}
