#include "builtin_instrument_service.h"

#include "midi_input_port.h"
#include "virtual_mopho.h"

namespace {
int DataBytesAfter(std::uint8_t status) {
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    case 0xF0:
        return status == 0xF2 ? 2 : (status == 0xF1 || status == 0xF3) ? 1 : 0;
    default:
        return 2;
    }
}
} // namespace

void MidiByteStream::Feed(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes) {
        if (byte >= 0xF8) {
            const std::uint8_t realTime[] = {byte};
            message_(realTime);
            continue;
        }
        const bool inSysEx = !current_.empty() && current_[0] == 0xF0;
        if (byte == 0xF7 && inSysEx) {
            current_.push_back(byte);
            Flush();
            continue;
        }
        if (byte >= 0x80) {
            if (!current_.empty())
                message_(current_); // cut short: goes out incomplete
            current_.assign(1, byte);
            expected_ = byte == 0xF0 ? -1 : DataBytesAfter(byte);
            if (expected_ == 0)
                Flush();
            continue;
        }
        if (current_.empty())
            continue; // data without a status byte
        current_.push_back(byte);
        if (expected_ > 0 && static_cast<int>(current_.size()) == expected_ + 1)
            Flush();
    }
}

void MidiByteStream::Flush() {
    message_(current_);
    current_.clear();
    expected_ = 0;
}

BuiltInInstrumentService::BuiltInInstrumentService(std::unique_ptr<MidiService> platform,
                                                   Responder responder, Panel panel)
    : platform_(std::move(platform)), responder_(std::move(responder)), panel_(std::move(panel)),
      thread_([this] { Run(); }) {}

BuiltInInstrumentService::~BuiltInInstrumentService() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

int BuiltInInstrumentService::InputDeviceCount() {
    platformInputs_ = platform_ ? platform_->InputDeviceCount() : 0;
    return platformInputs_ + 1;
}

std::string BuiltInInstrumentService::InputDeviceName(int device) {
    return IsBuiltInInput(device) ? DeviceName : platform_->InputDeviceName(device);
}

int BuiltInInstrumentService::OutputDeviceCount() {
    platformOutputs_ = platform_ ? platform_->OutputDeviceCount() : 0;
    return platformOutputs_ + 1;
}

std::string BuiltInInstrumentService::OutputDeviceName(int device) {
    return IsBuiltInOutput(device) ? DeviceName : platform_->OutputDeviceName(device);
}

MidiError BuiltInInstrumentService::OpenInput(int device, InputCallback callback, Handle& handle) {
    handle = NoHandle;
    if (!IsBuiltInInput(device))
        return platform_ && device >= 0 && device < platformInputs_
                   ? platform_->OpenInput(device, std::move(callback), handle)
                   : MidiError::BadDevice;
    std::lock_guard lock(mutex_);
    if (input_)
        return MidiError::Allocated;
    input_ = std::make_unique<MidiInputPort>(std::move(callback));
    handle = InputHandle;
    return MidiError::None;
}

MidiError BuiltInInstrumentService::StartInput(Handle handle) {
    if (handle != InputHandle)
        return platform_->StartInput(handle);
    std::lock_guard lock(mutex_);
    input_->Start();
    return MidiError::None;
}

MidiError BuiltInInstrumentService::StopInput(Handle handle) {
    if (handle != InputHandle)
        return platform_->StopInput(handle);
    std::lock_guard lock(mutex_);
    input_->Stop();
    return MidiError::None;
}

MidiError BuiltInInstrumentService::CloseInput(Handle handle) {
    if (handle != InputHandle)
        return platform_->CloseInput(handle);
    std::unique_lock lock(mutex_);
    // The delivering thread uses the port outside the lock; wait for it.
    idle_.wait(lock, [this] { return !delivering_; });
    input_.reset();
    return MidiError::None;
}

MidiError BuiltInInstrumentService::QueueReceiveBuffer(Handle handle, std::uint8_t* buffer,
                                                       std::size_t size) {
    if (handle != InputHandle)
        return platform_->QueueReceiveBuffer(handle, buffer, size);
    std::lock_guard lock(mutex_);
    input_->QueueBuffer(buffer, size);
    return MidiError::None;
}

MidiError BuiltInInstrumentService::ReleaseReceiveBuffer(Handle handle) {
    if (handle != InputHandle)
        return platform_->ReleaseReceiveBuffer(handle);
    std::lock_guard lock(mutex_);
    return input_->ReleaseBuffer() ? MidiError::None : MidiError::StillPlaying;
}

std::size_t BuiltInInstrumentService::ReceivedBytes(Handle handle) {
    if (handle != InputHandle)
        return platform_->ReceivedBytes(handle);
    std::lock_guard lock(mutex_);
    return input_->ReceivedBytes();
}

MidiError BuiltInInstrumentService::OpenOutput(int device, Handle& handle) {
    handle = NoHandle;
    if (!IsBuiltInOutput(device))
        return platform_ && device >= 0 && device < platformOutputs_
                   ? platform_->OpenOutput(device, handle)
                   : MidiError::BadDevice;
    std::lock_guard lock(mutex_);
    if (outputOpen_)
        return MidiError::Allocated;
    outputOpen_ = true;
    handle = OutputHandle;
    return MidiError::None;
}

MidiError BuiltInInstrumentService::CloseOutput(Handle handle) {
    if (handle != OutputHandle)
        return platform_->CloseOutput(handle);
    std::lock_guard lock(mutex_);
    outputOpen_ = false;
    return MidiError::None;
}

MidiError BuiltInInstrumentService::SendShort(Handle handle, std::uint32_t message) {
    if (handle != OutputHandle)
        return platform_->SendShort(handle, message);
    const auto bytes = ShortMessageBytes(message);
    ToInstrument(bytes);
    return MidiError::None;
}

MidiError BuiltInInstrumentService::SendShorts(Handle handle,
                                               std::span<const std::uint32_t> messages) {
    if (handle != OutputHandle)
        return platform_->SendShorts(handle, messages);
    for (const std::uint32_t message : messages)
        ToInstrument(ShortMessageBytes(message));
    return MidiError::None;
}

MidiError BuiltInInstrumentService::SendLong(Handle handle, std::span<const std::uint8_t> bytes) {
    if (handle != OutputHandle)
        return platform_->SendLong(handle, bytes);
    for (auto message : SplitAfterEndOfExclusive(bytes))
        ToInstrument(message);
    return MidiError::None;
}

MidiError BuiltInInstrumentService::ResetOutput(Handle handle) {
    if (handle != OutputHandle)
        return platform_->ResetOutput(handle);
    for (std::uint32_t channel = 0; channel < 16; ++channel)
        SendShort(handle, (0xB0 + channel) | (123u << 8));
    return MidiError::None;
}

void BuiltInInstrumentService::ToInstrument(std::span<const std::uint8_t> message) {
    Replies replies;
    {
        std::lock_guard lock(instrumentMutex_);
        replies = responder_(message);
    }
    FromInstrument(message.size(), std::move(replies));
}

bool BuiltInInstrumentService::TurnPanelKnob(int nrpn, int value) {
    return panel_.turnKnob && PlayPanel([&] { return panel_.turnKnob(nrpn, value); });
}

bool BuiltInInstrumentService::ChoosePanelProgram(int program) {
    return panel_.chooseProgram && PlayPanel([&] { return panel_.chooseProgram(program); });
}

bool BuiltInInstrumentService::PlayPanel(const std::function<Replies()>& gesture) {
    Replies replies;
    {
        std::lock_guard lock(instrumentMutex_);
        replies = gesture();
    }
    FromInstrument(0, std::move(replies));
    return true;
}

void BuiltInInstrumentService::FromInstrument(std::size_t requestBytes, Replies replies) {
    std::lock_guard lock(mutex_);
    auto now = std::chrono::steady_clock::now();
    auto due = now;
    if (dinTiming_) {
        // The request travels first, then each reply follows on the way back.
        due = std::max(now, lineFree_) + ByteTime * static_cast<long>(requestBytes);
    }
    for (auto& reply : replies) {
        if (dinTiming_)
            due += ByteTime * static_cast<long>(reply.size());
        pending_.push_back({due, std::move(reply)});
    }
    lineFree_ = due;
    wake_.notify_all();
}

void BuiltInInstrumentService::Run() {
    MidiInputPort* target = nullptr;
    MidiByteStream stream([&target](std::span<const std::uint8_t> message) {
        if (target)
            target->Deliver(message);
    });
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (stopping_)
            return;
        const auto due = pending_.front().due;
        if (std::chrono::steady_clock::now() < due) {
            wake_.wait_until(lock, due, [this] { return stopping_; });
            continue;
        }
        Pending next = std::move(pending_.front());
        pending_.pop_front();
        target = input_.get();
        delivering_ = true;
        lock.unlock();
        // Without an open input the bytes fall on the floor, as on a cable.
        stream.Feed(next.bytes);
        lock.lock();
        delivering_ = false;
        target = nullptr;
        idle_.notify_all();
    }
}

void BuiltInInstrumentService::WaitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return stopping_ || (pending_.empty() && !delivering_); });
}

BuiltInInstrumentService::Panel PanelOf(std::shared_ptr<VirtualMopho> instrument) {
    return {[instrument](int nrpn, int value) { return instrument->PanelKnob(nrpn, value); },
            [instrument](int program) { return instrument->PanelProgram(program); }};
}

std::unique_ptr<BuiltInInstrumentService>
MakeBuiltInInstrumentService(std::unique_ptr<MidiService> platform, bool dinTiming) {
    auto instrument = std::make_shared<VirtualMopho>();
    auto service = std::make_unique<BuiltInInstrumentService>(
        std::move(platform),
        [instrument](std::span<const std::uint8_t> message) {
            return instrument->Receive(message);
        },
        PanelOf(instrument));
    service->SetDinTiming(dinTiming);
    return service;
}
