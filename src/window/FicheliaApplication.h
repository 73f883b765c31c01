#pragma once

#include <QApplication>

namespace fichelia {

// The application object, named "Fichelia". Errors never reach its event
// loop: each handler of the windows catches what escapes it.
class FicheliaApplication final : public QApplication {
public:
    FicheliaApplication(int& argc, char** argv);

    // French texts for Qt's own dialogs and buttons: Qt's translation, and
    // the few words it lacks.
    void loadFrenchTranslation();
};

} // namespace fichelia
