#pragma once

// File - Open and File - Save of the main window: parameter sets of the device configuration in
// files, through the dialogs of the session. The file dialogs start in the folder used last.

#include "ui/pagecontext.h"

#include <functional>

namespace ui {

class ParameterSetFiles
{
public:
    // `programDirectory`: where the dialogs start while it can be written and no folder was used
    // yet; `loaded` runs after a set was loaded (the controls follow it, the edit counts).
    ParameterSetFiles(PageContext &context, TopLevelView &window, QString programDirectory,
                      std::function<void()> loaded);

    void LoadParameters();
    void SaveParameters();

private:
    // The folder the file dialogs start in, and the one to start in next time.
    QString fileFolder() const;
    void rememberFileFolder(const QString &fileName);
    void loadFrom(const QString &fileName);
    void message(const QString &text) const;

    PageContext &m_context;
    TopLevelView &m_window;
    QString m_programDirectory;
    std::function<void()> m_loaded;
};

} // namespace ui
