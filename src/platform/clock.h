#pragma once

#include <QDateTime>

namespace cantorel {

// The time of day, behind a seam so tests can walk through a week in
// simulated minutes.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
 public:
  QDateTime now() const override { return QDateTime::currentDateTime(); }
};

}  // namespace cantorel
