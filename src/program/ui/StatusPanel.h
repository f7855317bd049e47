#pragma once
#include <QLabel>

// A status bar panel of a given width whose text never widens the window, so the buttons stay
// where they are: a text too long for the panel is shortened in the middle with an ellipsis and
// shown whole in the tooltip and to assistive technology.
class TStatusPanel : public QLabel {
    Q_OBJECT
  public:
    explicit TStatusPanel(int width, QWidget* parent = nullptr);

    // `detail` joins the tooltip, for what the text alone does not say. A path loses its middle; a
    // sentence whose start matters most (a reason) may lose its end instead.
    void SetFullText(const QString& text, const QString& detail = {},
                     Qt::TextElideMode mode = Qt::ElideMiddle);
    // Wide enough for `widest`, a text of a fixed format, in the font in use (which may be wider
    // than the given width was meant for).
    void FitWidthTo(const QString& widest);
    // Takes no room while it has nothing to say, leaving it to a panel that stretches.
    void SetHiddenWhenEmpty(bool hidden);
    const QString& FullText() const { return full_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Elide();
    int EffectiveIndent() const;

    int width_;
    bool hiddenWhenEmpty_ = false;
    Qt::TextElideMode mode_ = Qt::ElideMiddle;
    QString full_;
    QString detail_;
};
