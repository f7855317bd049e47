#pragma once
#include <QString>
#include <optional>

// A file-save dialog: a filter of "description|pattern" pairs, the extension added to a name typed
// without one, the name offered first and the folder it starts in (empty: the toolkit's choice). An
// existing file is confirmed before it is replaced.
struct TSaveFileRequest {
    QString Filter;
    QString DefaultExt;
    QString InitialName;
    // Initialised, so that a request that leaves it out is no missing initializer.
    QString Directory = {};
};

// A file-open dialog: a filter as for saving, the extension added to a name typed without one, the
// folder it starts in.
struct TOpenFileRequest {
    QString Filter;
    QString DefaultExt;
    QString Directory = {};
};

// Everything the core asks of the user. Widgets implement it; tests record what was asked.
// Prompts come from what the user did, never from inside the 200 ms tick: a message box there
// would stall polling and every sequence for as long as it stays open. The tick marks itself with
// TTickScope, and a prompt asked for meanwhile is reported to PromptInTick.
class UserPrompts {
  public:
    virtual ~UserPrompts() = default;

    // An information message with an OK button.
    void ShowMessage(const QString& text) {
        CheckOutsideTick(text);
        DoShowMessage(text);
    }
    // A warning message with an OK button.
    void ShowWarning(const QString& text) {
        CheckOutsideTick(text);
        DoShowWarning(text);
    }
    // The program's general error box, for errors nobody else handles.
    void ShowError(const QString& text) {
        CheckOutsideTick(text);
        DoShowError(text);
    }

    // The chosen file, or nothing when the user cancels.
    std::optional<QString> AskSaveFile(const TSaveFileRequest& request) {
        CheckOutsideTick(QStringLiteral("a save dialog"));
        return DoAskSaveFile(request);
    }

    // The chosen existing file, or nothing when the user cancels.
    std::optional<QString> AskOpenFile(const TOpenFileRequest& request) {
        CheckOutsideTick(QStringLiteral("an open dialog"));
        return DoAskOpenFile(request);
    }

    bool InTick() const { return tickDepth_ > 0; }

  protected:
    virtual void DoShowMessage(const QString& text) = 0;
    virtual void DoShowError(const QString& text) = 0;
    // Recorded with the messages unless a seam shows warnings differently.
    virtual void DoShowWarning(const QString& text) { DoShowMessage(text); }
    virtual std::optional<QString> DoAskSaveFile(const TSaveFileRequest& request) = 0;
    virtual std::optional<QString> DoAskOpenFile(const TOpenFileRequest& request) = 0;
    // The program still shows the prompt, late rather than lost; the tests' prompts fail the test.
    virtual void PromptInTick(const QString& text) { (void)text; }
    void CheckOutsideTick(const QString& text) {
        if (InTick()) PromptInTick(text);
    }

  private:
    friend class TTickScope;
    int tickDepth_ = 0;
};

// Marks the extent of one tick for the prompt check.
class TTickScope {
  public:
    explicit TTickScope(UserPrompts& prompts) : prompts_(prompts) { ++prompts_.tickDepth_; }
    ~TTickScope() { --prompts_.tickDepth_; }
    TTickScope(const TTickScope&) = delete;
    TTickScope& operator=(const TTickScope&) = delete;

  private:
    UserPrompts& prompts_;
};
