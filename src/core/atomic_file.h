#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace cantorel {

struct AtomicWriteOptions {
  // Permission bits of the new file (e.g. 0600 for files holding secrets).
  // Zero keeps the permissions of the file being replaced, or 0644.
  unsigned mode = 0;
  // Called after the data is on disk and before the rename that makes it
  // visible. Returning false abandons the write (the old file stays). Tests use
  // it to stand in for a crash at the worst moment.
  std::function<bool()> beforeCommit;
};

// Replaces `path` with `data` so that readers see either the old file or the
// new one, never a mix: the data goes to a temporary file in the same folder,
// is flushed to disk and renamed over the target. Returns false (and leaves the
// old file untouched) on any error; `error` then says why.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr,
                         const AtomicWriteOptions &options = {});

// Removes the temporary files that writes of `targets` (full paths) left
// behind when a process died between creating one and renaming it: in each
// target's folder, plain files named "." + the target's name + "." and six
// letters or digits, last changed before `before` (the start of this process,
// so a write under way in another process is left alone). Returns how many
// were removed.
int removeStaleTemporaryFiles(const QStringList &targets, const QDateTime &before);

// Reads at most `limit` bytes of `path`. Returns false when the file cannot be
// opened or is larger than `limit` (then `tooLarge` is set).
bool readFileLimited(const QString &path, qint64 limit, QByteArray *out, bool *tooLarge = nullptr);

}  // namespace cantorel
