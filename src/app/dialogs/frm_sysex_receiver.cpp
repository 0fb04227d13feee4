#include "frm_sysex_receiver.h"

#include "instrument_exchange.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int ClientWidth = 248;
constexpr int ClientHeight = 86;
constexpr int LabelWidth = 225;
constexpr int LabelHeight = 25;
constexpr int TimerInterval = 250;
} // namespace

TfrmSysExReceiver::TfrmSysExReceiver(InstrumentExchange& exchange, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint),
      exchange_(exchange) {
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
    if (sending_ || !exchange_.Waiting())
        return; // no reply is awaited while sounds go out
    // A window opened from a reply runs its own modal loop; the instrument is
    // not silent then.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == this)
        exchange_.Tick();
    else
        exchange_.RestartReplyTime();
}

void TfrmSysExReceiver::Button1Click() {
    if (sending_) {
        sendStopped_ = true;
        hide();
        return;
    }
    exchange_.Abandon(); // ends it: ExchangeEnded closes the box
    if (isVisible())
        done(Rejected);
}

void TfrmSysExReceiver::ExchangeEnded() {
    if (isVisible() && !sending_)
        done(Accepted);
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

void TfrmSysExReceiver::reject() {
    Button1Click();
}
