#pragma once

#include <QDialog>

class MidiPorts;
class QLabel;
class QPushButton;
class QTimer;

// Decides when a wait for the instrument's replies is over, from the number of
// bank/program bytes still on the request stack and the armed flag.
//
// The stack alone cannot tell: it is already empty while the reply to the
// last request of a bank read (or to a single request) is still on its way,
// and the dispatch re-arms the receive after every program dump. A reply
// handled while the stack was empty both before and after it is the last one.
class ReplyWait {
public:
    enum class Step { KeepWaiting, Finished, GiveUp };
    // One second per tick: a wait with no reply for 5 ticks (4 to 5 s) is given
    // up. The instrument answers a request within about 0.1 s over DIN.
    static constexpr int SilenceTicks = 5;

    void Begin(int requestCount);
    // After the dispatch has handled a reply; `requestCount` is counted then.
    // True when that reply was the last one awaited: the wait ends at once,
    // not at the next tick.
    bool ReplyHandled(int requestCount);
    // `silenceCounts` is false while the user works in a window a reply opened.
    Step Tick(int requestCount, bool receiveArmed, bool silenceCounts = true);
    void End() { active_ = false; }
    bool Active() const { return active_; }

private:
    bool active_ = false;
    bool lastReplyHandled_ = false;
    int countAtLastReply_ = 0;
    int silentTicks_ = 0;
};

// The wait box "SysEx Communication": shown modally while a command waits for
// the instrument, kept from start-up to the close of the main window.
class TfrmSysExReceiver : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSysExReceiver(MidiPorts& ports, QWidget* parent = nullptr);

    // Progress text; it stays until the next text is written, also between waits.
    void SetLabelText(const QString& text);
    QString LabelText() const;
    bool Waiting() const { return wait_.Active(); }

    // Once a second. While shown: ends the wait when it is over (see ReplyWait)
    // and gives up after SilenceTicks without a reply, not counting the time
    // another modal window is in front. While hidden: empties the request
    // stack and zeroes the received count.
    void Timer1Timer();
    // "&Close": abandons the wait; a reply still arriving is ignored, also
    // when the receive is armed again later. During a send it stops the send.
    void Button1Click();

    // A send awaits no reply: the box only shows its progress, so the timer
    // neither ends it nor gives up for silence; "&Close" is the way to stop.
    void BeginSendProgress();
    void EndSendProgress();
    bool SendStopped() const { return sendStopped_; }

    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;
    QTimer* Timer1 = nullptr;

public Q_SLOTS:
    // Connect to the main window's ReplyReceived. It looks at the request
    // stack once the dispatch of that reply is done, whichever runs first.
    void NoteReplyArrived();

Q_SIGNALS:
    // One memo line when a wait is given up for silence.
    void GaveUp(const QString& line);

protected:
    void showEvent(QShowEvent* event) override;
    // Escape and the title bar's close button abandon the wait like "&Close".
    void reject() override;

private:
    // The exchange is over: requests and count cleared, the box closed.
    void FinishExchange();
    void FinishWait(int result);

    void AbandonExchange();

    MidiPorts& ports_;
    ReplyWait wait_;
    bool sending_ = false;
    bool sendStopped_ = false;
};
