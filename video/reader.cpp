#include "reader.h"

namespace murtesk::video {

bool Reader::WantsMore() const {
    if (state_.packetBytes >= kMaxPacketBytes) return false;
    return (source_.videoIndex() >= 0 && state_.videoPackets.size() < kMinVideoPackets) ||
           (source_.audioIndex() >= 0 && state_.audioPackets.size() < kMinAudioPackets);
}

void Reader::Queue(PacketPtr packet, int serial) {
    if (!packet) {
        if (source_.videoIndex() >= 0) state_.videoPackets.push_back({nullptr, serial});
        if (source_.audioIndex() >= 0) state_.audioPackets.push_back({nullptr, serial});
        return;
    }
    const int index = packet->stream_index;
    if (index != source_.videoIndex() && index != source_.audioIndex()) return;
    state_.packetBytes += static_cast<std::size_t>(packet->size);
    (index == source_.videoIndex() ? state_.videoPackets : state_.audioPackets).push_back({std::move(packet), serial});
}

void Reader::Run() {
    int serial = 1;
    bool atEnd = false;
    {
        std::lock_guard lock(state_.mutex);
        for (PacketPtr& p : source_.TakeProbedPackets()) Queue(std::move(p), serial);
    }
    state_.changed.notify_all();
    PacketPtr packet(av_packet_alloc());
    std::unique_lock lock(state_.mutex);
    for (;;) {
        state_.changed.wait(lock,
                            [&] { return state_.abort || state_.target.serial != serial || (!atEnd && WantsMore()); });
        if (state_.abort) return;
        if (state_.target.serial != serial) {
            serial = state_.target.serial;
            const Ticks position = state_.target.position;
            state_.videoPackets.clear();
            state_.audioPackets.clear();
            state_.packetBytes = 0;
            lock.unlock();
            const bool ok = source_.SeekBefore(position);
            lock.lock();
            atEnd = !ok;
            if (serial == state_.target.serial) {
                state_.seekHandled = serial;
                state_.seekFailed = !ok;
                if (!ok) Queue(nullptr, serial);
            }
            state_.changed.notify_all();
            continue;
        }
        int read = AVERROR(ENOMEM);
        if (packet) {
            lock.unlock();
            read = source_.ReadPacket(packet.get());
            lock.lock();
        }
        if (serial != state_.target.serial) {
            if (packet) av_packet_unref(packet.get());
            continue;
        }
        if (read == AVERROR(EAGAIN)) {
            state_.changed.wait_for(lock, kReadRetry, [&] { return state_.abort || state_.target.serial != serial; });
            continue;
        }
        PacketPtr queued(read >= 0 ? av_packet_alloc() : nullptr);
        if (queued) {
            av_packet_move_ref(queued.get(), packet.get());
            Queue(std::move(queued), serial);
        } else {
            // The end of the file, an error that ends the reading, or no memory: the decoders drain.
            if (read >= 0) av_packet_unref(packet.get());
            Queue(nullptr, serial);
            atEnd = true;
        }
        state_.changed.notify_all();
    }
}

}  // namespace murtesk::video
