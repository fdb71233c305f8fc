#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

// Answers the modal dialog the program is about to show, as a user would:
// once it is on the screen, `act` gets it (a test clicks or types there).
// Call before the input that opens it. The check runs on the event loop of
// the dialog itself, so it works inside the program's exec().
class ModalDialogs : public QObject {
public:
    explicit ModalDialogs(int timeoutMs = 20000) : deadline(timeoutMs) {
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, this, &ModalDialogs::look);
    }

    void expect(std::function<void(QWidget*)> act) {
        pending.append(std::move(act));
        poll.start();
    }
    // The next message box: its text is kept, then the button with this
    // text is clicked with the mouse (Escape for an empty text).
    void answer(const QString& button) {
        expect([this, button](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                seen.append(QStringLiteral("<not a message box: %1>")
                                .arg(QString::fromLatin1(modal->metaObject()->className())));
                modal->close();
                return;
            }
            seen.append(box->text());
            if (button.isEmpty()) {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == button) {
                    QTest::mouseClick(b, Qt::LeftButton);
                    return;
                }
            }
            seen.append(QStringLiteral("<no button %1>").arg(button));
            box->close();
        });
    }
    // Whether every expected dialog came and was answered.
    bool done() const { return pending.isEmpty(); }
    // The texts of the message boxes answered, in order.
    QStringList seen;

private:
    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (deadline.hasExpired()) {
            poll.stop();
            return;
        }
        if (modal == nullptr || !modal->isVisible() || modal == last || pending.isEmpty())
            return;
        last = modal;
        const auto act = pending.takeFirst();
        if (pending.isEmpty())
            poll.stop();
        act(modal);
    }

    QTimer poll;
    QDeadlineTimer deadline;
    QList<std::function<void(QWidget*)>> pending;
    QPointer<QWidget> last;
};
