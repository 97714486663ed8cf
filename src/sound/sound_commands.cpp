// The sound effect commands over the slots in RuntimeState.
#include <brindle/sound.h>

#include "core/runtime_state.h"
#include "lang/number_convert.h"
#include "media/media_pack.h"
#include "sound/sound_slots.h"

namespace {
// trunc(slot), at most 127; negative slots are refused (false).
bool SlotNumber(double value, int& slot) {
    slot = TruncToInt(value);
    if (slot > kSoundSlotCount - 1) slot = kSoundSlotCount - 1;
    return slot >= 0;
}
}  // namespace

double LoadSound(const RtString& fileName, double slot, double voices) {
    RtString resolved;
    if (!ResolveMediaFile(runtime.mediaPack, fileName, resolved)) return 0;
    int s;
    SoundDevice* device = AwaitSoundDevice();
    if (!SlotNumber(slot, s) || !runtime.soundSlots) return 0;
    return LoadSlot(runtime.soundSlots[s], device, resolved.Text(), TruncToInt(voices)) ? 1 : 0;
}

double PlaySound(double slot, double pan, double volume) {
    AwaitSoundDevice();
    int s;
    if (!SlotNumber(slot, s) || !runtime.soundSlots) return 0;
    // Comparisons keep NaN as it is: its truncation is refused by the buffer.
    if (pan < -1) pan = -1;
    if (pan > 1) pan = 1;
    double level = volume * 100;
    if (level < 0) level = 0;
    if (level > 100) level = 100;
    return PlayVoice(runtime.soundSlots[s], TruncToInt(pan * 10000), TruncToInt(level), 0);
}

void StopAllSounds() {
    AwaitSoundDevice();
    if (!runtime.soundSlots) return;
    for (int i = 0; i < kSoundSlotCount; ++i) StopSoundSlot(runtime.soundSlots[i]);
}
