#pragma once
#include <QString>
#include <optional>
#include <vector>

struct TWritePrm;

// One text of the direct-operation page: an edit (Row -1) or a cell of the grid SGRev. The heading
// cells have no field and are only shown.
struct TParamField {
    QString ObjectName;
    int Row = -1;
    int Column = -1;
    float& (*Field)(TWritePrm&) = nullptr;
    const char* Format = nullptr;
    QString Heading;
};

// Every text of the page in the order they are read back; one table drives showing and reading.
const std::vector<TParamField>& DirectPageFields();

// A passive view: the window sets and gets the text of a field by its object name and cell.
class TParamView {
  public:
    virtual ~TParamView() = default;
    virtual void SetFieldText(const TParamField& field, const QString& text) = 0;
    virtual QString FieldText(const TParamField& field) const = 0;
};

inline const QString ConvertWarningText =
    QStringLiteral("変換できない文字がありました\n設定数値を確認してください！");

void ShowParams(const TWritePrm& prm, TParamView& view);
// Stores each text that converts at once, in table order, and stops at the first that does not:
// the warning text is then returned, and that field and the later ones keep their values.
[[nodiscard]] std::optional<QString> ReadParams(TWritePrm& prm, const TParamView& view);
