#pragma once

#include <QMap>
#include <QToolBar>

#include <functional>

class QMenu;
class QToolButton;

// A form's tool bar of commands: plain buttons and buttons that drop down a
// menu. A button shows only once it has something to run; every command
// runs through the owner's guard.
class CommandBar : public QToolBar
{
    Q_OBJECT
public:
    using Runner = std::function<void(const std::function<void()> &)>;

    CommandBar(QWidget *parent, Runner runner);

    // A button that runs its handler; hidden until a handler is set.
    QToolButton *addButton(const QString &caption, const QString &iconName, const QString &tip);
    void setHandler(const QString &buttonCaption, const std::function<void()> &handler);
    // A button that drops down a menu; hidden until the menu has an entry.
    QToolButton *addMenuButton(const QString &caption, const QString &iconName, const QString &tip);
    // Pushes the buttons added after it to the right end.
    void addSpacer();

    QAction *addCommand(const QString &menuCaption, const QString &caption, const std::function<void()> &handler);
    // An entry of a submenu of the drop-down menu; the submenu is made on first use.
    QAction *addCommand(const QString &menuCaption, const QString &submenuCaption, const QString &caption,
                        const std::function<void()> &handler);
    // Shows or hides an entry by caption, now or when it is added later.
    void setCommandVisible(const QString &caption, bool visible);
    QAction *command(const QString &caption) const;
    QToolButton *button(const QString &caption) const;
    // Whether the button is shown (it is while it has something to run).
    bool isButtonShown(const QString &caption) const;

private:
    QToolButton *makeButton(const QString &caption, const QString &iconName, const QString &tip);
    QAction *addTo(QMenu *menu, const QString &menuCaption, const QString &caption, const std::function<void()> &handler);

    Runner m_runner;
    QMap<QString, QToolButton *> m_buttons;
    QMap<QString, QAction *> m_buttonActions;
    QMap<QString, QMenu *> m_menus;
    QMap<QString, std::function<void()>> m_handlers;
    QMap<QString, bool> m_visibility;
};
