#include "accesskeys.h"

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QMenuBar>

namespace AccessKeys {

namespace {

// Letters users know from other programs; a caption not listed here gets
// the first free letter of one of its words.
const QHash<QString, QChar>& customary() {
    static const QHash<QString, QChar> letters = {
        {QStringLiteral("Exit"), u'x'},
        {QStringLiteral("About"), u'b'},
        {QStringLiteral("Save Memory Map"), u'v'},
    };
    return letters;
}

void assignActions(const QList<QAction*>& actions) {
    QString taken;
    // Marks already present (the recent files' numbers) are kept.
    for (QAction* act : actions) {
        const QString text = act->text();
        const qsizetype at = text.indexOf(u'&');
        if (at >= 0 && at + 1 < text.size() && text.at(at + 1) != u'&')
            taken += text.at(at + 1).toLower();
    }
    for (QAction* act : actions) {
        if (act->isSeparator() || act->text().isEmpty())
            continue;
        if (!act->text().contains(u'&'))
            act->setText(mark(act->text(), taken));
        if (QMenu* sub = act->menu())
            assign(sub);
    }
}

} // namespace

QString mark(const QString& caption, QString& taken) {
    auto at = [&](qsizetype i) {
        taken += caption.at(i).toLower();
        return caption.left(i) + u'&' + caption.mid(i);
    };
    const QChar wanted = customary().value(caption);
    if (!wanted.isNull() && !taken.contains(wanted)) {
        const qsizetype i = caption.indexOf(wanted, 0, Qt::CaseInsensitive);
        if (i >= 0)
            return at(i);
    }
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const bool wordStart = i == 0 || !caption.at(i - 1).isLetterOrNumber();
        if (wordStart && caption.at(i).isLetterOrNumber() &&
            !taken.contains(caption.at(i).toLower()))
            return at(i);
    }
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i).isLetterOrNumber() && !taken.contains(caption.at(i).toLower()))
            return at(i);
    }
    return caption;
}

QString plain(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&' && i + 1 < text.size())
            ++i;
        out += text.at(i);
    }
    return out;
}

void assign(QMenuBar* bar) {
    assignActions(bar->actions());
}

void assign(QMenu* menu) {
    assignActions(menu->actions());
}

} // namespace AccessKeys
