<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Romanian for the dialogs Qt itself shows (file and folder choosers, printing,
     standard buttons): Debian ships none. Compiled by lrelease at build time. -->
<TS version="2.1" language="ro_RO">
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salvează</translation>
    </message>
    <message>
        <source>Save All</source>
        <translation>Salvează tot</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Deschide</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Da</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>Da la &amp;toate</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nu</translation>
    </message>
    <message>
        <source>N&amp;o to All</source>
        <translation>N&amp;u la toate</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Abandonează</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Reîncearcă</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignoră</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Închide</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Renunță</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Nu salva</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ajutor</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Aplică</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Resetează</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>Valori implicite</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>Look in:</source>
        <translation>Caută în:</translation>
    </message>
    <message>
        <source>File &amp;name:</source>
        <translation>&amp;Nume fișier:</translation>
    </message>
    <message>
        <source>Files of type:</source>
        <translation>Fișiere de tipul:</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Deschide</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Salvează</translation>
    </message>
    <message>
        <source>&amp;Choose</source>
        <translation>&amp;Alege</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Deschide</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Salvează ca</translation>
    </message>
    <message>
        <source>Find Directory</source>
        <translation>Alegeți directorul</translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation>Director:</translation>
    </message>
    <message>
        <source>Directories</source>
        <translation>Directoare</translation>
    </message>
    <message>
        <source>Directory</source>
        <translation>Director</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fișier</translation>
    </message>
    <message>
        <source>File Folder</source>
        <translation>Director</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Director</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Necunoscut</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Toate fișierele (*)</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Înapoi</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Înainte</translation>
    </message>
    <message>
        <source>Parent Directory</source>
        <translation>Directorul părinte</translation>
    </message>
    <message>
        <source>Create New Folder</source>
        <translation>Director nou</translation>
    </message>
    <message>
        <source>List View</source>
        <translation>Listă</translation>
    </message>
    <message>
        <source>Detail View</source>
        <translation>Detalii</translation>
    </message>
    <message>
        <source>Go back</source>
        <translation>Înapoi</translation>
    </message>
    <message>
        <source>Go forward</source>
        <translation>Înainte</translation>
    </message>
    <message>
        <source>Go to the parent directory</source>
        <translation>La directorul părinte</translation>
    </message>
    <message>
        <source>Create a New Folder</source>
        <translation>Creează un director nou</translation>
    </message>
    <message>
        <source>Change to list view mode</source>
        <translation>Afișează ca listă</translation>
    </message>
    <message>
        <source>Change to detail view mode</source>
        <translation>Afișează cu detalii</translation>
    </message>
    <message>
        <source>Sidebar</source>
        <translation>Locuri</translation>
    </message>
    <message>
        <source>List of places and bookmarks</source>
        <translation>Locuri și semne de carte</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Fișiere</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Director nou</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>Director &amp;nou</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Redenumește</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>Ș&amp;terge</translation>
    </message>
    <message>
        <source>Show &amp;hidden files</source>
        <translation>Arată fișierele &amp;ascunse</translation>
    </message>
    <message>
        <source>Recent Places</source>
        <translation>Locuri recente</translation>
    </message>
    <message>
        <source>My Computer</source>
        <translation>Calculatorul</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>Calculatorul</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Elimină</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Unitate</translation>
    </message>
    <message>
        <source>Alias</source>
        <translation>Alias</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Scurtătură</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 există deja.
Îl înlocuiți?</translation>
    </message>
    <message>
        <source>%1
File not found.
Please verify the correct file name was given.</source>
        <translation>%1
Fișierul nu a fost găsit.
Verificați numele fișierului.</translation>
    </message>
    <message>
        <source>%1
Directory not found.
Please verify the correct directory name was given.</source>
        <translation>%1
Directorul nu a fost găsit.
Verificați numele directorului.</translation>
    </message>
    <message>
        <source>Are you sure you want to delete &apos;%1&apos;?</source>
        <translation>Sigur ștergeți „%1”?</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is write protected.
Do you want to delete it anyway?</source>
        <translation>„%1” este protejat la scriere.
Îl ștergeți totuși?</translation>
    </message>
    <message>
        <source>Could not delete directory.</source>
        <translation>Directorul nu a putut fi șters.</translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Name</source>
        <translation>Nume</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Mărime</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Data modificării</translation>
    </message>
    <message>
        <source>My Computer</source>
        <translation>Calculatorul</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>Calculatorul</translation>
    </message>
</context>
<context>
    <name>QPrintDialog</name>
    <message>
        <source>All Pages</source>
        <translation>Toate paginile</translation>
    </message>
    <message>
        <source>Odd Pages</source>
        <translation>Paginile impare</translation>
    </message>
    <message>
        <source>Even Pages</source>
        <translation>Paginile pare</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Tipărire</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Tipărește</translation>
    </message>
    <message>
        <source>&amp;Options &gt;&gt;</source>
        <translation>&amp;Opțiuni &gt;&gt;</translation>
    </message>
    <message>
        <source>&amp;Options &lt;&lt;</source>
        <translation>&amp;Opțiuni &lt;&lt;</translation>
    </message>
    <message>
        <source>Print to File (PDF)</source>
        <translation>Tipărire în fișier (PDF)</translation>
    </message>
    <message>
        <source>Local file</source>
        <translation>Fișier local</translation>
    </message>
    <message>
        <source>Write PDF file</source>
        <translation>Scrie fișier PDF</translation>
    </message>
    <message>
        <source>Print To File ...</source>
        <translation>Tipărire în fișier ...</translation>
    </message>
    <message>
        <source>Print all</source>
        <translation>Toate paginile</translation>
    </message>
    <message>
        <source>Print selection</source>
        <translation>Selecția</translation>
    </message>
    <message>
        <source>Print current page</source>
        <translation>Pagina curentă</translation>
    </message>
    <message>
        <source>Print range</source>
        <translation>Interval de pagini</translation>
    </message>
    <message>
        <source>%1 is a directory.
Please choose a different file name.</source>
        <translation>%1 este un director.
Alegeți alt nume de fișier.</translation>
    </message>
    <message>
        <source>File %1 is not writable.
Please choose a different file name.</source>
        <translation>Fișierul %1 nu poate fi scris.
Alegeți alt nume de fișier.</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to overwrite it?</source>
        <translation>%1 există deja.
Îl suprascrieți?</translation>
    </message>
    <message>
        <source>The &apos;From&apos; value cannot be greater than the &apos;To&apos; value.</source>
        <translation>Prima pagină nu poate fi după ultima.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Renunță</translation>
    </message>
    <message>
        <source>Left to Right, Top to Bottom</source>
        <translation>De la stânga la dreapta, de sus în jos</translation>
    </message>
    <message>
        <source>Left to Right, Bottom to Top</source>
        <translation>De la stânga la dreapta, de jos în sus</translation>
    </message>
    <message>
        <source>Right to Left, Bottom to Top</source>
        <translation>De la dreapta la stânga, de jos în sus</translation>
    </message>
    <message>
        <source>Right to Left, Top to Bottom</source>
        <translation>De la dreapta la stânga, de sus în jos</translation>
    </message>
    <message>
        <source>Bottom to Top, Left to Right</source>
        <translation>De jos în sus, de la stânga la dreapta</translation>
    </message>
    <message>
        <source>Bottom to Top, Right to Left</source>
        <translation>De jos în sus, de la dreapta la stânga</translation>
    </message>
    <message>
        <source>Top to Bottom, Left to Right</source>
        <translation>De sus în jos, de la stânga la dreapta</translation>
    </message>
    <message>
        <source>Top to Bottom, Right to Left</source>
        <translation>De sus în jos, de la dreapta la stânga</translation>
    </message>
</context>
<context>
    <name>QPrintWidget</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Imprimantă</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Nume:</translation>
    </message>
    <message>
        <source>P&amp;roperties</source>
        <translation>P&amp;roprietăți</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Locație:</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Previzualizare</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Tip:</translation>
    </message>
    <message>
        <source>Output &amp;file:</source>
        <translation>&amp;Fișier de ieșire:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
</context>
<context>
    <name>QPrintSettingsOutput</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Copii</translation>
    </message>
    <message>
        <source>Print range</source>
        <translation>Interval de tipărire</translation>
    </message>
    <message>
        <source>Print all</source>
        <translation>Toate</translation>
    </message>
    <message>
        <source>Pages from</source>
        <translation>Paginile de la</translation>
    </message>
    <message>
        <source>to</source>
        <translation>la</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Pagini</translation>
    </message>
    <message>
        <source>Current Page</source>
        <translation>Pagina curentă</translation>
    </message>
    <message>
        <source>Selection</source>
        <translation>Selecția</translation>
    </message>
    <message>
        <source>Output Settings</source>
        <translation>Ieșire</translation>
    </message>
    <message>
        <source>Copies:</source>
        <translation>Copii:</translation>
    </message>
    <message>
        <source>Collate</source>
        <translation>Asamblează</translation>
    </message>
    <message>
        <source>Reverse</source>
        <translation>Ordine inversă</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opțiuni</translation>
    </message>
    <message>
        <source>Color Mode</source>
        <translation>Culoare</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>Grayscale</source>
        <translation>Nuanțe de gri</translation>
    </message>
    <message>
        <source>Double Sided Printing</source>
        <translation>Tipărire față-verso</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Fără</translation>
    </message>
    <message>
        <source>Long side binding</source>
        <translation>Pe latura lungă</translation>
    </message>
    <message>
        <source>Short side binding</source>
        <translation>Pe latura scurtă</translation>
    </message>
    <message>
        <source>Page Set:</source>
        <translation>Setul de pagini:</translation>
    </message>
    <message>
        <source>Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.</source>
        <translation>Scrieți paginile sau intervalele despărțite prin virgulă; un interval are două numere despărțite prin cratimă. De exemplu: 3,5-7,9 tipărește paginile 3, 5, 6, 7 și 9.</translation>
    </message>
</context>
<context>
    <name>QPageSetupWidget</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Paper</source>
        <translation>Hârtie</translation>
    </message>
    <message>
        <source>Page size:</source>
        <translation>Mărimea paginii:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Lățime:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Înălțime:</translation>
    </message>
    <message>
        <source>Paper source:</source>
        <translation>Sursa hârtiei:</translation>
    </message>
    <message>
        <source>Orientation</source>
        <translation>Orientare</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>Portret</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>Peisaj</translation>
    </message>
    <message>
        <source>Reverse landscape</source>
        <translation>Peisaj inversat</translation>
    </message>
    <message>
        <source>Reverse portrait</source>
        <translation>Portret inversat</translation>
    </message>
    <message>
        <source>Margins</source>
        <translation>Margini</translation>
    </message>
    <message>
        <source>top margin</source>
        <translation>marginea de sus</translation>
    </message>
    <message>
        <source>left margin</source>
        <translation>marginea din stânga</translation>
    </message>
    <message>
        <source>right margin</source>
        <translation>marginea din dreapta</translation>
    </message>
    <message>
        <source>bottom margin</source>
        <translation>marginea de jos</translation>
    </message>
    <message>
        <source>Page Layout</source>
        <translation>Așezarea în pagină</translation>
    </message>
    <message>
        <source>Page order:</source>
        <translation>Ordinea paginilor:</translation>
    </message>
    <message>
        <source>Pages per sheet:</source>
        <translation>Pagini pe foaie:</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Personalizat</translation>
    </message>
    <message>
        <source>Millimeters (mm)</source>
        <translation>Milimetri (mm)</translation>
    </message>
    <message>
        <source>Inches (in)</source>
        <translation>Inci (in)</translation>
    </message>
    <message>
        <source>Points (pt)</source>
        <translation>Puncte (pt)</translation>
    </message>
</context>
<context>
    <name>QPrintPropertiesDialog</name>
    <message>
        <source>Printer Properties</source>
        <translation>Proprietățile imprimantei</translation>
    </message>
    <message>
        <source>Job Options</source>
        <translation>Opțiunile lucrării</translation>
    </message>
    <message>
        <source>Page Setup Conflicts</source>
        <translation>Conflicte de așezare în pagină</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salvează</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>QPrintPropertiesWidget</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Pagină</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avansat</translation>
    </message>
    <message>
        <source>There are conflicts in some options. Please fix them.</source>
        <translation>Unele opțiuni se contrazic. Corectați-le.</translation>
    </message>
</context>
<context>
    <name>QCupsJobWidget</name>
    <message>
        <source>Job</source>
        <translation>Lucrare</translation>
    </message>
    <message>
        <source>Job Control</source>
        <translation>Controlul lucrării</translation>
    </message>
    <message>
        <source>Scheduled printing:</source>
        <translation>Tipărire programată:</translation>
    </message>
    <message>
        <source>Billing information:</source>
        <translation>Date de facturare:</translation>
    </message>
    <message>
        <source>Job priority:</source>
        <translation>Prioritatea lucrării:</translation>
    </message>
    <message>
        <source>Banner Pages</source>
        <translation>Pagini de separare</translation>
    </message>
    <message>
        <source>Start:</source>
        <comment>Banner page at start</comment>
        <translation>La început:</translation>
    </message>
    <message>
        <source>End:</source>
        <comment>Banner page at end</comment>
        <translation>La sfârșit:</translation>
    </message>
    <message>
        <source>Print Immediately</source>
        <translation>Tipărește imediat</translation>
    </message>
    <message>
        <source>Hold Indefinitely</source>
        <translation>Reține pe termen nedefinit</translation>
    </message>
    <message>
        <source>Day (06:00 to 17:59)</source>
        <translation>Ziua (06:00 - 17:59)</translation>
    </message>
    <message>
        <source>Night (18:00 to 05:59)</source>
        <translation>Noaptea (18:00 - 05:59)</translation>
    </message>
    <message>
        <source>Second Shift (16:00 to 23:59)</source>
        <translation>Schimbul al doilea (16:00 - 23:59)</translation>
    </message>
    <message>
        <source>Third Shift (00:00 to 07:59)</source>
        <translation>Schimbul al treilea (00:00 - 07:59)</translation>
    </message>
    <message>
        <source>Weekend (Saturday to Sunday)</source>
        <translation>Sfârșitul săptămânii (sâmbătă - duminică)</translation>
    </message>
    <message>
        <source>Specific Time</source>
        <translation>La o anumită oră</translation>
    </message>
    <message>
        <source>None</source>
        <comment>CUPS Banner page</comment>
        <translation>Niciuna</translation>
    </message>
    <message>
        <source>Standard</source>
        <comment>CUPS Banner page</comment>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Unclassified</source>
        <comment>CUPS Banner page</comment>
        <translation>Neclasificat</translation>
    </message>
    <message>
        <source>Confidential</source>
        <comment>CUPS Banner page</comment>
        <translation>Confidențial</translation>
    </message>
    <message>
        <source>Classified</source>
        <comment>CUPS Banner page</comment>
        <translation>Clasificat</translation>
    </message>
    <message>
        <source>Secret</source>
        <comment>CUPS Banner page</comment>
        <translation>Secret</translation>
    </message>
    <message>
        <source>Top Secret</source>
        <comment>CUPS Banner page</comment>
        <translation>Strict secret</translation>
    </message>
</context>
<context>
    <name>QPageSetupDialog</name>
    <message>
        <source>Page Setup</source>
        <translation>Așezare în pagină</translation>
    </message>
</context>
<context>
    <name>QAbstractPrintDialog</name>
    <message>
        <source>Print</source>
        <translation>Tipărire</translation>
    </message>
</context>
<context>
    <name>QPrintPreviewDialog</name>
    <message>
        <source>Print Preview</source>
        <translation>Previzualizare</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>Pagina următoare</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>Pagina precedentă</translation>
    </message>
    <message>
        <source>First page</source>
        <translation>Prima pagină</translation>
    </message>
    <message>
        <source>Last page</source>
        <translation>Ultima pagină</translation>
    </message>
    <message>
        <source>Fit width</source>
        <translation>Potrivire pe lățime</translation>
    </message>
    <message>
        <source>Fit page</source>
        <translation>Potrivire pe pagină</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Mărește</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Micșorează</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>Portret</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>Peisaj</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Tipărește</translation>
    </message>
    <message>
        <source>Page setup</source>
        <translation>Așezare în pagină</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Închide</translation>
    </message>
    <message>
        <source>Export to PDF</source>
        <translation>Exportă în PDF</translation>
    </message>
</context>
<context>
    <name>QMessageBox</name>
    <message>
        <source>Show Details...</source>
        <translation>Arată detaliile...</translation>
    </message>
    <message>
        <source>Hide Details...</source>
        <translation>Ascunde detaliile...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>QWidgetTextControl</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Anulează</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Refă</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Taie</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiază</translation>
    </message>
    <message>
        <source>Copy &amp;Link Location</source>
        <translation>Copiază &amp;legătura</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Lipește</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Șterge</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Selectează tot</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Anulează</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Refă</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Taie</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiază</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Lipește</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Șterge</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Selectează tot</translation>
    </message>
</context>
</TS>
