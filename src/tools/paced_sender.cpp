#include "paced_sender.h"

#include <QTimer>

PacedSender::PacedSender(Send send, MorphPacer::Clock clock, QObject* parent)
    : QObject(parent), send_(std::move(send)), pacer_(std::move(clock)) {
    tmrCable = new QTimer(this);
    tmrCable->setObjectName(QStringLiteral("tmrCable"));
    tmrCable->setSingleShot(true);
    connect(tmrCable, &QTimer::timeout, this, &PacedSender::SendDue);
}

void PacedSender::Offer(int item) {
    if (pacer_.Offer(item))
        SendNow(item);
    else
        ScheduleWaiting();
}

void PacedSender::SendNow(int item) {
    pacer_.Sent(send_(item));
    ScheduleWaiting();
}

void PacedSender::ScheduleWaiting() {
    if (!pacer_.Waiting())
        return;
    // Rounded up, so the timer never fires before the cable is free.
    const auto wait = pacer_.Wait();
    const int ms = static_cast<int>((wait.count() + 999) / 1000);
    tmrCable->start(ms);
}

void PacedSender::SendDue() {
    if (const std::optional<int> item = pacer_.TakeDue())
        SendNow(*item);
    else
        ScheduleWaiting();
}

void PacedSender::Flush() {
    tmrCable->stop();
    if (const std::optional<int> item = pacer_.TakeWaiting())
        pacer_.Sent(send_(item.value()));
}
