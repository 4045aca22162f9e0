#include "prefs/prefs_logic.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "core/number_text.h"
#include "core/text_codec.h"

namespace cantorel {

QStringList ScheduleDayItems() {
  return {QStringLiteral("M - Monday"),  QStringLiteral("T - Tuesday"),   QStringLiteral("W - Wednesday"),
          QStringLiteral("R - Thursday"), QStringLiteral("F - Friday"),   QStringLiteral("S - Saturday"),
          QStringLiteral("U - Sunday"),  QStringLiteral("D - Weekday"),   QStringLiteral("N - Weekend"),
          QStringLiteral("E - Every Day")};
}

QString NormalizeClockTime(const QString &text) {
  static const QRegularExpression re(QStringLiteral("^([0-9]{1,2}):([0-9]{2})$"));
  const auto m = re.match(text.trimmed());
  if (!m.hasMatch()) return {};
  const int h = m.captured(1).toInt();
  const int min = m.captured(2).toInt();
  if (h > 23 || min > 59) return {};
  return QStringLiteral("%1:%2").arg(h, 2, 10, QLatin1Char('0')).arg(min, 2, 10, QLatin1Char('0'));
}

ScheduleEntryResult MakeScheduleEntry(const QString &dayItem, const QString &onTime, const QString &offTime,
                                      const QString &preset) {
  ScheduleEntryResult r;
  const QString on = NormalizeClockTime(onTime);
  const QString off = NormalizeClockTime(offTime);
  if (on.isEmpty() || off.isEmpty() || dayItem.isEmpty()) {
    r.outcome = ScheduleEntryResult::Outcome::BadTime;
    return r;
  }
  if (on == QLatin1String("00:00") && off == QLatin1String("00:00")) return r;
  const qint32 n = toInt32(preset);
  r.entry = dayItem.left(1) + u' ' + on + u' ' + off + u' ' +
            (n < 0 ? QString::number(n) : QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));
  r.outcome = ScheduleEntryResult::Outcome::Added;
  return r;
}

int SelectionAfterDelete(int removed, int countAfter) {
  if (countAfter <= 0) return -1;
  return removed >= countAfter ? countAfter - 1 : removed;
}

QString DocumentFileName(int index) {
  static const char *const names[] = {"cantorel.txt", "readme.txt", "skins.txt", "credits.txt"};
  if (index < 0 || index > 3) return {};
  return QString::fromLatin1(names[index]);
}

QString ReadDocument(const QStringList &folders, int index) {
  constexpr qint64 kMaxDocument = 1 << 20;
  const QString name = DocumentFileName(index);
  for (const QString &folder : folders) {
    if (name.isEmpty()) break;
    QFile f(QDir(folder).filePath(name));
    if (!f.open(QIODevice::ReadOnly)) continue;
    return decodeText(f.read(kMaxDocument));
  }
  return QStringLiteral("Could not open file!");
}

QStringList TransparencyItems() {
  QStringList items;
  for (int i = 30; i <= 255; ++i) items << QString::number(i);
  return items;
}

QStringList SnoozeMinuteItems() {
  return {QStringLiteral("5"),  QStringLiteral("10"), QStringLiteral("15"), QStringLiteral("20"), QStringLiteral("25"),
          QStringLiteral("30"), QStringLiteral("40"), QStringLiteral("45"), QStringLiteral("60")};
}

}  // namespace cantorel
