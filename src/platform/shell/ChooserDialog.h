#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QFileDialog;
class QWidget;

// The file and folder choosers the program shows: each opens in the folder
// last used for its kind of file (kept across runs), suggests a file name
// when it has one, and shows its filters as words while still taking any
// case of the extension.
class ChooserDialog
{
public:
    // A filter as the clerk reads it, "Fisiere Excel (*.xls)", matching the
    // extensions in any case: "Fisiere Excel (*.xls) (*.[xX][lL][sS])".
    static QString filter(const QString &words, const QStringList &extensions);

    // The kind a file chooser remembers its folder by: the words of its first filter.
    static QString kind(const QString &filters);

    static std::unique_ptr<QFileDialog> file(QWidget *parent, const QString &caption, const QString &filters,
                                             bool forSaving, const QString &suggestedName);
    // start, else the folder last chosen with this prompt.
    static std::unique_ptr<QFileDialog> folder(QWidget *parent, const QString &prompt, const QString &start);

    // Shows the chooser; the chosen path (empty when cancelled), remembered
    // as the folder of that kind.
    static QString run(QFileDialog &dialog, const QString &kind);
};
