// The skin on a real window, offscreen: keys, knobs, sizes and tips.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolTip>
#include "support/gui_app.h"

#include <vector>

#include "core/general.h"
#include "core/main_state.h"
#include "skin/skin_face_widget.h"
#include "skin/skin_window.h"
#include "support/loopback_http.h"
#include "support/test_support.h"

using namespace cantorel;

namespace {

void mouse(QWidget *w, QEvent::Type type, QPoint at) {
  QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)),
                type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

// Presses at `from`, moves to `to` and lets go there.
void drag(QWidget *w, QPoint from, QPoint to) {
  mouse(w, QEvent::MouseButtonPress, from);
  mouse(w, QEvent::MouseMove, to);
  mouse(w, QEvent::MouseButtonRelease, to);
}

const char kSkin[] =
    "Cantorel Skin, window "
    "test\r\n200,100\r\n200,150\r\n100,20\r\nbg.png,res.png\r\n0,0,0,0,0,0,0,0\r\n"
    "B12,10,10,20,20,0,0,X,Play\r\n"
    "B13,40,10,20,20,0,0,O,Open\r\n"
    "S1,10,60,100,0,0,0,10,10,Position\r\n"
    "S3,10,80,50,0,0,0,10,10,Balance\r\n"
    "S2,150,20,0,50,0,0,10,6,Volume\r\n"
    "L18,120,80,40,12,255,255,255,8,Arial,~\r\n";

class SkinWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureApp();
    ASSERT_TRUE(dir_.isValid());
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    picture.save(dir_.filePath(QStringLiteral("bg.png")));
    picture.save(dir_.filePath(QStringLiteral("res.png")));
    window_ = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    skin_ = std::make_unique<SkinWindow>(window_.get(), g_, st_);
    skin_->showMessage = [this](const QString &m) { messages_ << m; };
    skin_->setCommandHandler([this](int code) { commands_ << code; });
    window_->show();
  }
  void load() {
    QByteArray text(kSkin);
    test::writeAll(dir_.filePath(QStringLiteral("t.skin")), text);
    ASSERT_TRUE(skin_->LoadSkin(dir_.filePath(QStringLiteral("t.skin")), true));
  }
  SkinFace *face() { return skin_->face(); }

  QTemporaryDir dir_;
  General g_;
  MainState st_;
  std::unique_ptr<QWidget> window_;
  std::unique_ptr<SkinWindow> skin_;
  QStringList messages_;
  QList<int> commands_;
};

}  // namespace

TEST_F(SkinWindowTest, TypedCharactersRunButtonsByTheirUpperCaseKey) {
  load();
  const struct {
    QChar typed;
    QList<int> commands;
  } cases[] = {{u'x', {12}}, {u'q', {}}, {u' ', {36}}};  // no button has a blank key: Space still pauses
  for (const auto &c : cases) {
    commands_.clear();
    EXPECT_TRUE(skin_->HandleKey(c.typed));
    // As std::vector: comparing two empty QLists trips a null memcmp in Qt 6.4.
    EXPECT_EQ(std::vector<int>(commands_.begin(), commands_.end()),
              std::vector<int>(c.commands.begin(), c.commands.end()))
        << c.typed.unicode();
  }
}

TEST_F(SkinWindowTest, KnobDraggedPastTheEndsGivesExactlyZeroOrOne) {
  load();
  st_.SongLen = 200;
  QList<int> seeks;
  QList<double> balances;
  QObject::connect(skin_.get(), &SkinWindow::seekRequested, [&](int s) { seeks << s; });
  QObject::connect(skin_.get(), &SkinWindow::sliderChanged, [&](int n, double v) {
    if (n == 3) balances << v;
  });
  skin_->PlaceSlider(1, 0.0);
  mouse(face(), QEvent::MouseButtonPress, {12, 62});
  mouse(face(), QEvent::MouseMove, {400, 62});
  EXPECT_EQ(st_.Sliders[1].Value, 1.0);
  mouse(face(), QEvent::MouseMove, {57, 62});  // 45 px right of the grab: 0.45
  mouse(face(), QEvent::MouseButtonRelease, {57, 62});
  EXPECT_EQ(seeks, QList<int>{90});

  skin_->PlaceSlider(3, 0.5);
  drag(face(), {37, 82}, {-300, 82});
  EXPECT_EQ(balances.value(balances.size() - 1, -1), 0.0);
  EXPECT_EQ(seeks.size(), 1);  // only the position knob seeks

  // Upright volume: the top is full volume.
  skin_->PlaceSlider(2, 0.0);
  drag(face(), {155, 72}, {155, -100});
  EXPECT_EQ(st_.Sliders[2].Value, 1.0);

  QCoreApplication::processEvents();
  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(12, 82), QPointF(face()->mapToGlobal(QPoint(12, 82))),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(face(), &dbl);
  EXPECT_EQ(g_.Balance, 0.5f);
}

TEST_F(SkinWindowTest, ExpandAndMiniSizes) {
  load();
  EXPECT_EQ(window_->size(), QSize(200, 100));
  skin_->ToggleMini();
  EXPECT_EQ(window_->size(), QSize(100, 20));
  skin_->ToggleExpand();  // remembered only
  EXPECT_EQ(window_->size(), QSize(100, 20));
  skin_->ToggleMini();
  EXPECT_EQ(window_->size(), QSize(200, 150));
  skin_->ToggleMini();  // mini wins over expanded
  EXPECT_EQ(window_->size(), QSize(100, 20));
}

// Line heights in the lyric box are remembered between ticks; a new lyric
// is measured afresh.
TEST_F(SkinWindowTest, EachLyricsLinesGetTheirOwnHeights) {
  load();
  QListWidget *box = face()->lyricBox();
  box->setGeometry(0, 0, 80, 300);
  box->show();
  const QString wraps = QStringLiteral("a line long enough to wrap over several rows of a narrow box");
  const auto heights = [&](const QStringList &lines) {
    box->clear();
    box->addItems(lines);
    box->setCurrentRow(1);
    return QList<int>{box->visualItemRect(box->item(0)).height(), box->visualItemRect(box->item(1)).height()};
  };
  const QList<int> shortFirst = heights({QStringLiteral("one"), wraps});
  EXPECT_GT(shortFirst[1], shortFirst[0]);
  EXPECT_EQ(heights({wraps, QStringLiteral("one")}), (QList<int>{shortFirst[1], shortFirst[0]}));
}

// The next lyric line one row down scrolls the box by a row: what it shows
// is moved, and only the rows that changed are painted again.
TEST_F(SkinWindowTest, LyricBoxPaintsOnlyTheRowsALineChangeTouches) {
  test::writeAll(dir_.filePath(QStringLiteral("t.skin")),
                 QByteArray(kSkin) + "Y1,0,0,110,100,200,210,225,14,18,26,9,Arial,~\r\n");
  ASSERT_TRUE(skin_->LoadSkin(dir_.filePath(QStringLiteral("t.skin")), true));
  QListWidget *box = face()->lyricBox();
  for (int i = 0; i < 40; ++i) box->addItem(QStringLiteral("line %1").arg(i));
  struct Painted : QObject {
    QRegion region;
    bool eventFilter(QObject *, QEvent *e) override {
      if (e->type() == QEvent::Paint) region += static_cast<QPaintEvent *>(e)->region();
      return false;
    }
  } painted;
  box->viewport()->installEventFilter(&painted);
  const auto area = [](const QRegion &r) {
    int a = 0;
    for (const QRect &rect : r) a += rect.width() * rect.height();
    return a;
  };
  for (int row : {10, 11}) {
    painted.region = QRegion();
    box->setCurrentRow(row);
    box->scrollToItem(box->item(row), QAbstractItemView::PositionAtCenter);
    QCoreApplication::processEvents();
  }
  // The two lines whose look changed, the row that came into view and the
  // one that went out of it; not the seven rows the box shows.
  const int rows = 4 * box->visualItemRect(box->item(11)).height() * box->viewport()->width();
  EXPECT_GT(area(painted.region), 0);
  EXPECT_LE(area(painted.region), rows) << "of " << area(box->viewport()->rect());
}

// Tips of a downloaded skin are shown as the text they are: markup is not
// drawn, so a picture it names is never opened.
TEST_F(SkinWindowTest, MarkupInTipsIsShownAsText) {
  const QByteArray tip = "<b>bold</b><img src=missing.png>";
  QByteArray text(kSkin);
  text.replace("0,0,X,Play", QByteArray("0,0,X," + tip));
  text.replace("Arial,~", QByteArray("Arial," + tip));
  test::writeAll(dir_.filePath(QStringLiteral("t.skin")), text);
  ASSERT_TRUE(skin_->LoadSkin(dir_.filePath(QStringLiteral("t.skin")), true));
  const QPoint at(15, 15);
  QHelpEvent help(QEvent::ToolTip, at, face()->mapToGlobal(at));
  QCoreApplication::sendEvent(face(), &help);
  QLabel *shown = nullptr;
  test::spinUntil(
      [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
          if (w->inherits("QTipLabel") && w->isVisible()) shown = qobject_cast<QLabel *>(w);
        return shown != nullptr;
      },
      3000);
  ASSERT_NE(shown, nullptr) << "no tip shown";
  QTextDocument doc;
  doc.setHtml(shown->text());
  EXPECT_EQ(doc.toPlainText().toUtf8(), tip);
  doc.setHtml(face()->findChild<QLabel *>(QStringLiteral("Lbl18"))->toolTip());
  EXPECT_EQ(doc.toPlainText().toUtf8(), tip);
  QToolTip::hideText();
}
