#include "filedrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

FileDrop::FileDrop(std::function<void(const Files&)> handle_, QObject* parent)
    : QObject(parent), handle(std::move(handle_)) {}

void FileDrop::watch(QObject* target) {
    target->installEventFilter(this);
}

FileDrop::Files FileDrop::sort(const QMimeData* data) {
    Files files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString name = url.toLocalFile();
        const QFileInfo info(name);
        if (info.isDir())
            continue;
        const QString suffix = info.suffix().toLower();
        if (suffix == QLatin1String("lsp"))
            files.lists.append(name);
        else if (suffix == QLatin1String("mpp"))
            files.maps.append(name);
        // The sound file dialog's kinds.
        else if (suffix == QLatin1String("wav") || suffix == QLatin1String("mid"))
            files.sounds.append(name);
        else
            files.others.append(name);
    }
    return files;
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!sort(drag->mimeData()).any())
            return QObject::eventFilter(watched, event);
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const Files files = sort(drop->mimeData());
        if (!files.any())
            return QObject::eventFilter(watched, event);
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        QTimer::singleShot(0, this, [this, files] { handle(files); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
