// The skin on a real window, offscreen: buttons, knobs, drags, snapping,
// sizes, and the shipped skins.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolTip>
#include "support/gui_app.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <chrono>
#include <thread>
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
    "test\r\n200,100\r\n200,150\r\n100,20\r\nbg.png,res.png\r\n%HOVER%,0,0,0,0,0,0,0\r\n"
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
  // Loads kSkin, or the head of kSkin with `body` after it.
  void load(int hover = 0, const QByteArray &body = {}) {
    QByteArray text(kSkin);
    text.replace("%HOVER%", QByteArray::number(hover));
    if (!body.isEmpty()) text = text.left(text.indexOf("B12")) + body;
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

TEST_F(SkinWindowTest, ButtonRunsItsCommandOnceOnRelease) {
  load();
  mouse(face(), QEvent::MouseButtonPress, {15, 15});
  EXPECT_TRUE(commands_.isEmpty());
  EXPECT_EQ(face()->pressedButton(), 12);
  mouse(face(), QEvent::MouseMove, {16, 16});
  mouse(face(), QEvent::MouseButtonRelease, {16, 16});
  EXPECT_EQ(commands_, QList<int>{12});
  EXPECT_EQ(face()->pressedButton(), 0);
  EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(SkinWindowTest, TypedCharactersRunButtonsByTheirUpperCaseKey) {
  load();
  const struct {
    QChar typed;
    QList<int> commands;
  } cases[] = {{u'x', {12}},
               {u'X', {12}},
               {u'q', {}},
               {u'`', {}},
               {u' ', {36}}};  // no button has a blank key: Space still pauses
  for (const auto &c : cases) {
    commands_.clear();
    EXPECT_TRUE(skin_->HandleKey(c.typed));
    // As std::vector: comparing two empty QLists trips a null memcmp in Qt 6.4.
    EXPECT_EQ(std::vector<int>(commands_.begin(), commands_.end()),
              std::vector<int>(c.commands.begin(), c.commands.end()))
        << c.typed.unicode();
  }
}

TEST_F(SkinWindowTest, HoverModeTwoShowsThePressedImageUntilThePointerLeaves) {
  load(2);
  mouse(face(), QEvent::MouseMove, {45, 15});
  EXPECT_EQ(face()->pressedButton(), 13);
  EXPECT_EQ(st_.LastIndex, 13);
  mouse(face(), QEvent::MouseMove, {100, 95});
  EXPECT_EQ(face()->pressedButton(), 0);
  EXPECT_EQ(st_.LastIndex, 0);
  EXPECT_TRUE(commands_.isEmpty());
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
  EXPECT_EQ(st_.SlideFlag, 1);
  mouse(face(), QEvent::MouseMove, {400, 62});
  EXPECT_EQ(st_.Sliders[1].Value, 1.0);
  mouse(face(), QEvent::MouseMove, {57, 62});  // 45 px right of the grab: 0.45
  mouse(face(), QEvent::MouseButtonRelease, {57, 62});
  EXPECT_EQ(seeks, QList<int>{90});
  EXPECT_EQ(st_.SlideFlag, 0);

  skin_->PlaceSlider(3, 0.5);
  drag(face(), {37, 82}, {-300, 82});
  EXPECT_EQ(balances.value(balances.size() - 1, -1), 0.0);
  EXPECT_EQ(seeks.size(), 1);  // only the position knob seeks

  // Upright volume: the top is full volume, and label 18 shows the percentage.
  skin_->PlaceSlider(2, 0.0);
  drag(face(), {155, 72}, {155, -100});
  EXPECT_EQ(st_.Sliders[2].Value, 1.0);
  EXPECT_EQ(skin_->labelText(18), QStringLiteral(" 100"));
  skin_->SliderChanged(2, 0.754);
  EXPECT_EQ(skin_->labelText(18), QStringLiteral(" 75"));

  QCoreApplication::processEvents();
  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(12, 82), QPointF(face()->mapToGlobal(QPoint(12, 82))),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(face(), &dbl);
  EXPECT_EQ(g_.Balance, 0.5f);
  EXPECT_EQ(st_.Sliders[3].Value, 0.5);
}

TEST_F(SkinWindowTest, WindowDragMovesByThePointerAndSnapsOnlyWhenAsked) {
  load();
  const QRect area = window_->screen()->availableGeometry();
  window_->move(area.left() + 100, area.top() + 100);
  drag(face(), {100, 95}, {150, 85});
  EXPECT_EQ(window_->pos(), QPoint(area.left() + 150, area.top() + 90));

  g_.WinSnap = 1;
  window_->move(area.left() + 100, area.top() + 13);  // 195 twips from the top
  skin_->SnapWindow();
  EXPECT_EQ(window_->pos(), QPoint(area.left() + 100, area.top()));
  window_->move(area.left() + 100, area.top() + 16);  // 240 twips: stays
  skin_->SnapWindow();
  EXPECT_EQ(window_->y(), area.top() + 16);
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

TEST_F(SkinWindowTest, ShippedSkinsLoadCleanly) {
  const QString skins = test::dataDir() + QStringLiteral("/skins/");
  for (const char *name : {"default.skin", "pebble.skin"}) {
    SCOPED_TRACE(name);
    messages_.clear();
    ASSERT_TRUE(skin_->LoadSkin(skins + QString::fromLatin1(name), true));
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(skin_->hasRegion());
    EXPECT_FALSE(skin_->windowRegion().contains(QPoint(0, 0)));  // a shaped corner
    EXPECT_TRUE(skin_->windowRegion().contains(QPoint(window_->width() / 2, window_->height() / 2)));
    EXPECT_FALSE(face()->pictures().Resource.isNull());
  }
  // The default skin's K button switches to Pebble, whose K button switches back.
  ASSERT_TRUE(skin_->LoadSkin(skins + QStringLiteral("default.skin"), true));
  skin_->setCommandHandler(nullptr);
  skin_->runCommand(101);
  EXPECT_TRUE(g_.Skin.endsWith(QStringLiteral("pebble.skin")));
  EXPECT_EQ(window_->size(), QSize(360, 120));
  skin_->runCommand(101);
  EXPECT_TRUE(g_.Skin.endsWith(QStringLiteral("default.skin")));
}

TEST_F(SkinWindowTest, DigitDisplaysAndLights) {
  g_.ScrollName = 1;
  st_.SongName = QStringLiteral("A long title");
  st_.Elapsed = 75;
  load(0,
       "D1,5,5,0,0,9,13,4,0,0,0,t\r\nD6,5,30,0,0,8,14,0,1,0,-5,t\r\nI2,1,1,4,4,0,255,0,3,t\r\n"
       "I4,1,1,4,4,0,255,0,3,t\r\n");
  EXPECT_EQ(face()->displayText(1), QStringLiteral("01:15"));
  const QString first = face()->displayText(6);
  skin_->SetDD(6, st_.SongName);                    // what the clock timer does
  EXPECT_EQ(face()->displayText(6), first.mid(1));  // one character on
  EXPECT_TRUE(face()->lightShown(2));
  EXPECT_FALSE(face()->lightShown(4));
  st_.Playing = -1;
  skin_->ShowLights();
  EXPECT_FALSE(face()->lightShown(2));
  EXPECT_TRUE(face()->lightShown(4));
}

TEST_F(SkinWindowTest, LabelFontsFallBackToArialWithTheirStyles) {
  load(0, "L4,1,1,80,14,0,0,0,-11,\"No Such Font Here : iu\",~\r\n");
  const QLabel *l = face()->label(4);
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(l->font().pointSize(), 11);
  EXPECT_FALSE(l->font().bold());
  EXPECT_TRUE(l->font().italic());
  EXPECT_TRUE(l->font().underline());
  EXPECT_TRUE(l->toolTip().isEmpty());
  EXPECT_EQ(l->textFormat(), Qt::PlainText);
}

// Tips of a downloaded skin are shown as the text they are: markup is not
// drawn and a picture it names is never opened (a FIFO would block the
// window, /dev/zero would exhaust memory).
TEST_F(SkinWindowTest, MarkupInTipsIsShownAsTextAndLoadsNothing) {
  const QString fifo = dir_.filePath(QStringLiteral("tip.fifo"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString tip = QStringLiteral("<b>bold</b><img src=%1>").arg(fifo);
  QByteArray text(kSkin);
  text.replace("%HOVER%", "0");
  text.replace("0,0,X,Play", QByteArray("0,0,X," + tip.toUtf8()));
  text.replace("Arial,~", QByteArray("Arial," + tip.toUtf8()));
  test::writeAll(dir_.filePath(QStringLiteral("t.skin")), text);
  ASSERT_TRUE(skin_->LoadSkin(dir_.filePath(QStringLiteral("t.skin")), true));

  // Anything that opens the FIFO for reading is seen (and let go) here.
  std::atomic<bool> stop{false}, opened{false};
  std::thread watch([&] {
    while (!stop) {
      const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) {
        opened = true;
        ::close(fd);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
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
  QLabel *label = face()->findChild<QLabel *>(QStringLiteral("Lbl18"));
  ASSERT_NE(label, nullptr);
  QLabel probe;  // lays the label's tip out as a tooltip would
  probe.setText(label->toolTip());
  probe.adjustSize();
  stop = true;
  watch.join();
  EXPECT_FALSE(opened) << "a tip opened the picture it names";
  ASSERT_NE(shown, nullptr) << "no tip shown";
  QTextDocument doc;
  doc.setHtml(shown->text());
  EXPECT_EQ(doc.toPlainText().toStdString(), tip.toStdString());
  doc.setHtml(label->toolTip());
  EXPECT_EQ(doc.toPlainText().toStdString(), tip.toStdString());
  QToolTip::hideText();
}
