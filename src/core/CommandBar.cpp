#include "core/CommandBar.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

CommandBar::CommandBar(QWidget *parent, Runner runner) : QToolBar(parent), m_runner(std::move(runner))
{
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(32, 32));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
}

QToolButton *CommandBar::makeButton(const QString &caption, const QString &iconName, const QString &tip)
{
    auto *b = new QToolButton(this);
    b->setText(caption);
    b->setToolTip(tip);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIconSize(iconSize());
    b->setAutoRaise(true);
    b->setMinimumWidth(96);
    b->setIcon(QIcon::fromTheme(iconName, style()->standardIcon(QStyle::SP_FileDialogDetailedView)));
    m_buttons.insert(caption, b);
    return b;
}

QToolButton *CommandBar::addButton(const QString &caption, const QString &iconName, const QString &tip)
{
    QToolButton *b = makeButton(caption, iconName, tip);
    connect(b, &QToolButton::clicked, this, [this, caption] {
        const std::function<void()> handler = m_handlers.value(caption);
        if (handler)
            m_runner(handler);
    });
    QAction *shown = addWidget(b);
    shown->setVisible(false);
    m_buttonActions.insert(caption, shown);
    return b;
}

void CommandBar::setHandler(const QString &buttonCaption, const std::function<void()> &handler)
{
    m_handlers.insert(buttonCaption, handler);
    if (QAction *shown = m_buttonActions.value(buttonCaption))
        shown->setVisible(bool(handler));
}

QToolButton *CommandBar::addMenuButton(const QString &caption, const QString &iconName, const QString &tip)
{
    QToolButton *b = makeButton(caption, iconName, tip);
    // The arrow goes beside the caption; the style would put it in a corner.
    b->setText(caption + QStringLiteral(" \u25BE"));
    b->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    auto *menu = new QMenu(b);
    b->setMenu(menu);
    b->setPopupMode(QToolButton::InstantPopup);
    m_menus.insert(caption, menu);
    QAction *shown = addWidget(b);
    shown->setVisible(false);
    m_buttonActions.insert(caption, shown);
    return b;
}

void CommandBar::addSpacer()
{
    auto *spacer = new QWidget(this);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    addWidget(spacer);
}

QAction *CommandBar::addCommand(const QString &menuCaption, const QString &caption, const std::function<void()> &handler)
{
    QMenu *menu = m_menus.value(menuCaption);
    return menu ? addTo(menu, menuCaption, caption, handler) : nullptr;
}

QAction *CommandBar::addCommand(const QString &menuCaption, const QString &submenuCaption, const QString &caption,
                                const std::function<void()> &handler)
{
    QMenu *menu = m_menus.value(menuCaption);
    if (!menu)
        return nullptr;
    QMenu *submenu = nullptr;
    for (QAction *a : menu->actions())
        if (a->menu() && a->text() == submenuCaption)
            submenu = a->menu();
    if (!submenu)
        submenu = menu->addMenu(submenuCaption);
    return addTo(submenu, menuCaption, caption, handler);
}

QAction *CommandBar::addTo(QMenu *menu, const QString &menuCaption, const QString &caption,
                           const std::function<void()> &handler)
{
    QAction *action = menu->addAction(caption);
    connect(action, &QAction::triggered, this, [this, handler] { m_runner(handler); });
    action->setVisible(m_visibility.value(caption, true));
    m_buttonActions.value(menuCaption)->setVisible(true);
    return action;
}

void CommandBar::setCommandVisible(const QString &caption, bool visible)
{
    m_visibility.insert(caption, visible);
    if (QAction *a = command(caption))
        a->setVisible(visible);
}

QAction *CommandBar::command(const QString &caption) const
{
    // Entries of submenus too, one level down.
    for (QMenu *menu : m_menus)
        for (QAction *a : menu->actions()) {
            if (a->text() == caption)
                return a;
            if (a->menu())
                for (QAction *sub : a->menu()->actions())
                    if (sub->text() == caption)
                        return sub;
        }
    return nullptr;
}

QToolButton *CommandBar::button(const QString &caption) const
{
    return m_buttons.value(caption);
}

bool CommandBar::isButtonShown(const QString &caption) const
{
    const QAction *shown = m_buttonActions.value(caption);
    return shown && shown->isVisible();
}
