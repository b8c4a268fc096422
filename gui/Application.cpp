#include "gui/Application.h"

#include "pipeline/HashPipeline.h"
#include "tools/TextUtils.h"

#include <QMessageBox>

#include <exception>
#include <new>

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
    const bool outOfMemory = dynamic_cast<const std::bad_alloc*>(&failure) != nullptr;
    QMessageBox::critical(activeWindow(), applicationName(),
                          outOfMemory ? ToQString(OutOfMemoryText()) : QString::fromUtf8(failure.what()));
}
