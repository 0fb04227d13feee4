#pragma once

#include "instrument_commands.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

// The wait box "SysEx Communication": shown modally while a command waits for
// the instrument, kept from start-up to the close of the main window.
class TfrmSysExReceiver : public QDialog, public WaitBox {
    Q_OBJECT
public:
    explicit TfrmSysExReceiver(InstrumentExchange& exchange, QWidget* parent = nullptr);

    // Shown modally until the exchange ends.
    void WaitForExchange() override { exec(); }
    // Progress text; it stays until the next text is written, also between waits.
    void SetLabelText(const QString& text) override;
    QString LabelText() const;

    // Four times a second: lets the exchange's time pass, not counting the
    // time another modal window is in front.
    void Timer1Timer();
    // "&Close": abandons the exchange; a reply still arriving is ignored.
    // During a send it stops the send.
    void Button1Click();
    // The exchange has ended: the box closes.
    void ExchangeEnded();

    // A send awaits no reply: the box only shows its progress, so the timer
    // neither ends it nor gives up for silence; "&Close" is the way to stop.
    void BeginSendProgress() override;
    void EndSendProgress() override;
    bool SendStopped() const override { return sendStopped_; }

    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    // Escape and the title bar's close button abandon the wait like "&Close".
    void reject() override;

private:
    InstrumentExchange& exchange_;
    bool sending_ = false;
    bool sendStopped_ = false;
};
