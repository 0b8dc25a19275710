#pragma once

#include "xls/storage/ExcelException.h"

// A token the reference walker or the decoder cannot handle.
class ETokenException : public EExcelException
{
public:
    explicit ETokenException(int tokenId);
    int Token() const { return FToken; }

private:
    int FToken;
};
