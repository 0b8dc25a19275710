#include "platform/shell/ChooserDialog.h"

#include "platform/profile/LastFolders.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

// Any case of an extension, as a pattern the chooser understands: "xls" -> "[xX][lL][sS]".
QString anyCase(const QString &extension)
{
    QString pattern;
    for (const QChar ch : extension)
        pattern += ch.isLetter() ? QStringLiteral("[%1%2]").arg(ch.toLower(), ch.toUpper()) : QString(ch);
    return pattern;
}

// A kind not chosen yet starts in the clerk's home, not wherever the program was started from.
QString startFolder(const QString &kind)
{
    const QString last = LastFolders::folder(kind);
    return last.isEmpty() ? QDir::homePath() : last;
}

} // namespace

QString ChooserDialog::filter(const QString &words, const QStringList &extensions)
{
    QStringList shown, matched;
    for (const QString &e : extensions) {
        shown << QStringLiteral("*.") + e;
        matched << QStringLiteral("*.") + anyCase(e);
    }
    // The chooser hides the last parentheses, the patterns it matches by.
    return QStringLiteral("%1 (%2) (%3)").arg(words, shown.join(u' '), matched.join(u' '));
}

QString ChooserDialog::kind(const QString &filters)
{
    const QString first = filters.section(QStringLiteral(";;"), 0, 0);
    const qsizetype paren = first.indexOf(u'(');
    return (paren < 0 ? first : first.left(paren)).trimmed();
}

std::unique_ptr<QFileDialog> ChooserDialog::file(QWidget *parent, const QString &caption, const QString &filters,
                                                 bool forSaving, const QString &suggestedName)
{
    auto dialog = std::make_unique<QFileDialog>(parent, caption, startFolder(kind(filters)));
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setNameFilters(filters.split(QStringLiteral(";;")));
    dialog->setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!suggestedName.isEmpty())
        dialog->selectFile(suggestedName);
    return dialog;
}

std::unique_ptr<QFileDialog> ChooserDialog::folder(QWidget *parent, const QString &prompt, const QString &start)
{
    auto dialog = std::make_unique<QFileDialog>(parent, prompt, start.isEmpty() ? startFolder(prompt) : start);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    return dialog;
}

QString ChooserDialog::run(QFileDialog &dialog, const QString &kind)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = QDir::cleanPath(dialog.selectedFiles().constFirst());
    LastFolders::remember(kind, dialog.fileMode() == QFileDialog::Directory ? chosen : QFileInfo(chosen).absolutePath());
    return chosen;
}
