// The editor's application object: no command may end the program through
// an exception that nobody caught. One that reaches the event loop is
// reported in an error box and the program goes on with the open file.
#pragma once

#include <QApplication>

namespace app {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The text of the box shown for an exception with `reason`.
    static QString FailureText(const QString& reason);

private:
    bool reporting_ = false;
};

} // namespace app
