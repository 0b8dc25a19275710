#pragma once

#include <QList>

class QHBoxLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QString;
class QVBoxLayout;
class QWidget;

// Small pieces the editors' forms are laid out with.
namespace BREditorWidgets {
// The buttons in one row, pushed to the right.
QHBoxLayout *buttonRow(const QList<QPushButton *> &buttons);
// A list under its caption, added to `layout`.
QListWidget *captionedList(const QString &caption, QVBoxLayout *layout);
// A label that wraps its text, added to `layout`.
QLabel *wrappingLabel(QVBoxLayout *layout);
} // namespace BREditorWidgets
