#pragma once

// The engine's own texts, English as the engine has always shown them.
// "%1" stands where a name or a text is filled in.
namespace BRText {
inline constexpr const char *NotPrepared = "Evaluator not prepared";
inline constexpr const char *Missing = "Missing %1";
inline constexpr const char *ErrorInExpression = "Error in expression : %1";
inline constexpr const char *IllegalNumeric = "Illegal character in numeric contant \"%1\"";
inline constexpr const char *UnknownFunction = "Unknown function : %1";
inline constexpr const char *InvalidNot = "Invalid use of NOT";
inline constexpr const char *FieldUnknownType = "Field %1 is of unknown type";
inline constexpr const char *NotCompatible = "Operator %1 is not compatible with %2 expressions";
inline constexpr const char *CannotOperate = "Cannot %1 %2 expressions";
inline constexpr const char *DivideByZero = "Cannot divide by 0";
inline constexpr const char *FloatOverflow = "Floating point overflow";
inline constexpr const char *FloatInvalid = "Invalid floating point operation";
inline constexpr const char *TooDeep = "Expression nested too deeply";
inline constexpr const char *WrongArguments = "Wrong arguments for %1";
inline constexpr const char *ConversionError = "Conversion error";
inline constexpr const char *MissingArgument = "Missing argument for %1";
inline constexpr const char *TooManyArguments = "Too many arguments";
inline constexpr const char *CountPrefix = "COUNT - ";
inline constexpr const char *InvalidSqrt = "Invalid argument to SQRT function";
inline constexpr const char *DivisionByZero = "Division by Zero";
inline constexpr const char *InvalidFormat = "Invalid format or value specified";
inline constexpr const char *Recursive = "Recursive calls not allowed";
inline constexpr const char *PrinterNotReady = "BRPrinter not ready";
inline constexpr const char *IllegalNewPage = "Illegal call to NewPage";
} // namespace BRText
