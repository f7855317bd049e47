#pragma once
#include "settings/DirectPage.h"
#include <QString>

class TSettings;
class UserPrompts;

inline const QString SetpointFileFilter = QStringLiteral("krv setpoint File|*.krv");
inline const QString SetpointFileExt = QStringLiteral("*.krv");

// The system setting window as its presenter sees it: the direct page's texts, the serial number,
// the write window and the window's own closing.
class TSysSetView : public TParamView {
  public:
    // A grid cell still being edited gives its text to the grid (Enter on OK leaves it open).
    virtual void CommitPendingEdit() = 0;
    virtual void ShowSerialNumber(const QString& text) = 0;
    // The write window, when there is one; runs it until it closes.
    virtual bool HasWriteWindow() const = 0;
    virtual void RunWriteWindow() = 0;
    // Hides the window, accepted (OK) or not.
    virtual void CloseWindow(bool accepted) = 0;
};

// The system setting window's sequences, headless: what each click reads from the page, warns,
// refuses, saves or loads, which error it shows and whether the window closes. The window forwards
// its clicks here and shows what it is told; the calibration page takes the serial number from here.
class TSysSetPresenter {
  public:
    TSysSetPresenter(TSettings& settings, UserPrompts& prompts, TSysSetView& view)
        : settings_(settings), prompts_(prompts), view_(view) {}

    // The page shows the current parameter set: at every show and after the calibration changed it.
    void ShowParams();
    void WriteClicked();
    void SaveClicked();
    void LoadClicked();
    void OkClicked();
    void CancelClicked() { view_.CloseWindow(false); }

    const QString& SerialNumber() const { return serialNumber_; }
    void SerialNumberEdited(const QString& text) { serialNumber_ = text; }
    void ClearSerialNumberClicked();

  private:
    // Takes the page's texts into the current set, warning at the first that does not convert.
    void ReadPage();

    TSettings& settings_;
    UserPrompts& prompts_;
    TSysSetView& view_;
    QString serialNumber_ = QStringLiteral("xxxxxx");
};
