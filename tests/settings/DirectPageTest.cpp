#include "settings/DirectPage.h"
#include "settings/WritePrm.h"
#include <QHash>
#include <gmock/gmock.h>

namespace {

// A recording view: texts by object name and cell, as a window would hold them.
class MapView : public TParamView {
  public:
    QHash<QString, QString> Texts;
    static QString Name(const TPrmAspect& f) {
        return f.Row < 0 ? QString(f.ObjectName)
                         : QString("%1[%2,%3]").arg(f.ObjectName).arg(f.Row).arg(f.Column);
    }
    void SetFieldText(const TPrmAspect& f, const QString& text) override { Texts[Name(f)] = text; }
    QString FieldText(const TPrmAspect& f) const override { return Texts.value(Name(f)); }
};

TEST(DirectPage, ShownTextsReadBackUnchangedWhereTheFormatHoldsTheValue) {
    TWritePrm p;
    p.WDDif[3] = -0.25f;
    p.RevDiv[4] = 12.5f;
    MapView view;
    ShowParams(p, view);
    TWritePrm read;
    read.ChipStdV = 1;
    EXPECT_FALSE(ReadParams(read, view));
    EXPECT_EQ(read, p);
}

} // namespace
