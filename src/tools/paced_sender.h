#pragma once

#include "morph.h"

#include <QObject>

#include <cstddef>
#include <functional>

class QTimer;

// Sends what the user asks for as fast as the MIDI cable carries it: a new
// item offered while the last one's bytes are still on the cable waits, a
// later one replaces it, and the last one always goes out once the cable is
// free. Q-Morph's bar positions and the catalogue's sounds travel this way.
class PacedSender : public QObject {
    Q_OBJECT
public:
    // `send` sends the item and returns how many bytes it put on the cable.
    using Send = std::function<std::size_t(int item)>;

    PacedSender(Send send, MorphPacer::Clock clock, QObject* parent);

    void Offer(int item);
    // Sends the waiting item once the cable is free; the timer calls it.
    void SendDue();
    // Sends a waiting item now, cable free or not (a window closing).
    void Flush();
    const MorphPacer& Pacer() const { return pacer_; }

private:
    void SendNow(int item);
    void ScheduleWaiting();

    Send send_;
    MorphPacer pacer_;
    QTimer* tmrCable = nullptr; // the end of the last item's time on the cable
};
