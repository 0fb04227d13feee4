#include "nrpn_receiver.h"

namespace {
constexpr int ControlChange = 0xB0;
constexpr int ProgramChange = 0xC0;
constexpr int NrpnMsb = 99;
constexpr int NrpnLsb = 98;
constexpr int DataEntryMsb = 6;
constexpr int DataEntryLsb = 38;
} // namespace

InstrumentReceiver::Received InstrumentReceiver::Take(std::uint32_t message, int channel) {
    const int status = static_cast<int>(message & 0xFF);
    const int data1 = static_cast<int>((message >> 8) & 0x7F);
    const int data2 = static_cast<int>((message >> 16) & 0x7F);
    if ((status & 0x0F) != channel)
        return {};
    if ((status & 0xF0) == ProgramChange)
        return {std::nullopt, data1};
    if ((status & 0xF0) != ControlChange)
        return {};
    switch (data1) {
    case NrpnMsb:
        numberMsb_ = data2;
        valueMsb_ = -1;
        break;
    case NrpnLsb:
        numberLsb_ = data2;
        valueMsb_ = -1;
        break;
    case DataEntryMsb:
        valueMsb_ = data2;
        break;
    case DataEntryLsb:
        if (numberMsb_ < 0 || numberLsb_ < 0 || valueMsb_ < 0)
            break;
        return {Nrpn{numberMsb_ << 7 | numberLsb_, valueMsb_ << 7 | data2}, std::nullopt};
    default:
        break;
    }
    return {};
}
