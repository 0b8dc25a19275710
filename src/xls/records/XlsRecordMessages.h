#pragma once

// The record layer's own message texts.
namespace XlsRecordMessages {
inline constexpr const char *ErrExcelInvalid = "Error reading Excel records. File invalid";
inline constexpr const char *ErrFileIsPasswordProtected = "File is password protected";
inline constexpr const char *ErrMoreThanOneContinue = "Trying to add more than one CONTINUE record to the same record";
inline constexpr const char *ErrWrongExcelRecord = "Record with ID 0x%1 is invalid";
inline constexpr const char *ErrReadingRecord = "Error reading record";
inline constexpr const char *ErrCantWrite = "Error writing output file";
inline constexpr const char *ErrInvalidVersion = "Template file is saved with an invalid Excel version";
inline constexpr const char *ErrDuplicatedRow = "Duplicated ROW record";
inline constexpr const char *ErrMissingRow = "Missing ROW Record for row %1";
inline constexpr const char *ErrInMarginRecord = "Error in Margin Record";
inline constexpr const char *ErrRecordTooLarge = "Record with ID 0x%1 holds more than 65535 bytes";
} // namespace XlsRecordMessages
