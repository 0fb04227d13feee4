#include "frm_sysex_receiver.h"

#include "midi_ports.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

void ReplyWait::Begin(int requestCount) {
    active_ = true;
    lastReplyHandled_ = false;
    countAtLastReply_ = requestCount;
    silentTicks_ = 0;
}

bool ReplyWait::ReplyHandled(int requestCount) {
    if (!active_)
        return false;
    silentTicks_ = 0;
    // A reply that left the stack empty may have popped the last pair and sent
    // its request; only a reply that found the stack already empty was the last.
    if (requestCount == 0 && countAtLastReply_ == 0)
        lastReplyHandled_ = true;
    countAtLastReply_ = requestCount;
    return lastReplyHandled_;
}

ReplyWait::Step ReplyWait::Tick(int requestCount, bool receiveArmed, bool silenceCounts) {
    if (!active_)
        return Step::Finished;
    if (!receiveArmed || (requestCount == 0 && lastReplyHandled_))
        return Step::Finished;
    if (!silenceCounts)
        return Step::KeepWaiting;
    if (++silentTicks_ >= SilenceTicks)
        return Step::GiveUp;
    return Step::KeepWaiting;
}

namespace {
constexpr int ClientWidth = 248;
constexpr int ClientHeight = 86;
constexpr int LabelWidth = 225;
constexpr int LabelHeight = 25;
constexpr int TimerInterval = 1000;
} // namespace

TfrmSysExReceiver::TfrmSysExReceiver(MidiPorts& ports, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint),
      ports_(ports) {
    setObjectName(QStringLiteral("frmSysExReceiver"));
    setWindowTitle(QStringLiteral("SysEx Communication"));
    setFixedSize(ClientWidth, ClientHeight);

    Label1 = new QLabel(QStringLiteral("Waiting for Mopho."));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Label1->setMinimumSize(LabelWidth, LabelHeight);

    Button1 = new QPushButton(QStringLiteral("&Close"));
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &TfrmSysExReceiver::Button1Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(11, 8, 11, 10);
    layout->addWidget(Label1, 1, Qt::AlignHCenter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addStretch();
    layout->addLayout(buttons);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(TimerInterval);
    connect(Timer1, &QTimer::timeout, this, &TfrmSysExReceiver::Timer1Timer);
    Timer1->start();
}

void TfrmSysExReceiver::SetLabelText(const QString& text) {
    Label1->setText(text);
}

QString TfrmSysExReceiver::LabelText() const {
    return Label1->text();
}

void TfrmSysExReceiver::Timer1Timer() {
    if (sending_)
        return; // no reply is awaited while sounds go out
    if (!wait_.Active()) {
        ports_.Requests.ClearRequests();
        ports_.ReceivedCount = 0;
        return;
    }
    // A window opened while a reply is handled (the device globals) runs its
    // own modal loop inside the dispatch; the instrument is not silent then.
    const QWidget* modal = QApplication::activeModalWidget();
    const bool silenceCounts = modal == nullptr || modal == this;
    switch (wait_.Tick(ports_.Requests.RequestCount(), ports_.ReceiveArmed, silenceCounts)) {
    case ReplyWait::Step::KeepWaiting:
        break;
    case ReplyWait::Step::Finished:
        FinishExchange();
        break;
    case ReplyWait::Step::GiveUp:
        AbandonExchange();
        FinishWait(Rejected);
        Q_EMIT GaveUp(QStringLiteral("No reply from the instrument within %1 seconds.")
                          .arg(ReplyWait::SilenceTicks));
        break;
    }
}

void TfrmSysExReceiver::Button1Click() {
    if (sending_) {
        sendStopped_ = true;
        hide();
        return;
    }
    AbandonExchange();
    FinishWait(Rejected);
}

void TfrmSysExReceiver::AbandonExchange() {
    // Nothing is awaited any more: a reply to the abandoned request that
    // arrives after the receive is armed again finds no reply it answers.
    ports_.AbandonReply();
    ports_.ReceivedCount = 0;
}

void TfrmSysExReceiver::BeginSendProgress() {
    sending_ = true;
    sendStopped_ = false;
    setWindowModality(Qt::ApplicationModal);
    show();
    activateWindow();
}

void TfrmSysExReceiver::EndSendProgress() {
    hide();
    setWindowModality(Qt::NonModal);
    sending_ = false;
}

void TfrmSysExReceiver::NoteReplyArrived() {
    if (!wait_.Active())
        return;
    // Queued behind the handler that is running now, so that the dispatch of
    // this reply has popped and sent its next request before the count is read.
    QMetaObject::invokeMethod(
        this,
        [this] {
            // The last reply closes the box now: the window it opens (the
            // editor, the locker) follows without a second's pause.
            if (wait_.ReplyHandled(ports_.Requests.RequestCount()))
                FinishExchange();
        },
        Qt::QueuedConnection);
}

void TfrmSysExReceiver::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !sending_) // not when the window system merely re-shows it
        wait_.Begin(ports_.Requests.RequestCount());
}

void TfrmSysExReceiver::reject() {
    Button1Click();
}

void TfrmSysExReceiver::FinishExchange() {
    ports_.Requests.ClearRequests();
    ports_.ReceivedCount = 0;
    FinishWait(Accepted);
}

void TfrmSysExReceiver::FinishWait(int result) {
    wait_.End();
    done(result);
}
