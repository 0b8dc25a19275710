#pragma once

#include <QString>

// The workbook's defined names as formulas see them: name tokens hold the
// 1-based number of an entry of this list. The name record list implements it.
class TFormulaNames
{
public:
    virtual ~TFormulaNames() = default;

    virtual int NameCount() const = 0;
    // index is 0-based (token value - 1).
    virtual QString NameText(int index) const = 0;
    // The sheet a name belongs to; -1 for a workbook-level name.
    virtual int NameSheet(int index) const = 0;

    // The first name with this text (without regard to case) that belongs to
    // sheet; -1 when there is none.
    int FindName(const QString &text, int sheet) const;
};
