#include "calibration/Calibration.h"
#include "acquisition/MeasurementStore.h"
#include "calibration/CalFiles.h"
#include "common/Clock.h"
#include "common/UserPrompts.h"
#include "settings/Settings.h"

TCalibration::TCalibration(TSettings& settings, TMeasurementStore& store, Clock& clock, UserPrompts& prompts,
                           QString dataDir)
    : settings_(settings), store_(store), clock_(clock), prompts_(prompts), dataDir_(std::move(dataDir)) {
    defaultStepFollowing_ = settings_.Sends.DefaultStepSent.Follow([this](int) { SeqRetry = 2; });
}

void TCalibration::OnTick() {
    ++SeqTickCount;
    if (SeqTickCount % 2 == 0) RunSequencer();
}

void TCalibration::OnSecond(bool settingsViewVisible) {
    if (settingsViewVisible) {
        CalcStatistics(Stats, store_.SampleHistory, store_.CurrentSample, settings_.Prm.AdjWS, CalStep);
        ::ShowStatistics(View, Stats, settings_.Prm, store_.CurrentSample);
    }
    ShowCalState();
}

void TCalibration::ShowCalState() {
    ::ShowCalState(View, Stats, CalStep);
    ViewChanged.Notify();
}

void TCalibration::CheckCorrection(void (TSettingsSends::*resend)()) {
    if (!settings_.Sends.WritePending()) return;
    if (settings_.Sends.CheckSetResult())
        settings_.Sends.ResumePolling();
    else
        (settings_.Sends.*resend)();
}

void TCalibration::RunSequencer() {
    TSettingsSends& sends = settings_.Sends;
    switch (CalStep) {
    case 1:
        if (sends.CheckSetResult()) {
            CalStep = 2;
            sends.PausePolling();
        } else if (SeqRetry > 0) {
            --SeqRetry;
        } else {
            sends.SendSetInit();
            SeqRetry = 2;
        }
        break;
    case 2:
        sends.NextDefaultStep(false, true);
        CalStep = 3;
        break;
    case 3:
        if (sends.CheckSetResult()) {
            if (sends.NextDefaultStep(true, false)) CalStep = 4;
        } else {
            sends.NextDefaultStep(false, false);
        }
        break;
    case 4:
        sends.ResumePolling();
        break;
    case 5:
        if (!sends.WritePending()) break;
        if (sends.CheckSetResult()) {
            CalStep = 6;
            sends.ResumePolling();
        } else {
            sends.SendATRev();
        }
        break;
    case 6:
    case 7:
        CheckCorrection(&TSettingsSends::SendWDRev);
        break;
    case 8:
        CheckCorrection(&TSettingsSends::Send0mRev);
        break;
    case 10:
        CheckCorrection(&TSettingsSends::SendNmRev);
        break;
    default:
        break;
    }
}

std::optional<QString> TCalibration::CalFilePath(const QString& suffix) const {
    return ::CalFilePath(dataDir_, settings_.Prm.SerialNo, settings_.Prm.CalStart, suffix);
}

void TCalibration::SaveCalSetpoint() {
    if (const auto path = CalFilePath(QStringLiteral(".krv"))) (void)settings_.Prm.SaveSetpoint(*path);
}

bool TCalibration::WriteWorkFile(const QString& suffix) {
    const auto path = CalFilePath(suffix);
    if (!path) {
        prompts_.ShowError(
            QStringLiteral("作業ファイルを書けません: シリアル番号「%1」はファイル名に使えません")
                .arg(settings_.Prm.SerialNo));
        return false;
    }
    if (const FileResult written = WriteCalCsv(*path, store_.SampleHistory); !written) {
        prompts_.ShowError(QStringLiteral("作業ファイルを書けません: %1\n%2").arg(*path, written.Error));
        return false;
    }
    return true;
}

void TCalibration::Finish(int step) {
    CalStep = step;
    ShowCalState();
    ParamsChanged.Notify();
    SaveCalSetpoint();
}

void TCalibration::BBCalStartClick(const QString& serialNo) {
    TWritePrm& prm = settings_.Prm;
    prm.SerialNo = serialNo;
    prm.CalStart = clock_.Now();
    // A file that cannot be read (binary, UTF-16, a broken section) or holds not one setpoint key
    // (empty, some other text) is no more a default set than a missing one: the user is told the
    // same, and the calibration starts from the built-in defaults rather than from whatever the
    // parameter set held.
    int keys = 0;
    if (!prm.LoadSetpoint(settings_.DefaultSetpointPath(), &keys) || keys == 0) {
        prm.SetDefaults();
        prompts_.ShowError(QStringLiteral("DefaultPrm.krvが見つかりません。"));
    }
    CalStep = 1;
    ShowCalState();
    settings_.Sends.AddStatusLine(QStringLiteral("■キャリブレーション開始■"));
    settings_.Sends.AddStatusLine(QStringLiteral("S/N:") + prm.SerialNo);
    settings_.Sends.SendSetInit();
    ParamsChanged.Notify();
    SaveCalSetpoint();
}

void TCalibration::BBATRcvFinClick() {
    settings_.Prm.ATDif = Stats.ATRev;
    settings_.Sends.AddStatusLine(QStringLiteral("□気温補正実施"));
    settings_.Sends.SendATRev();
    if (WriteWorkFile(QStringLiteral("_ATR.csv"))) Finish(5);
}

void TCalibration::BBWSTRcvFinClick() {
    settings_.Prm.WDDif = Stats.WTRev;
    settings_.Sends.AddStatusLine(QStringLiteral("□風向温度補正実施"));
    settings_.Sends.SendWDRev();
    if (WriteWorkFile(QStringLiteral("_WTR.csv"))) Finish(7);
}

void TCalibration::BBWSTClearClick() {
    settings_.Prm.WDDif = {};
    settings_.Sends.AddStatusLine(QStringLiteral("□風向温度補正初期化"));
    settings_.Sends.SendWDRev();
    Finish(6);
}

void TCalibration::BB0mCalFinClick() {
    settings_.Prm.DifT0m = Stats.WS0Cal;
    settings_.Sends.AddStatusLine(QStringLiteral("□0m補正実施"));
    settings_.Sends.Send0mRev();
    if (WriteWorkFile(QStringLiteral("_cal0.csv"))) Finish(8);
}

void TCalibration::BB4mCalFinClick() {
    settings_.Prm.AdjDifT = Stats.WS4Cal;
    settings_.Sends.AddStatusLine(QStringLiteral("□Nm補正実施"));
    settings_.Sends.SendNmRev();
    if (WriteWorkFile(QStringLiteral("_calx.csv"))) Finish(10);
}

void TCalibration::BBFinClick() {
    if (!WriteWorkFile(QStringLiteral("_Fin.csv"))) return;
    settings_.Sends.AddStatusLine(QStringLiteral("□作業完了"));
    SaveCalSetpoint();
}
