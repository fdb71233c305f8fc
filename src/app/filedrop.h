#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QMimeData;

// Files dropped on the window: list and map files open, sound files join the
// file table. It watches the widgets it is installed on (the window and the
// file table's viewport) and takes a drop only when it holds such a file.
class FileDrop : public QObject {
    Q_OBJECT
public:
    // A drop sorted by kind, in the order the files were dropped.
    struct Files {
        QStringList lists;
        QStringList maps;
        QStringList sounds;
        QStringList others;
        bool any() const { return !lists.isEmpty() || !maps.isEmpty() || !sounds.isEmpty(); }
    };
    static Files sort(const QMimeData* data);

    // `handle` runs after the drop has been taken, at the next turn of the
    // event loop: what it does may ask the user, and the program the files
    // came from must not wait for that.
    explicit FileDrop(std::function<void(const Files&)> handle, QObject* parent = nullptr);

    void watch(QObject* target);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const Files&)> handle;
};
