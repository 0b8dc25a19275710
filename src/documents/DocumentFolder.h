#pragma once

#include <QString>

// Where the documents and workbooks made for the clerk are kept:
// <program folder>/Documente/<LL.AAAA>, the working month's folder. They
// outlive the run (Temp, deleted at exit, holds only working files), a new one
// never takes an earlier one's name, and the program never deletes one.
class DocumentFolder
{
public:
    // The working month as the folder names it ("01.2023"), "Fara luna" when none is chosen.
    static QString month();
    // The working month's folder.
    static QString folder();
    // A path for a new document "<name><extension>" in the folder, made when
    // missing; "<name> (2)<extension>", "(3)" ... when the name is taken.
    // Throws DocumentError when the folder cannot be made.
    static QString newPath(const QString &name, const QString &extension);
};
