#include "qtprompter.h"

#include "core/apptitle.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

void QtPrompter::showMessage(const QString& text) {
    QMessageBox::information(parent, appTitle(), text);
}

void QtPrompter::showError(const QString& text) {
    QMessageBox::critical(parent, appTitle(), text);
}

QStringList QtPrompter::nameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts.at(i);
        const QString patterns = QString(parts.at(i + 1)).replace(u';', u' ');
        if (!label.contains(u'('))
            label += QStringLiteral(" (") + patterns + u')';
        filters.append(label);
    }
    return filters;
}

bool QtPrompter::execute(FileDialog& dialog) {
    QFileDialog box(parent, dialog.title);
    box.setOption(QFileDialog::DontUseNativeDialog, false);
    const bool save = dialog.kind == FileDialog::Kind::Save;
    box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(dialog.filter);
    box.setNameFilters(filters);
    if (dialog.filterIndex >= 1 && dialog.filterIndex <= filters.size())
        box.selectNameFilter(filters.at(dialog.filterIndex - 1));
    box.setDefaultSuffix(dialog.defaultExt);
    if (!dialog.initialDir.isEmpty())
        box.setDirectory(dialog.initialDir);
    if (!dialog.fileName.isEmpty())
        box.selectFile(QFileInfo(dialog.fileName).fileName());
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return false;
    dialog.fileName = box.selectedFiles().constFirst();
    dialog.filterIndex = int(filters.indexOf(box.selectedNameFilter())) + 1;
    return true;
}
