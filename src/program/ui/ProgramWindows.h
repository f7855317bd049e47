#pragma once
#include <functional>
#include <memory>

class QWidget;
class TMainForm;
class TProgramCore;
class UserPrompts;

// The program's windows over a created core (`TProgramCore::Create()`), made in their order: the main
// window, the system setting window with the calibration page, the monitor list, the write window. Closing
// the main window ends the event loop whatever else is open; the windows' end closes the port and stores the
// switch.
class TProgramWindows {
  public:
    // `parentPrompts` learns the main window, over which the prompts are to appear.
    TProgramWindows(TProgramCore& core, UserPrompts& prompts,
                    const std::function<void(QWidget* mainWindow)>& parentPrompts = {});
    ~TProgramWindows();
    TProgramWindows(const TProgramWindows&) = delete;
    TProgramWindows& operator=(const TProgramWindows&) = delete;

    TMainForm& Main() const { return *main_; }
    void Show();

  private:
    std::unique_ptr<TMainForm> main_;
};
