#pragma once

#include <QList>

#include <functional>

class QHBoxLayout;
class QLineEdit;
class QToolButton;
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
// Two captioned lists side by side, added to `layout`.
void sideBySideLists(const QString &leftCaption, QListWidget **left, const QString &rightCaption,
                     QListWidget **right, QVBoxLayout *layout);
// The edit with a "..." button beside it that builds its text through
// `build` (text in and out, true on OK); *button gets the button.
QHBoxLayout *withBuilder(QLineEdit *edit, std::function<bool(QString &)> build, QToolButton **button);
// A label that wraps its text, added to `layout`.
QLabel *wrappingLabel(QVBoxLayout *layout);
} // namespace BREditorWidgets
