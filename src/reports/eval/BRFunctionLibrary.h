#pragma once

#include "reports/eval/BREvElements.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

using TBRFunctionClass = std::unique_ptr<TBREvElementFunction> (*)();

// One registered function. The description is the call pattern, "|" and the
// explanation; the argument descriptor's first character is the category
// digit, each further one an argument's type (N, S, B or V).
struct TBRLibraryEntry
{
    QString Name;
    QString Description;
    QString ArgumentDescriptor;
    QString Vendor;
    TBRFunctionClass FunctionClass = nullptr;
};

class TBRLibrary
{
public:
    int Count() const { return int(m_entries.size()); }
    const TBRLibraryEntry &GetEntry(int index) const { return m_entries.at(size_t(index)); }
    // Position of the first entry of that name (without regard to case), or -1.
    int IndexOf(const QString &name) const;
    void Add(TBRLibraryEntry entry) { m_entries.push_back(std::move(entry)); }

private:
    std::vector<TBRLibraryEntry> m_entries;
};

class TBRFunctionLibrary : public TBRLibrary
{
public:
    // A new element of the function's class, or an error element
    // "Unknown function : NAME". The caller owns it.
    std::unique_ptr<TBREvElement> GetFunction(const QString &name) const;
};

// The one library, with the 21 built-in functions registered on first use.
TBRFunctionLibrary &FunctionLibrary();

void RegisterReportFunction(TBRFunctionClass functionClass, const QString &name, const QString &description,
                            const QString &argumentDescriptor, const QString &vendor);

template <class F>
std::unique_ptr<TBREvElementFunction> makeFunction() { return std::make_unique<F>(); }

// The category names the expression builder lists, "Toate" (all) first (index = category digit).
QStringList functionCategoryNames();

// The character between a function's arguments.
QChar &ArgSeparator();
