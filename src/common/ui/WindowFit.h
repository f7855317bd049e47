#pragma once
#include <QMargins>
#include <QPlainTextEdit>
#include <QScrollArea>

// The frame of a window whose window manager has not told it yet: a common title bar and borders.
inline constexpr QMargins TypicalFrame{4, 32, 4, 4};

// The frame (title bar and borders) of a top-level window: as the window system reports it once
// the window is shown, else the largest of the other shown windows', else TypicalFrame.
QMargins FrameMargins(const QWidget* window);

// The width a window needs for its whole title in the title bar, beside the bar's icon and
// buttons; the title bar's font is the window system's, taken here as the bold system font.
int TitleBarWidth(const QWidget& window);

// Called as a window is shown: it opens wholly within the available area of its screen, title
// bar included, shrunk (not below its minimum) and moved in where it would not. A window that the
// program did not size opens at its size hint where the screen allows, rather than at Qt's two
// thirds of the screen, so that its pages scroll only where the screen is too small. With
// `centreOn`, the window opens centred on that window first.
void OpenOnScreen(QWidget* window, const QWidget* centreOn = nullptr);

// A scrolled page whose size hint is its content's, so that the window holding it asks for room
// to show the whole page, and scrolls only where the screen cannot give it.
class TScrollPage : public QScrollArea {
    Q_OBJECT
  public:
    explicit TScrollPage(QWidget* content, QWidget* parent = nullptr);
    QSize sizeHint() const override;
};

// A memo whose size hint shows `lines` lines like `sample` without scrolling.
class TLinesMemo : public QPlainTextEdit {
    Q_OBJECT
  public:
    TLinesMemo(int lines, const QString& sample, QWidget* parent = nullptr);
    QSize sizeHint() const override;

  private:
    int lines_;
    QString sample_;
};
