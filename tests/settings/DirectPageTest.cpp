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

// Reading stops at the first text that does not convert: what came before is taken, the rest kept.
TEST(DirectPage, ReadingStopsAtTheFirstTextThatDoesNotConvert) {
    TWritePrm before;
    before.RevDiv[0] = 7;
    MapView view;
    ShowParams(TWritePrm{}, view);
    view.Texts["EWDDif1"] = "0.5";
    view.Texts["EWDDif2"] = "1,5";
    view.Texts["EWDDif3"] = "0.75";
    TWritePrm p = before;
    EXPECT_EQ(ReadParams(p, view), "変換できない文字がありました\n設定数値を確認してください！");
    TWritePrm expected = before;
    expected.WDDif[0] = 0.5f;
    EXPECT_EQ(p, expected);

    view.Texts["EWDDif2"] = "1.5";
    view.Texts["EStdVolt"] = "";
    view.Texts["SGRev[0,0]"] = "3";
    p = before;
    EXPECT_TRUE(ReadParams(p, view).has_value());
    EXPECT_EQ(p.WDDif[2], 0.75f);
    EXPECT_EQ(p.HeaterWatt, 0.2f);
    EXPECT_EQ(p.ChipStdV, before.ChipStdV);
    EXPECT_EQ(p.RevDiv[0], 7.0f);
}

} // namespace
