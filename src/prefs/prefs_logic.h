#pragma once

#include <QString>
#include <QStringList>

namespace cantorel {

// Logic of the preferences window that needs no widgets.

// The ten items of the schedule day box; the first letter is the day code.
QStringList ScheduleDayItems();

// A clock time typed in the schedule editor or the snooze box, as "hh:mm".
// Accepts "h:mm" and "hh:mm" (hours 0-23, minutes 00-59, blanks around are
// ignored) and pads the hour, so "7:30" gives "07:30". Empty when the text is
// not such a time.
QString NormalizeClockTime(const QString &text);

// Result of building a schedule entry with `OOAddBtn`.
struct ScheduleEntryResult {
  enum class Outcome { Added, Ignored, BadTime } outcome = Outcome::Ignored;
  QString entry;  // the entry to append when Added
};

// Builds "D hh:mm hh:mm NN" from the day item, the two times and the preset
// text (its leading number, at least two digits). Both times "00:00" give
// Ignored; a time that is not a clock time gives BadTime, so no entry is
// stored that the schedule could never match.
ScheduleEntryResult MakeScheduleEntry(const QString &dayItem, const QString &onTime, const QString &offTime,
                                      const QString &preset);

// The index to select after deleting entry `removed` from a list that now
// holds `countAfter` entries (-1: no selection).
int SelectionAfterDelete(int removed, int countAfter);

// The document files of the viewer, by option index 0..3.
QString DocumentFileName(int index);
// The text of a document found in `folders` (first folder first), decoded by
// the common rule, at most 1 MiB; "Could not open file!" when missing.
QString ReadDocument(const QStringList &folders, int index);

// The transparency list: "30" to "255".
QStringList TransparencyItems();
// The snooze minutes list.
QStringList SnoozeMinuteItems();

}  // namespace cantorel
