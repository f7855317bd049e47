#include "acquisition/MeasurementStore.h"
#include "acquisition/SampleFields.h"
#include "common/NumberParse.h"

void TMeasurementStore::StoreCodeValue(int index, QStringView text) {
    if (index < 0 || index >= CodeCount) return;
    const TFieldRef& field = PolledFields[std::size_t(index)]->Ref;
    if (field.IsInteger()) {
        if (auto v = ParseTruncatedInt(text)) field.Int(CurrentSample) = *v;
    } else if (auto v = ParseSingle(text)) {
        field.Float(CurrentSample) = *v;
    }
}

void TMeasurementStore::ResetAtStart() {
    CurrentSample.AirTemp = 0;
    CurrentSample.WindSpeed = 0;
    CurrentSample.Valid = false;
}

void TMeasurementStore::ShiftHistory(TDateTime now) {
    SampleHistory.Push(CurrentSample);
    // An entry that is no measurement keeps its time but is neither plotted nor counted.
    SampleHistory[0].Time = now;
}

void TMeasurementStore::ClearHistory() {
    for (int k = 0; k < HistorySize; ++k) {
        TSampleRec& e = SampleHistory[k];
        e.Time = 0;
        e.Valid = false;
        e.WindSpeed = 0;
        e.AirTemp = 0;
    }
}
