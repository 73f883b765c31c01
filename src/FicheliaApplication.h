#pragma once

#include <functional>

#include <QApplication>

namespace fichelia {

// The application object. An error that escapes an event handler is caught
// here, shown through the reporter, and the event loop goes on.
class FicheliaApplication final : public QApplication {
public:
    using ErrorReporter = std::function<void(const QString& message)>;

    FicheliaApplication(int& argc, char** argv);

    void setErrorReporter(ErrorReporter reporter) { m_reportError = std::move(reporter); }
    void reportError(const QString& message) const;

    bool notify(QObject* receiver, QEvent* event) override;

    // French texts for Qt's own dialogs and buttons.
    void loadFrenchTranslation();

private:
    ErrorReporter m_reportError;
};

} // namespace fichelia
