// The tray tip text and the menu's command codes.
#include <gtest/gtest.h>

#include "desktop/tray_menu.h"

namespace cantorel {
namespace {

TEST(TrayTip, NamesTheProgramAndTheTitle) {
  EXPECT_EQ(TrayTipText(QStringLiteral("Song")), QStringLiteral("Cantorel v4.0 - Song"));
}

TEST(TrayTip, CutToTheField) {
  const QString fits = QString(47, QLatin1Char('a'));  // 16 + 47 = 63
  EXPECT_EQ(TrayTipText(fits).size(), 63);
  const QString tip = TrayTipText(QString(200, QLatin1Char('b')));
  EXPECT_EQ(tip.size(), 63);
  EXPECT_TRUE(tip.startsWith(QStringLiteral("Cantorel v4.0 - bbb")));
  // A character outside the basic plane straddling the end is dropped whole.
  const QString emoji = QString(46, QLatin1Char('c')) + QString::fromUtf8("\xF0\x9F\x8E\xB5") + QStringLiteral("x");
  const QString cut = TrayTipText(emoji);
  EXPECT_EQ(cut.size(), 62);
  EXPECT_FALSE(cut.back().isHighSurrogate());
}

}  // namespace
}  // namespace cantorel
