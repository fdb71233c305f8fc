#pragma once

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMainWindow>
#include <QMimeData>
#include <QTest>
#include <QUrl>

// A user at the window: keys go to the widget that has the focus, menus are
// opened with Alt and their access keys, files are dropped as a file
// manager drops them. Only input events; nothing calls the program.
class WindowUser {
public:
    explicit WindowUser(QMainWindow& window) : window(window) {}

    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target != nullptr ? target : &window, Qt::Key(key), modifiers);
    }
    // Alt + the menu title's access key, then the items' access keys in
    // turn (a submenu's holder, then its item).
    void menuKeys(const QString& keys) {
        // A window manager gives the window the keyboard back when a menu or
        // a message box closes; offscreen nobody does.
        if (QApplication::activeWindow() != &window &&
            QApplication::activeModalWidget() == nullptr) {
            window.activateWindow();
            if (!QTest::qWaitFor([this] { return QApplication::activeWindow() == &window; }))
                return;
        }
        QTest::keyClick(&window, Qt::Key(keys.at(0).toUpper().unicode()), Qt::AltModifier);
        for (qsizetype i = 1; i < keys.size(); ++i) {
            QWidget* popup = QApplication::activePopupWidget();
            if (popup == nullptr)
                return;
            QTest::keyClick(popup, Qt::Key(keys.at(i).toUpper().unicode()));
        }
    }
    // A double-click as the system delivers it: press, release, then the
    // second press followed by the double-click event, release.
    static void doubleClickAt(QWidget* target, QPoint at) {
        QTest::mousePress(target, Qt::LeftButton, {}, at);
        QTest::mouseRelease(target, Qt::LeftButton, {}, at);
        QTest::mousePress(target, Qt::LeftButton, {}, at);
        QTest::mouseDClick(target, Qt::LeftButton, {}, at);
        QTest::mouseRelease(target, Qt::LeftButton, {}, at);
    }
    // Shift+F10 on `focus` (the file table), then the context menu items'
    // access keys in turn.
    void contextMenuKeys(QWidget* focus, const QString& keys) {
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_F10, Qt::ShiftModifier);
        for (const QChar key : keys) {
            QWidget* popup = QApplication::activePopupWidget();
            if (popup == nullptr)
                return;
            QTest::keyClick(popup, Qt::Key(key.toUpper().unicode()));
        }
    }
    // A drag of files that lets go over `target`; true when it was taken.
    static bool drop(QWidget* target, const QStringList& names, QPoint at = QPoint()) {
        if (at.isNull())
            at = target->rect().center();
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& name : names)
            urls.append(QUrl::fromLocalFile(name));
        data.setUrls(urls);
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(QPointF(at), offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
    }

    // The access key of a menu item's text, lower case; null when none.
    static QChar accessKey(const QAction* act) {
        const QString text = act->text();
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text.at(i) == u'&') {
                if (text.at(i + 1) != u'&')
                    return text.at(i + 1).toLower();
                ++i;
            }
        }
        return QChar();
    }

private:
    QMainWindow& window;
};
