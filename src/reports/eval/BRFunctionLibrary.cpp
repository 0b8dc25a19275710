#include "reports/eval/BRFunctionLibrary.h"

#include "reports/eval/BRFunctions.h"
#include "reports/eval/BRMessages.h"

int TBRLibrary::IndexOf(const QString &name) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

std::unique_ptr<TBREvElement> TBRFunctionLibrary::GetFunction(const QString &name) const
{
    const int i = IndexOf(name);
    if (i < 0)
        return std::make_unique<TBREvElementError>(QString::fromLatin1(BRText::UnknownFunction).arg(name));
    return GetEntry(i).FunctionClass();
}

TBRFunctionLibrary &FunctionLibrary()
{
    static TBRFunctionLibrary *library = [] {
        auto *lib = new TBRFunctionLibrary;
        registerBuiltinFunctions(*lib);
        return lib;
    }();
    return *library;
}

void RegisterReportFunction(TBRFunctionClass functionClass, const QString &name, const QString &description,
                            const QString &argumentDescriptor, const QString &vendor)
{
    FunctionLibrary().Add({name, description, argumentDescriptor, vendor, functionClass});
}

QStringList functionCategoryNames()
{
    return {QStringLiteral("Toate"), QStringLiteral("Dată și oră"), QStringLiteral("Matematice și trigonometrice"),
            QStringLiteral("Statistice"), QStringLiteral("Bază de date"), QStringLiteral("Logice"),
            QStringLiteral("Informații"), QStringLiteral("Altele")};
}

QChar &ArgSeparator()
{
    static QChar separator = QLatin1Char(',');
    return separator;
}
