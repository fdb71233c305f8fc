#include "qtprompter.h"

#include "core/apptitle.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

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
    box.setFileMode(save              ? QFileDialog::AnyFile
                    : dialog.multiple ? QFileDialog::ExistingFiles
                                      : QFileDialog::ExistingFile);
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
    dialog.fileNames = box.selectedFiles();
    dialog.fileName = dialog.fileNames.constFirst();
    dialog.filterIndex = int(filters.indexOf(box.selectedNameFilter())) + 1;
    return true;
}

int QtPrompter::ask(const Question& question) {
    QMessageBox box(QMessageBox::Question, appTitle(), question.text, QMessageBox::NoButton,
                    parent);
    box.setObjectName(QStringLiteral("Question"));
    QList<QPushButton*> buttons;
    for (int i = 0; i < question.buttons.size(); ++i) {
        // The roles only place the buttons as the platform does; the answer
        // is the button itself.
        const QMessageBox::ButtonRole role = i == question.escapeButton ? QMessageBox::RejectRole
                                             : i == question.defaultButton
                                                 ? QMessageBox::AcceptRole
                                                 : QMessageBox::DestructiveRole;
        buttons.append(box.addButton(question.buttons.at(i), role));
    }
    if (question.defaultButton >= 0 && question.defaultButton < buttons.size())
        box.setDefaultButton(buttons.at(question.defaultButton));
    if (question.escapeButton >= 0 && question.escapeButton < buttons.size())
        box.setEscapeButton(buttons.at(question.escapeButton));
    box.exec();
    const int chosen = int(buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return chosen >= 0 ? chosen : question.escapeButton;
}
