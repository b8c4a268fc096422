// The application object. A std::exception that escapes an event handler is shown in a
// message box and the program goes on with the next event.
#pragma once

#include <QApplication>

class TQuviroApplication : public QApplication {
public:
    TQuviroApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the failure's message; the title is the application's name.
    static void ShowException(const std::exception& failure);
};
