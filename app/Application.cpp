#include "app/Application.h"

#include <QMessageBox>

#include <exception>

TQuviroApplication::TQuviroApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQuviroApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        ShowException(failure);
        return false;
    }
}

void TQuviroApplication::ShowException(const std::exception& failure) {
    QMessageBox::critical(activeWindow(), applicationName(), QString::fromUtf8(failure.what()));
}
