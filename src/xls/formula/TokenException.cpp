#include "xls/formula/TokenException.h"

#include "xls/formula/XlsFormulaMessages.h"

ETokenException::ETokenException(int tokenId)
    : EExcelException(FormulaMessages::tokenNotSupported(tokenId)), FToken(tokenId)
{
}
