#pragma once

#include <memory>

class TExcelFile;

// Makes the file objects the facade works on.
class TExcelAdapter
{
public:
    virtual ~TExcelAdapter() = default;
    virtual std::unique_ptr<TExcelFile> CreateExcelFile() = 0;
};
