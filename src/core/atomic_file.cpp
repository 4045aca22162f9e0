#include "core/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorel {

namespace {

bool writeAll(int fd, const char *p, qint64 n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, static_cast<size_t>(n));
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= w;
  }
  return true;
}

void syncFolder(const QString &folder) {
  int dfd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

}  // namespace

bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error,
                         const AtomicWriteOptions &options) {
  auto fail = [error](const QString &why) {
    if (error) *error = why;
    return false;
  };
  const QFileInfo info(path);
  const QString folder = info.absolutePath();
  const QByteArray target = QFile::encodeName(info.absoluteFilePath());

  mode_t mode = options.mode ? options.mode : 0644;
  struct stat st {};
  if (!options.mode && ::stat(target.constData(), &st) == 0) mode = st.st_mode & 07777;

  QByteArray tmpl = QFile::encodeName(folder + QLatin1String("/.") + info.fileName() +
                                      QLatin1String(".XXXXXX"));
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
  ::fchmod(fd, mode);

  bool ok = writeAll(fd, data.constData(), data.size()) && ::fsync(fd) == 0;
  const int savedErrno = errno;
  ::close(fd);
  if (!ok) {
    ::unlink(tmpl.constData());
    return fail(QString::fromLocal8Bit(std::strerror(savedErrno)));
  }
  if (options.beforeCommit && !options.beforeCommit()) {
    ::unlink(tmpl.constData());
    return fail(QStringLiteral("write abandoned before commit"));
  }
  if (::rename(tmpl.constData(), target.constData()) != 0) {
    const int e = errno;
    ::unlink(tmpl.constData());
    return fail(QString::fromLocal8Bit(std::strerror(e)));
  }
  syncFolder(folder);
  return true;
}

int removeStaleTemporaryFiles(const QStringList &targets, const QDateTime &before) {
  int removed = 0;
  for (const QString &target : targets) {
    const QFileInfo info(target);
    const QRegularExpression ours(QLatin1String("^\\.") + QRegularExpression::escape(info.fileName()) +
                                  QLatin1String("\\.[A-Za-z0-9]{6}$"));
    QDir dir = info.absoluteDir();
    const QStringList names = dir.entryList({QLatin1String(".") + info.fileName() + QLatin1String(".??????")},
                                            QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString &name : names) {
      const QFileInfo tmp(dir.filePath(name));
      if (!ours.match(name).hasMatch() || tmp.lastModified() >= before) continue;
      if (QFile::remove(tmp.filePath())) ++removed;
    }
  }
  return removed;
}

bool readFileLimited(const QString &path, qint64 limit, QByteArray *out, bool *tooLarge) {
  if (tooLarge) *tooLarge = false;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  // A plain file is read at its own size: reading `limit` + 1 bytes at once
  // would allocate (and clear) that much for every small file.
  if (!f.isSequential() && f.size() > limit) {
    if (tooLarge) *tooLarge = true;
    return false;
  }
  QByteArray data = f.isSequential() ? f.read(limit + 1) : f.read(f.size() + 1);
  if (data.size() > limit) {
    if (tooLarge) *tooLarge = true;
    return false;
  }
  *out = data;
  return true;
}

}  // namespace cantorel
