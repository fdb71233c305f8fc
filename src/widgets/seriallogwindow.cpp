#include "seriallogwindow.h"

#include "core/filedialog.h"
#include "core/filesaver.h"
#include "core/prompter.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>

namespace {
const QString sentText = QStringLiteral("sent");
const QString receivedText = QStringLiteral("received");
const QString discardedText = QStringLiteral("discarded");
constexpr int DirectionWidth = 9;
} // namespace

SerialLogWindow::SerialLogWindow(ComPort& port_, Prompter& prompter_, QWidget* parent)
    : QWidget(parent, Qt::Window), port(port_), prompter(prompter_) {
    setObjectName(QStringLiteral("SerialLogWindow"));
    setAccessibleDescription(objectName());
    setWindowTitle(QStringLiteral("Serial log"));
    // Left open, it does not keep the program running after the main window.
    setAttribute(Qt::WA_QuitOnClose, false);
    view = new QPlainTextEdit(this);
    view->setObjectName(QStringLiteral("SerialLogText"));
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setMaximumBlockCount(MaxLines);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setPlaceholderText(
        QStringLiteral("Frames sent to and received from the programmer appear here."));
    save = new QPushButton(QStringLiteral("&Save..."), this);
    save->setObjectName(QStringLiteral("SerialLogSave"));
    clear = new QPushButton(QStringLiteral("C&lear"), this);
    clear->setObjectName(QStringLiteral("SerialLogClear"));
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("SerialLogClose"));
    for (QWidget* w : {static_cast<QWidget*>(view), static_cast<QWidget*>(save),
                       static_cast<QWidget*>(clear), static_cast<QWidget*>(close)})
        w->setAccessibleDescription(w->objectName());
    connect(save, &QPushButton::clicked, this, &SerialLogWindow::askAndSave);
    connect(clear, &QPushButton::clicked, view, &QPlainTextEdit::clear);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(clear);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view, 1);
    layout->addLayout(buttons);

    // Wide enough for a whole frame line.
    const QFontMetrics metrics(view->font());
    const int lineWidth = metrics.horizontalAdvance(
        line(QTime(0, 0), discardedText, QByteArray(FrameSize, 'x')) + QStringLiteral("  "));
    resize(lineWidth + 48, 22 * metrics.height());
}

SerialLogWindow::~SerialLogWindow() {
    if (port.trafficObserver() == this)
        port.setTrafficObserver(nullptr);
}

void SerialLogWindow::showEvent(QShowEvent* event) {
    port.setTrafficObserver(this);
    QWidget::showEvent(event);
    emit visibilityChanged(true);
}

void SerialLogWindow::hideEvent(QHideEvent* event) {
    if (port.trafficObserver() == this)
        port.setTrafficObserver(nullptr);
    QWidget::hideEvent(event);
    emit visibilityChanged(false);
}

QString SerialLogWindow::line(const QTime& time, const QString& direction,
                              const QByteArray& bytes) {
    QString hex;
    QString text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += QStringLiteral("%1 ").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
        text += byte >= 0x20 && byte < 0x7F ? QChar(char16_t(byte)) : QChar(u'.');
    }
    // Short pieces keep the text column in line with whole frames.
    hex = hex.leftJustified(3 * FrameSize);
    return time.toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral("  ") +
           direction.leftJustified(DirectionWidth) + QStringLiteral(" ") + hex +
           QStringLiteral(" |") + text + u'|';
}

void SerialLogWindow::append(const QString& direction, const QByteArray& bytes) {
    const QTime now = QTime::currentTime();
    // Bytes read in one go may hold several frames: one line each.
    for (qsizetype at = 0; at < bytes.size(); at += FrameSize)
        view->appendPlainText(line(now, direction, bytes.mid(at, FrameSize)));
}

void SerialLogWindow::sent(const QByteArray& bytes) {
    append(sentText, bytes);
}

void SerialLogWindow::received(const QByteArray& bytes, bool discarded) {
    append(discarded ? discardedText : receivedText, bytes);
}

QStringList SerialLogWindow::lines() const {
    const QString all = view->toPlainText();
    return all.isEmpty() ? QStringList() : all.split(u'\n');
}

void SerialLogWindow::askAndSave() {
    FileDialog dialog;
    dialog.kind = FileDialog::Kind::Save;
    dialog.title = QStringLiteral("Save serial log");
    dialog.filter = QStringLiteral("Text file (*.txt)|*.txt");
    dialog.defaultExt = QStringLiteral("txt");
    dialog.initialDir = lastFolder;
    dialog.fileName = QStringLiteral("serial-log.txt");
    if (!prompter.execute(dialog))
        return;
    QString name = dialog.fileName;
    if (!QFileInfo(name).fileName().contains(u'.'))
        name += QStringLiteral(".txt");
    if (saveTo(name))
        lastFolder = QFileInfo(name).absolutePath();
}

bool SerialLogWindow::saveTo(const QString& name) {
    // Written as the lists are: a failed save leaves the old file whole.
    const QString error = FileSaver::write(name, view->toPlainText().toUtf8() + '\n');
    if (!error.isEmpty())
        prompter.showMessage(error);
    return error.isEmpty();
}
