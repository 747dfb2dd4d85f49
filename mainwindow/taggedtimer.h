#pragma once

#include <QString>
#include <QTimer>

namespace lentaro {

// A timer that carries a text telling its handler what it is timing ("LOOP", "STOP").
class TaggedTimer : public QTimer
{
public:
    using QTimer::QTimer;

    QString Tag;
};

} // namespace lentaro
