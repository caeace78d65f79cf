// Message boxes, the beep and the event pump on Qt.
#include "platform/qt/QtBackends.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace tw::platform {

namespace {

QString Caption() {
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QApplication::applicationName() : name;
}

} // namespace

void QtMessageBoxes::information(const std::string& text) {
    QMessageBox::information(nullptr, Caption(), QString::fromStdString(text), QMessageBox::Ok);
}

void QtMessageBoxes::error(const std::string& text) {
    QMessageBox::critical(nullptr, Caption(), QString::fromStdString(text), QMessageBox::Ok);
}

Answer QtMessageBoxes::confirm(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void QtBeeper::beep() {
    QApplication::beep();
}

void QtEventPump::processMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::sleep(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

} // namespace tw::platform
