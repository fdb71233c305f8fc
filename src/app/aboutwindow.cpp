#include "aboutwindow.h"

#include "core/controlnames.h"

#include <QLabel>
#include <QVBoxLayout>

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::fromLatin1(ControlName::AboutWindow));
    setAccessibleDescription(objectName());
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    auto* name = new QLabel(QStringLiteral("VOKAR ISD Programmer"), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    name->setFont(big);
    name->setObjectName(QStringLiteral("ProductName"));
    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("Version"));
    auto* contact = new QLabel(
        QStringLiteral("Programmer for ISD 33000, 4002/4003/4004, 5000 and 1700 voice chips.\n"
                       "Questions and repairs: your VOKAR-1 supplier."),
        this);
    contact->setObjectName(QStringLiteral("Comments"));
    for (QLabel* label : {name, version, contact}) {
        label->setAlignment(Qt::AlignCenter);
        label->setAccessibleDescription(label->objectName());
        // Clicks on the texts close the window as well.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        layout->addWidget(label);
    }
}

void AboutWindow::mousePressEvent(QMouseEvent*) {
    accept();
}
