#pragma once

#include <QObject>
#include <QString>

// The planning features' own line in the status bar: files that will be cut
// when a table recording starts, and the verdict of a check. Kept apart from
// the link's progress texts, so that neither overwrites the other.
class PlanStatus : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    QString text() const { return current; }
    void setText(const QString& text);

signals:
    void changed(const QString& text);

private:
    QString current;
};
