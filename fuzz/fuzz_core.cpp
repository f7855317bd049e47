// The whole headless program on an in-memory port with the simulator's instrument behind it. The
// input is the files it finds beside itself (Port0.ini, BaseSetpoint.ini, DefaultPrm.krv) and a
// script: ticks, checksummed frames with arbitrary pairs, noise, clock jumps either way, start and
// stop, a vanishing port, the calibration's buttons with any serial number, the write window, the
// second-record switch, service mode, exports. Checked: nothing is asked of the user inside the
// tick (the prompts end the run) and no tick throws; nothing is written outside the program's folder
// (its parent folders and the working folder stay as they were); a given file that cannot be read
// is never saved over; every record line ends in CR LF and every row has the fields of the layout
// whose headers precede it.
#include "FuzzSupport.h"
#include "acquisition/MeasurementStore.h"
#include "acquisition/SampleFields.h"
#include "common/Clock.h"
#include "common/IniFile.h"
#include "link/FrameCodec.h"
#include "program/ProgramCore.h"
#include "support/SimulatedInstrumentPort.h"
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <map>
#include <unistd.h>

namespace {

// scratch/core/prog is the program's folder; scratch/core/cwd the working folder.
const QString& Sandbox() {
    static const QString dir = ScratchDir() + QStringLiteral("/core");
    return dir;
}
QString ProgramFolder() {
    return Sandbox() + QStringLiteral("/prog");
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) std::abort();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// A row starts with its time stamp; anything else is a header line.
bool IsRow(QByteArrayView line) {
    static const QRegularExpression stamp(QStringLiteral(R"(^\d{4}/\d\d/\d\d \d\d:\d\d(:\d\d)?,)"));
    return stamp.match(QString::fromLatin1(line.first(qMin(line.size(), qsizetype(20))))).hasMatch();
}

void CheckRecordFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) FUZZ_CHECK(false, "unreadable record file");
    const QByteArray bytes = f.readAll();
    const std::string name = Shown(QFileInfo(path).fileName());
    if (bytes.isEmpty()) return;
    FUZZ_CHECK(bytes.endsWith("\r\n"), name + ": the last line has no CR LF");
    const bool second = path.endsWith(QStringLiteral(".csv"));
    FUZZ_CHECK(second || path.endsWith(QStringLiteral(".RCD")), name + ": not a record file");
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    int layoutFields = 0; // of the rows under the last header lines; 0 before any
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const std::string where = name + ":" + std::to_string(i + 1) + ": ";
        FUZZ_CHECK(line.endsWith('\r') && !line.chopped(1).contains('\r'),
                   where + "a line end other than CR LF");
        const QByteArrayView text = QByteArrayView(line).chopped(1);
        const qsizetype fields = text.count(',') + 1;
        if (!IsRow(text)) {
            // The second header line of each layout: "時刻," and its fields.
            if (text.startsWith("\x8E\x9E\x8D\x8F,")) layoutFields = second ? 9 : fields == 71 ? 72 : fields;
            continue;
        }
        FUZZ_CHECK(layoutFields != 0, where + "a row before any header");
        FUZZ_CHECK(fields == layoutFields, where + std::to_string(fields) + " fields under a header of " +
                                               std::to_string(layoutFields) + ": " + Shown(text));
        FUZZ_CHECK(text.endsWith(','), where + "a row without its last comma");
    }
}

class Script {
  public:
    Script(FuzzedDataProvider& fdp) : fdp_(fdp) {}

    // The files given that cannot be read, with their bytes: never to be saved over.
    std::map<QString, QByteArray> Unreadable;

    void Run() {
        const QString folder = ProgramFolder();
        // The files beside the program, real or not.
        for (const char* name : {"Port0.ini", "BaseSetpoint.ini", "DefaultPrm.krv"}) {
            if (!fdp_.ConsumeBool()) continue;
            const QString path = folder + u'/' + QLatin1String(name);
            const QByteArray content = Bytes(fdp_, 800);
            Put(path, content);
            IniFile ini;
            if (!ini.Load(path)) Unreadable[path] = content;
        }
        clock_.Set(EncodeDateTime(2026, 12, 9, 23, 58, 0) +
                   fdp_.ConsumeIntegralInRange<int>(-86400, 86400) / 86400.0);
        prompts_.SaveChoice = folder + QStringLiteral("/export.csv");
        try {
            core_.Create();
        } catch (const EComPort&) {
            // The main window shows "Failed to load settings" and comes up.
        }
        core_.Settings.LoadBaseSetpoint();
        core_.Show();
        for (int op = 0; op < 150 && fdp_.remaining_bytes() > 0 && ticks_ < 300; ++op)
            Step(fdp_.ConsumeIntegralInRange<int>(0, 19));
        core_.Shutdown();
    }

  private:
    void Tick(int n) {
        for (int i = 0; i < n; ++i, ++ticks_) {
            core_.MainTimerTimer();
            // Rows are written on the writer's thread; waiting for them keeps an input's run the same.
            core_.Monitor.FlushRecords();
            port_.DeliverAnswers();
            clock_.AdvanceMs(200);
        }
    }

    QString Text(size_t most) { return QString::fromUtf8(Bytes(fdp_, most)); }

    // An answer as the instrument frames it, its pairs from the codes it is asked for or made up.
    void Frame() {
        static const char* const commands[] = {"AD", "AW", "RD", "XX"};
        QByteArray payload = commands[fdp_.ConsumeIntegralInRange<int>(0, 3)];
        payload += ',';
        const int pairs = fdp_.ConsumeIntegralInRange<int>(0, 12);
        for (int i = 0; i < pairs; ++i) {
            payload += fdp_.ConsumeBool()
                           ? QByteArray(CodeTable[fdp_.ConsumeIntegralInRange<int>(0, CodeCount - 1)])
                           : Bytes(fdp_, 4);
            payload += '=';
            payload += fdp_.ConsumeBool() ? QByteArray::number(fdp_.ConsumeFloatingPoint<double>(), 'g', 9)
                                          : Bytes(fdp_, 10);
            payload += ',';
        }
        if (const std::optional<QByteArray> frame = BuildFrame(payload)) port_.Receive(*frame);
    }

    void Step(int op) {
        switch (op) {
        case 0:
        case 1:
        case 2:
            Tick(fdp_.ConsumeIntegralInRange<int>(1, 30));
            break;
        case 3:
            Frame();
            break;
        case 4:
            port_.Receive(Bytes(fdp_, 64));
            break;
        case 5: // the clock set forward or back by up to three days
            clock_.AdvanceMs(fdp_.ConsumeIntegralInRange<qint64>(-3LL * 86400000, 3LL * 86400000));
            break;
        case 6:
            core_.BBStartClick();
            break;
        case 7:
            core_.BBStopClick();
            break;
        case 8:
            if (port_.Connected()) port_.Lose();
            break;
        case 9:
            port_.Answering = !port_.Answering;
            break;
        case 10:
            core_.Calibration.BBCalStartClick(Text(24));
            break;
        case 11: {
            TCalibration& cal = core_.Calibration;
            switch (fdp_.ConsumeIntegralInRange<int>(0, 5)) {
            case 0:
                cal.BBATRcvFinClick();
                break;
            case 1:
                cal.BBWSTRcvFinClick();
                break;
            case 2:
                cal.BBWSTClearClick();
                break;
            case 3:
                cal.BB0mCalFinClick();
                break;
            case 4:
                cal.BB4mCalFinClick();
                break;
            default:
                cal.BBFinClick();
            }
            break;
        }
        case 12:
            core_.Monitor.SetSecondRecord(fdp_.ConsumeBool());
            break;
        case 13:
            core_.Monitor.EnterServiceMode();
            break;
        case 14:
            core_.SetSettingsViewVisible(fdp_.ConsumeBool());
            break;
        case 15:
            fdp_.ConsumeBool() ? core_.Monitor.BBSaveFileClick() : core_.Monitor.ExportPlotData();
            break;
        case 16:
            (void)core_.Settings.SaveBaseSetpoint();
            core_.Monitor.SaveRecordSettings();
            break;
        case 17: // the write window: opened, run, closed at some point
            if (core_.Settings.OpenWriteWindow()) core_.Settings.Write.BBDoClick();
            break;
        case 18:
            core_.Settings.Write.BBCancelClick();
            break;
        default:
            port_.Faults.SetRate(krvsim::Fault(fdp_.ConsumeIntegralInRange<int>(0, krvsim::FaultCount - 1)),
                                 fdp_.ConsumeProbability<double>());
        }
    }

    FuzzedDataProvider& fdp_;
    SimulatedInstrumentPort port_;
    ManualClock clock_;
    FuzzPrompts prompts_;
    TProgramCore core_{port_, clock_, prompts_, prompts_, ProgramFolder()};
    int ticks_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!QDir().mkpath(Sandbox() + QStringLiteral("/cwd")) ||
        chdir(qPrintable(Sandbox() + QStringLiteral("/cwd"))) != 0)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString folder = ProgramFolder();
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder)) std::abort();
    {
        FuzzedDataProvider fdp(data, size);
        Script script(fdp);
        script.Run();
        for (const auto& [path, bytes] : script.Unreadable) {
            QFile f(path);
            FUZZ_CHECK(f.open(QIODevice::ReadOnly) && f.readAll() == bytes,
                       "an unreadable file was saved over: " + Shown(path));
        }
    }
    FUZZ_CHECK(Entries(ScratchDir()) == QStringList{"core"},
               "beside the sandbox: " + Shown(Entries(ScratchDir()).join(u' ')));
    FUZZ_CHECK((Entries(Sandbox()) == QStringList{"cwd", "prog"}),
               "beside the program's folder: " + Shown(Entries(Sandbox()).join(u' ')));
    FUZZ_CHECK(Entries(Sandbox() + QStringLiteral("/cwd")).isEmpty(), "in the working folder");
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        FUZZ_CHECK(!info.isSymLink(), "a link: " + Shown(info.filePath()));
        if (info.isDir())
            FUZZ_CHECK(info.filePath() == folder + QStringLiteral("/Record"),
                       "a folder: " + Shown(info.filePath()));
    }
    for (const QString& name : Entries(folder + QStringLiteral("/Record")))
        CheckRecordFile(folder + QStringLiteral("/Record/") + name);
    // KRV_FUZZ_SHOW=1: what an input left behind, to see what a seed reaches.
    if (qEnvironmentVariableIsSet("KRV_FUZZ_SHOW")) {
        QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QFileInfo info(files.next());
            std::fprintf(stderr, "  %s %lld\n", qPrintable(QDir(folder).relativeFilePath(info.filePath())),
                         info.size());
        }
    }
    return 0;
}
