#pragma once

#include <QAction>
#include <QHash>
#include <QObject>
#include <QString>
#include <initializer_list>
#include <vector>

// Every menu item and tool bar button of the main window as its own QAction,
// named after its control. A tool button and the menu item of the same command
// are two actions because their enabled states are switched separately.
class Commands : public QObject {
    Q_OBJECT
public:
    // FileGrid: a key of the file table, in no menu.
    enum class Place { ToolBar1, ToolBar2, MainMenu, SubMenu, PopupMenu, FileGrid, Hidden };

    struct Control {
        const char* name;    // control name, the action's objectName
        const char* caption; // menu caption; tool buttons show their hint
        const char* hint;    // tool tip; "" for menu items
        bool enabledAtStart;
        const char* handler; // the operation it triggers; "" for submenu holders
        Place place;
    };

    explicit Commands(QObject* parent = nullptr);

    // The action of a control; raises AppError for an unknown name, which is a
    // programming error caught by the tests.
    QAction* action(const QString& name) const;
    bool isEnabled(const QString& name) const { return action(name)->isEnabled(); }

    void setEnabled(std::initializer_list<const char*> names, bool enabled);

    // All controls in declaration order.
    static const std::vector<Control>& controls();
    QList<QAction*> all() const;

signals:
    // A control was triggered; `handler` is the operation it runs.
    void triggered(const QString& handler);

private:
    QHash<QString, QAction*> actions;
    QList<QAction*> ordered;
};
