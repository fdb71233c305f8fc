#include "soundoutputdialog.h"

#include "core/controlnames.h"
#include "core/mediaplayer.h"
#include "core/prompter.h"
#include "files/outputdevices.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int IdRole = Qt::UserRole;
}

SoundOutputDialog::SoundOutputDialog(MediaPlayer* player_, Prompter& prompter_, QWidget* parent)
    : QDialog(parent), player(player_), prompter(prompter_), outputs(new QListWidget(this)),
      box(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName(QString::fromLatin1(ControlName::SoundOutputDialog));
    setAccessibleDescription(objectName());
    setWindowTitle(QStringLiteral("Sound output"));
    resize(460, 260);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("The recording plays to this output; connect the programmer's audio "
                       "input to it."),
        this));
    outputs->setObjectName(QString::fromLatin1(ControlName::SoundOutputList));
    outputs->setAccessibleDescription(outputs->objectName());
    layout->addWidget(outputs, 1);
    box->button(QDialogButtonBox::Ok)->setObjectName(QString::fromLatin1(ControlName::OkButton));
    box->button(QDialogButtonBox::Cancel)
        ->setObjectName(QString::fromLatin1(ControlName::CancelButton));
    layout->addWidget(box);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(outputs, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

void SoundOutputDialog::listOutputs() {
    outputs->clear();
    const QByteArray chosen = OutputDevices::savedChoice();
    const auto add = [this, &chosen](const QString& text, const QByteArray& id) {
        auto* item = new QListWidgetItem(text, outputs);
        item->setData(IdRole, id);
        if (id == chosen)
            outputs->setCurrentItem(item);
    };
    add(QStringLiteral("Default output"), QByteArray());
    bool present = chosen.isEmpty();
    for (const OutputDevices::Output& output : OutputDevices::list()) {
        add(output.label() + (output.isDefault ? QStringLiteral(" \u2014 the default") : QString()),
            output.id);
        present = present || output.id == chosen;
    }
    // An adapter that is unplugged now keeps its place as the choice.
    if (!present)
        add(QStringLiteral("%1 (not connected)").arg(QString::fromUtf8(chosen)), chosen);
}

bool SoundOutputDialog::Execute() {
    listOutputs();
    return conclude(exec() == QDialog::Accepted);
}

bool SoundOutputDialog::conclude(bool confirmed) {
    const QListWidgetItem* item = outputs->currentItem();
    if (!confirmed || item == nullptr)
        return false;
    const QByteArray id = item->data(IdRole).toByteArray();
    if (!OutputDevices::saveChoice(id)) {
        prompter.showMessage(QStringLiteral("The sound output could not be kept in %1.")
                                 .arg(OutputDevices::settingsPath()));
        return false;
    }
    if (player != nullptr)
        player->OutputDevice = id;
    return true;
}
