#pragma once
#include "common/UserPrompts.h"
#include "link/PortSettingsPrompt.h"
#include <QByteArray>
#include <QDir>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

[[noreturn]] inline void FuzzFail(const char* file, int line, const char* condition,
                                  const std::string& detail) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n%s\n", file, line, condition, detail.c_str());
    std::abort();
}

// A property that does not hold ends the run as a crash, with the reason on stderr. `detail` is an
// std::string, built only when the property fails.
#define FUZZ_CHECK(condition, detail)                                                                        \
    do {                                                                                                     \
        if (!(condition)) FuzzFail(__FILE__, __LINE__, #condition, (detail));                                \
    } while (0)

// Printable: bytes as C escapes.
inline std::string Shown(QByteArrayView bytes) {
    std::string out;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\') {
            out += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return out;
}
inline std::string Shown(const QByteArray& bytes) {
    return Shown(QByteArrayView(bytes));
}
inline std::string Shown(const QString& text) {
    return Shown(QByteArrayView(text.toUtf8()));
}

inline QByteArray Bytes(FuzzedDataProvider& fdp, size_t most) {
    const std::string s = fdp.ConsumeRandomLengthString(most);
    return QByteArray(s.data(), qsizetype(s.size()));
}

// A folder of this process's own for the files a target writes, removed when it ends. /dev/shm
// when there is one: the disk is not what is being tested.
inline const QString& ScratchDir() {
    static const QString dir = [] {
        const char* base = QDir(QStringLiteral("/dev/shm")).exists() ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/krv-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        static const std::string made = pattern;
        std::atexit([] { QDir(QString::fromStdString(made)).removeRecursively(); });
        return QString::fromStdString(pattern);
    }();
    return dir;
}

// Prompts that answer like a user who cancels every dialog, and end the run when anything is asked
// from inside the tick: a message box there would stall polling.
class FuzzPrompts : public UserPrompts, public PortSettingsPrompt {
  public:
    int Asked = 0;
    QString SaveChoice; // the file chosen in a save dialog; empty cancels

    bool EditPortSettings(TComSettings&, const QList<TPortInfo>&) override {
        if (InTick()) PromptInTick(QStringLiteral("the port setup dialog"));
        ++Asked;
        return false;
    }

  protected:
    void DoShowMessage(const QString&) override { ++Asked; }
    void DoShowError(const QString&) override { ++Asked; }
    std::optional<QString> DoAskSaveFile(const TSaveFileRequest&) override {
        ++Asked;
        if (SaveChoice.isEmpty()) return std::nullopt;
        return SaveChoice;
    }
    std::optional<QString> DoAskOpenFile(const TOpenFileRequest&) override {
        ++Asked;
        return std::nullopt;
    }
    void PromptInTick(const QString& text) override {
        FUZZ_CHECK(false, "a prompt inside the tick: " + Shown(text));
    }
};
