// The program's start: the data module (configuration, connection, operator table), the About box,
// the login and, once a password was accepted, the main window. Every failure before the login ends
// the process after its one message; that end unwinds to here as lumvard::ProgramEnded.
#include "shell/Main.h"
#include "data/DM.h"
#include "foundation/ProgramEnd.h"
#include "foundation/XFuncs.h"
#include "foundation/gui/DialogPresenter.h"
#include "shell/About.h"
#include "shell/Pass.h"
#include "shell/SetDataCon.h"
#include "shell/Snapshot.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumvard"));
    lumvard::initProgramDir();
    lumvard::installDialogPresenter();
    lumvard::shell::installSnapshotHook();
    try {
        lumvard::StartupHooks hooks;
        hooks.askServerSettings = &lumvard::shell::askServerSettings;
        std::unique_ptr<lumvard::TFDM> dm = lumvard::TFDM::create(hooks);
        lumvard::shell::showAbout();
        if (!lumvard::shell::runLogin(*dm)) return 0;
        lumvard::shell::TMainForm mainForm(*dm);
        mainForm.show();
        return app.exec();
    } catch (const lumvard::ProgramEnded &end) {
        return end.exitCode;
    }
}
