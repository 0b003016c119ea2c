#pragma once

#include <QApplication>

// The application object: an error that escapes an event handler is shown in
// the error box, and the program goes on.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Names the application after the product. Window titles stay exactly as each
// window sets them: no display name is set, so the windowing system's title
// gets no " — <product>" appended.
void SetApplicationTitle();
