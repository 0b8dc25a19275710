#pragma once

#include "documents/CereriDocuments.h"

#include <QObject>

class TCereriF;
class TRTFReplace;

// Puts the request documents on the request list: the dispositions in its
// "Dispozitii" menu, the request forms and the field-verification sheet in
// "Formulare", the inquiry in a menu of its own and the case reports in
// "Listari". Owned by the form; every command runs in the form's guard.
class CereriCommands : public QObject
{
    Q_OBJECT
public:
    static CereriCommands *install(TCereriF &form);

    TRTFReplace *RTF1;

    static inline const QString Ancheta = QStringLiteral("Ancheta");

private:
    explicit CereriCommands(TCereriF &form, TRTFReplace *rtf);
    void addCommands(TCereriF &form);

    CereriDocuments m_docs;
};
