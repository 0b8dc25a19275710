#pragma once

#include "documents/DocumentsWorld.h"
#include "documents/SavedWorkbook.h"
#include "payments/TipStatF.h"

#include <QComboBox>
#include <QPushButton>

// The request office of the document tests, with the payment dialogs.
struct PaymentsWorld : DocumentsWorld
{
    static QVariantMap with(QVariantMap r, const QVariantMap &changes)
    {
        for (auto it = changes.begin(); it != changes.end(); ++it)
            r[it.key()] = it.value();
        return r;
    }

    // The selection dialog answered once it shows: locality (empty for all) and letters.
    static void select(const QString &locality, const QString &first, const QString &last, const QString &month = {})
    {
        whenShown([=] {
            TTipStatF &dlg = TipStatF();
            dlg.Localit->setCurrentIndex(locality.isEmpty() ? 0 : dlg.Localit->findText(locality));
            dlg.Lit1->setCurrentText(first);
            dlg.Lit2->setCurrentText(last);
            if (!month.isEmpty())
                dlg.PerioadaS->setText(month);
            dlg.BitBtn1->click();
        });
    }

    // Column col of the rows from `first` down to the first empty one.
    static QStringList column(SavedWorkbook &book, int sheet, int first, int col)
    {
        QStringList out;
        for (int row = first;; ++row) {
            const QString v = book.value(sheet, row, col).toString();
            if (v.isEmpty())
                return out;
            out << v;
        }
    }
};
