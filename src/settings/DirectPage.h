#pragma once
#include "settings/PrmAspects.h"
#include <QString>
#include <optional>
#include <vector>

struct TWritePrm;

// The fields the direct-operation page shows, in the order they are read back: the rows with an
// object name. One table drives building, showing and reading the page.
const std::vector<const TPrmAspect*>& DirectPageAspects();

// A passive view: the window sets and gets the text of a field by its object name and cell.
class TParamView {
  public:
    virtual ~TParamView() = default;
    virtual void SetFieldText(const TPrmAspect& field, const QString& text) = 0;
    virtual QString FieldText(const TPrmAspect& field) const = 0;
};

inline const QString ConvertWarningText =
    QStringLiteral("変換できない文字がありました\n設定数値を確認してください！");

void ShowParams(const TWritePrm& prm, TParamView& view);
// Stores each text that converts at once, in table order, and stops at the first that does not:
// the warning text is then returned, and that field and the later ones keep their values.
[[nodiscard]] std::optional<QString> ReadParams(TWritePrm& prm, const TParamView& view);
