#include "recentmenu.h"

#include "core/prompter.h"
#include "core/recentfiles.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

RecentMenu::RecentMenu(QMenu* menu_, RecentFiles& files_, Prompter& prompter_,
                       const QString& emptyText_, std::function<void(const QString&)> open_,
                       QObject* parent)
    : QObject(parent), menu(menu_), files(files_), prompter(prompter_), emptyText(emptyText_),
      open(std::move(open_)) {
    menu->setToolTipsVisible(true);
    // Queued: a change comes while one of the menu's own items is still
    // being triggered, and rebuilding deletes the items.
    connect(&files, &RecentFiles::changed, this, &RecentMenu::rebuild, Qt::QueuedConnection);
    rebuild();
}

void RecentMenu::rebuild() {
    menu->clear();
    const QStringList names = files.names();
    if (names.isEmpty()) {
        menu->addAction(emptyText)->setEnabled(false);
        return;
    }
    for (int i = 0; i < names.size(); ++i) {
        const QString name = names.at(i);
        // 1 to 9, then 0 for the tenth.
        // An "&" in a file name is shown, not taken for an access key.
        QString shown = QFileInfo(name).fileName();
        shown.replace(u'&', QStringLiteral("&&"));
        const QString text = QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(shown);
        QAction* act = menu->addAction(text);
        act->setToolTip(name);
        act->setData(name);
        connect(act, &QAction::triggered, this, [this, name] { choose(name); });
    }
}

void RecentMenu::choose(const QString& name) {
    if (!QFileInfo(name).isFile()) {
        prompter.showMessage(
            QStringLiteral("\"%1\" is no longer there; it is taken off this menu.").arg(name));
        files.remove(name);
        return;
    }
    open(name);
}
