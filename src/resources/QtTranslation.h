#pragma once

// The Romanian the program carries for the dialogs Qt itself shows (file and
// folder choosers, printing, standard buttons), which Debian does not ship.
class QtTranslation
{
public:
    // Installs it in the running application once; false when it cannot be
    // read, and the dialogs then stay in English.
    static bool install();
};
