#pragma once
#include "common/MemberRef.h"
#include "link/PairList.h"
#include <QList>
#include <QString>
#include <initializer_list>
#include <utility>
#include <vector>

struct TWritePrm;

// Where a field's edit sits on the direct-operation page.
enum class TPageBox {
    None,
    WDDif,       // left column, "WD器差補正"
    ATDif,       // left column, "AT器差補正"
    Rev,         // left column, "軸感度補正"
    System,      // left column, "システム設定値"
    CurrentType, // wind-speed page "現状型"
    OldType,     // wind-speed page "旧型"
    Grid,        // the grid SGRev on "現状型", at Row and Column
};

// One field of the parameter set, declared once: its member, what the instrument calls it and the
// format it is sent in, its key in the setpoint files, its place on the direct page, and the write
// group and default-value step it goes out in. The files, the page, the write window and the
// calibration's sends are selections of these rows, in row order (the page's reading order).
struct TPrmAspect {
    TMemberRef<TWritePrm> Field;
    const char* Code;
    const char* SendFormat;
    // The setpoint files; no section: no file holds the field.
    const char* Section = nullptr;
    const char* Key = nullptr;
    // The file lists the keys of a section by this rank, then in row order.
    int FileRank = 0;
    // The direct page; no object name: the page does not show the field.
    const char* ObjectName = nullptr;
    TPageBox Box = TPageBox::None;
    QString Label;
    // Shown in its own format where the page gives more digits than are sent.
    const char* ShowFormat = nullptr;
    // A grid cell, counted from the first value row.
    int Row = -1;
    int Column = -1;
    // The write window's group (2 to 6; 0: none), and whether its answer is compared.
    int WriteGroup = 0;
    bool Compared = true;
    // The calibration's default-value step (0 to 5, 13, 14; -1: none).
    int DefaultStep = -1;

    float Value(const TWritePrm& prm) const { return Field.Float(prm); }
    QString SendText(const TWritePrm& prm) const;
    QString ShownText(const TWritePrm& prm) const;
};

// Every field of the parameter set, in the page's reading order.
const std::vector<TPrmAspect>& PrmAspects();
// The field the instrument calls `code`; a code no row has stops the program at its first use, in
// every test that sends it.
const TPrmAspect& PrmAspect(const char* code);
// The rows the setpoint files hold, in the file's order.
const std::vector<const TPrmAspect*>& SetpointFileAspects();

// (key, text) pairs of one send.
using TSendPairs = QList<TKeyValStr>;
// The pairs of the given codes, in that order, with the values of `prm`.
TSendPairs SendPairs(const TWritePrm& prm, std::initializer_list<const char*> codes);
